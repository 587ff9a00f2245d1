#pragma once

#include "endtoend.h"
#include "fakenotificationserver.h"

#include <QDBusConnection>

// An end-to-end case whose copies find a desktop notification server on the session bus, as on a desktop:
// a fresh stage and no banners yet for every test function.
class ServedCase : public EndToEndCase {
    Q_OBJECT

protected:
    FakeNotificationServer m_banners;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_banners.serve(QDBusConnection::sessionBus())); }

    void init()
    {
        QVERIFY(setUpStage());
        m_banners.calls.clear();
    }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }
};
