#include "app/boot.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList args(const QStringList &rest)
{
    return QStringList{u"/usr/bin/quorvane"_s} + rest;
}

} // namespace

class TstBoot : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valueAndTestInstance_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<std::optional<QString>>("query");
        QTest::addColumn<bool>("test");
        using V = std::optional<QString>;
        QTest::newRow("plain") << args({u"--query"_s, u"keuken"_s}) << V(u"keuken"_s) << true;
        QTest::newRow("a switch as value") << args({u"--query"_s, u"--room"_s}) << V(u"--room"_s) << true;
        QTest::newRow("first occurrence")
            << args({u"--query"_s, u"a"_s, u"--query"_s, u"b"_s}) << V(u"a"_s) << true;
        QTest::newRow("last argument") << args({u"--query"_s}) << V() << true;
        QTest::newRow("empty value") << args({u"--query"_s, QString()}) << V() << true;
        QTest::newRow("not exactly the switch") << args({u"--query=x"_s}) << V() << false;
        QTest::newRow("normal switches")
            << args({u"--show"_s, u"--no-homey"_s, u"--test-id"_s, u"a"_s}) << V() << false;
        QTest::newRow("test switch as a value") << args({u"--test-id"_s, u"--dry-run"_s}) << V() << true;
        // Switches that do nothing else still keep a scripted run apart from the user's copy.
        for (const QString &marker : {u"--mock"_s, u"--notify-test"_s, u"--guard-audit"_s})
            QTest::newRow(qPrintable(marker)) << args({marker}) << V() << true;
    }
    void valueAndTestInstance()
    {
        QFETCH(QStringList, arguments);
        QFETCH(std::optional<QString>, query);
        QFETCH(bool, test);
        QCOMPARE(Boot::value(arguments, u"--query"_s), query);
        QCOMPARE(Boot::isTestInstance(arguments), test);
    }

    void dimIsAPlainPercentage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        using V = std::optional<double>;
        QTest::newRow("30") << u"30"_s << V(0.3);
        QTest::newRow("100") << u"100"_s << V(1.0);
        QTest::newRow("fraction") << u"12.5"_s << V(0.125);
        for (const QString &bad :
             {u"101"_s, u"-1"_s, u"30%"_s, u"1e2"_s, u" 30"_s, u"nan"_s, u"30,5"_s, u"."_s})
            QTest::newRow(qPrintable(bad)) << bad << V();
    }
    void dimIsAPlainPercentage()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(Boot::initialDim(args({u"--dim"_s, text})), expected);
    }

    void typeProbeNumbersFallBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("runs 0") << u"--runs"_s << u"0"_s << 1;
        QTest::newRow("runs +4") << u"--runs"_s << u"+4"_s << 4;
        QTest::newRow("runs overflow") << u"--runs"_s << u"99999999999"_s << 1;
        QTest::newRow("tempo -5") << u"--tempo"_s << u"-5"_s << 75;
        QTest::newRow("tempo 1e2") << u"--tempo"_s << u"1e2"_s << 75;
        QTest::newRow("tempo blank") << u"--tempo"_s << u" 30"_s << 75;
        QTest::newRow("delay 0") << u"--delay"_s << u"0"_s << 0;
        QTest::newRow("delay 30%") << u"--delay"_s << u"30%"_s << 250;
        QTest::newRow("freeze 0") << u"--freeze"_s << u"0"_s << 0;
        QTest::newRow("freeze 400") << u"--freeze"_s << u"400"_s << 400;
    }
    void typeProbeNumbersFallBack()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, expected);
        const QStringList arguments = args({name, text});
        const QHash<QString, int> read = {{u"--runs"_s, Boot::typeRuns(arguments)},
                                          {u"--tempo"_s, Boot::typeTempo(arguments)},
                                          {u"--delay"_s, Boot::typeDelay(arguments)},
                                          {u"--freeze"_s, Boot::typeFreeze(arguments)}};
        QCOMPARE(read.value(name), expected);
    }

    void keyScriptSplitsAndLowers()
    {
        QCOMPARE(Boot::keyScript(args({u"--keys"_s, u"Down, ENTER,,esc"_s})),
                 (QStringList{u"down"_s, u"enter"_s, u"esc"_s}));
        // Only blanks and tabs are trimmed; a blank piece stays as an empty entry.
        QCOMPARE(Boot::keyScript(args({u"--keys"_s, u"a,  ,\tB\n"_s})),
                 (QStringList{u"a"_s, QString(), u"b\n"_s}));
        QCOMPARE(Boot::keyScript(args({})), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstBoot)
#include "tst_boot.moc"
