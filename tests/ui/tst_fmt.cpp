#include "ui/fmt.h"

#include <QTest>

class FmtTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void watt() { QCOMPARE(Fmt::watt(-12345.6), QStringLiteral("12.346 W")); }
};

QTEST_GUILESS_MAIN(FmtTest)
#include "tst_fmt.moc"
