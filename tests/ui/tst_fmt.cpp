#include "homey/model/capability.h"
#include "ui/fmt.h"

#include <limits>
#include <QTest>

using namespace Qt::StringLiterals;

class FmtTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numbers_data();
    void numbers();
    void value_data();
    void value();
    void clock_data();
    void clock();
};

void FmtTest::numbers_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("watt rounds a small export to zero") << Fmt::watt(-0.4) << u"0 W"_s;
    QTest::newRow("watt groups thousands") << Fmt::watt(12345.6) << u"12.346 W"_s;
    QTest::newRow("watt shows an export as its magnitude") << Fmt::watt(-500) << u"500 W"_s;
    QTest::newRow("watt half away from zero") << Fmt::watt(-2.5) << u"3 W"_s;
    QTest::newRow("watt of no number") << Fmt::watt(nan) << u"- W"_s;
    QTest::newRow("percent rounds") << Fmt::percent(0.456) << u"46%"_s;
    QTest::newRow("percent whole") << Fmt::percent(1) << u"100%"_s;
    QTest::newRow("percent negative") << Fmt::percent(-0.25) << u"-25%"_s;
    QTest::newRow("percent has no grouping") << Fmt::percent(123.45) << u"12345%"_s;
    QTest::newRow("percent of no number") << Fmt::percent(nan) << u"-%"_s;
    QTest::newRow("percent beyond 64 bits") << Fmt::percent(1e300) << u"-%"_s;
    QTest::newRow("number keeps its digits") << Fmt::number(1234.5, 2) << u"1.234,50"_s;
    QTest::newRow("number of no number") << Fmt::number(-nan, 1) << u"-"_s;
    QTest::newRow("degrees keep one digit") << Fmt::degrees(21) << u"21,0°"_s;
    QTest::newRow("degrees group thousands") << Fmt::degrees(1234.56) << u"1.234,6°"_s;
    QTest::newRow("celsius rounds to one digit") << Fmt::celsius(21.46) << u"21,5 °C"_s;
    QTest::newRow("celsius keeps the sign") << Fmt::celsius(-3) << u"-3,0 °C"_s;
}

void FmtTest::numbers()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

void FmtTest::value_data()
{
    QTest::addColumn<Capability>("capability");
    QTest::addColumn<QString>("expected");
    const auto number = [](double n, std::optional<QString> units = std::nullopt,
                           std::optional<double> max = std::nullopt,
                           std::optional<int> decimals = std::nullopt) {
        return Capability{.kind = Capability::Kind::number,
                          .max = max,
                          .units = units,
                          .decimals = decimals,
                          .value = CapabilityValue::fromNumber(n)};
    };
    QTest::newRow("true") << Capability{.value = CapabilityValue::fromBool(true)} << u"aan"_s;
    QTest::newRow("false") << Capability{.value = CapabilityValue::fromBool(false)} << u"uit"_s;
    QTest::newRow("no value") << Capability{} << u"-"_s;
    QTest::newRow("value none") << Capability{.value = CapabilityValue::none()} << u"-"_s;
    // An alarm's mode: the hub's name for it, not its id; an id the hub does not list stays as it is.
    const QList<Capability::Option> modes{
        {u"armed"_s, u"Ingeschakeld"_s}, {u"disarmed"_s, u"Uitgeschakeld"_s}, {u"night"_s, QString()}};
    const auto mode = [&](const QString &id) {
        return Capability{.kind = Capability::Kind::enumeration,
                          .options = modes,
                          .value = CapabilityValue::fromString(id)};
    };
    QTest::newRow("mode by its title") << mode(u"disarmed"_s) << u"Uitgeschakeld"_s;
    QTest::newRow("mode without a title") << mode(u"night"_s) << u"night"_s;
    QTest::newRow("mode the hub does not list") << mode(u"away"_s) << u"away"_s;
    QTest::newRow("empty text stays empty")
        << Capability{.value = CapabilityValue::fromString({})} << QString();
    QTest::newRow("fraction with max 1") << number(0.45, u"%"_s, 1.0) << u"45%"_s;
    QTest::newRow("fraction without max") << number(0.45, u"%"_s) << u"45%"_s;
    QTest::newRow("per cent with max 100") << number(45, u"%"_s, 100.0) << u"45%"_s;
    QTest::newRow("per cent with a decimal") << number(56.5, u"%"_s, 100.0) << u"56,5%"_s;
    QTest::newRow("whole number") << number(20) << u"20"_s;
    QTest::newRow("fraction digit when needed") << number(20.5) << u"20,5"_s;
    QTest::newRow("decimals given") << number(20, std::nullopt, std::nullopt, 2) << u"20,00"_s;
    QTest::newRow("units after a space") << number(21.456, u"°C"_s, std::nullopt, 1) << u"21,5 °C"_s;
    QTest::newRow("empty units add nothing") << number(7, u""_s) << u"7"_s;
    QTest::newRow("grouped") << number(1234.5, u"W"_s) << u"1.234,5 W"_s;
    QTest::newRow("negative decimals") << number(20.5, std::nullopt, std::nullopt, -3) << u"21"_s;
    QTest::newRow("absurd decimals") << number(1, std::nullopt, std::nullopt, 1 << 30) << u"1,000000000000"_s;
}

void FmtTest::value()
{
    QFETCH(Capability, capability);
    QFETCH(QString, expected);
    QCOMPARE(Fmt::value(capability), expected);
}

void FmtTest::clock_data()
{
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QString>("expected");
    // A Wednesday afternoon.
    const QDateTime now(QDate(2024, 3, 13), QTime(15, 30));
    QTest::newRow("today") << QDateTime(QDate(2024, 3, 13), QTime(9, 5)) << u"09:05"_s;
    QTest::newRow("yesterday evening") << QDateTime(QDate(2024, 3, 12), QTime(21, 40)) << u"di 21:40"_s;
    QTest::newRow("six whole days") << QDateTime(QDate(2024, 3, 7), QTime(16, 0)) << u"do 16:00"_s;
    QTest::newRow("seven calendar days, six whole")
        << QDateTime(QDate(2024, 3, 6), QTime(16, 0)) << u"wo 16:00"_s;
    QTest::newRow("eight days ago") << QDateTime(QDate(2024, 3, 5), QTime(8, 0)) << u"5 mrt."_s;
    QTest::newRow("in the future") << QDateTime(QDate(2024, 4, 20), QTime(8, 0)) << u"za 08:00"_s;
}

void FmtTest::clock()
{
    QFETCH(QDateTime, date);
    QFETCH(QString, expected);
    QCOMPARE(Fmt::clock(date, QDateTime(QDate(2024, 3, 13), QTime(15, 30))), expected);
}

QTEST_GUILESS_MAIN(FmtTest)
#include "tst_fmt.moc"
