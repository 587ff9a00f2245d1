#include "app/boot.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList args(std::initializer_list<QString> rest)
{
    QStringList list{u"/usr/bin/quorvane"_s};
    list.append(QStringList(rest));
    return list;
}

} // namespace

class TstBoot : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valueTakesTheNextArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("plain") << args({u"--query"_s, u"keuken"_s}) << u"--query"_s
                               << std::optional(u"keuken"_s);
        QTest::newRow("a switch as value")
            << args({u"--query"_s, u"--room"_s, u"x"_s}) << u"--query"_s << std::optional(u"--room"_s);
        QTest::newRow("first occurrence")
            << args({u"--room"_s, u"a"_s, u"--room"_s, u"b"_s}) << u"--room"_s << std::optional(u"a"_s);
        QTest::newRow("last argument") << args({u"--query"_s}) << u"--query"_s << std::optional<QString>();
        QTest::newRow("empty value") << args({u"--query"_s, QString()}) << u"--query"_s
                                     << std::optional<QString>();
        QTest::newRow("absent") << args({u"--show"_s}) << u"--query"_s << std::optional<QString>();
        QTest::newRow("prefix is not the switch")
            << args({u"--query=x"_s}) << u"--query"_s << std::optional<QString>();
    }
    void valueTakesTheNextArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, name);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(Boot::value(arguments, name), expected);
    }

    void testInstanceCountsEveryArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("test");
        QTest::newRow("none") << args({}) << false;
        QTest::newRow("normal switches") << args({u"--show"_s, u"--no-homey"_s, u"--live"_s}) << false;
        QTest::newRow("value switch") << args({u"--query"_s, u"x"_s}) << true;
        QTest::newRow("as another's value") << args({u"--test-id"_s, u"--mock"_s}) << true;
        QTest::newRow("with empty value") << args({u"--room"_s, QString()}) << true;
        QTest::newRow("dry run") << args({u"--dry-run"_s}) << true;
        QTest::newRow("test id alone") << args({u"--test-id"_s, u"a"_s}) << false;
    }
    void testInstanceCountsEveryArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, test);
        QCOMPARE(Boot::isTestInstance(arguments), test);
    }

    void dimIsAPercentage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("30") << u"30"_s << std::optional(0.3);
        QTest::newRow("100") << u"100"_s << std::optional(1.0);
        QTest::newRow("0") << u"0"_s << std::optional(0.0);
        QTest::newRow("fraction") << u"12.5"_s << std::optional(0.125);
        QTest::newRow("101") << u"101"_s << std::optional<double>();
        QTest::newRow("-1") << u"-1"_s << std::optional<double>();
        QTest::newRow("percent sign") << u"30%"_s << std::optional<double>();
        QTest::newRow("exponent") << u"1e2"_s << std::optional<double>();
        QTest::newRow("leading blank") << u" 30"_s << std::optional<double>();
        QTest::newRow("trailing blank") << u"30 "_s << std::optional<double>();
        QTest::newRow("nan") << u"nan"_s << std::optional<double>();
        QTest::newRow("comma") << u"30,5"_s << std::optional<double>();
        QTest::newRow("point only") << u"."_s << std::optional<double>();
    }
    void dimIsAPercentage()
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
        QTest::newRow("runs 3") << u"--runs"_s << u"3"_s << 3;
        QTest::newRow("runs 0") << u"--runs"_s << u"0"_s << 1;
        QTest::newRow("runs +4") << u"--runs"_s << u"+4"_s << 4;
        QTest::newRow("runs overflow") << u"--runs"_s << u"99999999999"_s << 1;
        QTest::newRow("tempo -5") << u"--tempo"_s << u"-5"_s << 75;
        QTest::newRow("tempo 1e2") << u"--tempo"_s << u"1e2"_s << 75;
        QTest::newRow("tempo blank") << u"--tempo"_s << u" 30"_s << 75;
        QTest::newRow("tempo 20") << u"--tempo"_s << u"20"_s << 20;
        QTest::newRow("delay 0") << u"--delay"_s << u"0"_s << 0;
        QTest::newRow("delay -1") << u"--delay"_s << u"-1"_s << 250;
        QTest::newRow("delay 30%") << u"--delay"_s << u"30%"_s << 250;
        QTest::newRow("freeze 0") << u"--freeze"_s << u"0"_s << 0;
        QTest::newRow("freeze 400") << u"--freeze"_s << u"400"_s << 400;
        QTest::newRow("freeze sign only") << u"--freeze"_s << u"-"_s << 0;
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

    void keyScriptSplitsAndLowers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("mixed") << args({u"--keys"_s, u"Down, ENTER,,esc"_s})
                               << QStringList{u"down"_s, u"enter"_s, u"esc"_s};
        QTest::newRow("blank piece stays")
            << args({u"--keys"_s, u"a,  ,\tB\t"_s}) << QStringList{u"a"_s, QString(), u"b"_s};
        QTest::newRow("line end kept") << args({u"--keys"_s, u"a\n"_s}) << QStringList{u"a\n"_s};
        QTest::newRow("absent") << args({}) << QStringList();
    }
    void keyScriptSplitsAndLowers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        QCOMPARE(Boot::keyScript(arguments), expected);
    }
};

QTEST_GUILESS_MAIN(TstBoot)
#include "tst_boot.moc"
