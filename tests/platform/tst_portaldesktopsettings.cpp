#include "platform/portaldesktopsettings.h"

#include <QDBusVariant>
#include <QTest>

using namespace Qt::StringLiterals;

class TstPortalDesktopSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Older portals wrap a setting once more than newer ones.
    void valuesAreUnwrapped_data()
    {
        QTest::addColumn<QVariant>("value");
        const auto wrap = [](const QVariant &v) { return QVariant::fromValue(QDBusVariant(v)); };
        QTest::newRow("plain") << QVariant(1u);
        QTest::newRow("wrapped once") << wrap(QVariant(1u));
        QTest::newRow("wrapped twice") << wrap(wrap(QVariant(1u)));
    }
    void valuesAreUnwrapped()
    {
        QFETCH(QVariant, value);
        QCOMPARE(PortalDesktopSettings::unwrap(value), QVariant(1u));
    }

    void withoutABusNothingIsReported()
    {
        PortalDesktopSettings settings(QDBusConnection(u"none"_s));
        bool reported = false;
        settings.watch({{u"org.freedesktop.appearance"_s, u"reduced-motion"_s}},
                       [&](const QString &, const QString &, const QVariant &) { reported = true; });
        QTest::qWait(50);
        QVERIFY(!reported);
    }
};

QTEST_GUILESS_MAIN(TstPortalDesktopSettings)
#include "tst_portaldesktopsettings.moc"
