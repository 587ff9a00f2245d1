#include "dutchhome.h"
#include "store/search/searchindex.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace DutchHome;

Q_DECLARE_METATYPE(Device)
Q_DECLARE_METATYPE(Hit::Accessory)
Q_DECLARE_METATYPE(std::optional<SearchVerb>)
Q_DECLARE_METATYPE(Capability)
Q_DECLARE_METATYPE(CapabilityValue)

namespace {

QString accessoryText(const Hit::Accessory &a)
{
    switch (a.kind()) {
    case Hit::Accessory::Kind::toggle:
        return *a.toggleState() ? u"toggle true"_s : u"toggle false"_s;
    case Hit::Accessory::Kind::dimmer:
        return u"dimmer %1"_s.arg(*a.dimmerLevel());
    case Hit::Accessory::Kind::value:
        return u"value %1"_s.arg(*a.valueText());
    case Hit::Accessory::Kind::run:
        return u"run"_s;
    case Hit::Accessory::Kind::none:
        return u"none"_s;
    }
    return {};
}

Device alarm(const QString &state)
{
    return device(u"alarm"_s, u"Alarm"_s, u"hal"_s, u"homealarm"_s,
                  {capability(u"homealarm_state"_s, Capability::Kind::enumeration, true,
                              CapabilityValue::fromString(state))});
}

} // namespace

class TestHitDescription : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void describe_data()
    {
        QTest::addColumn<Device>("device");
        QTest::addColumn<QString>("zoneName");
        QTest::addColumn<std::optional<SearchVerb>>("verb");
        QTest::addColumn<QString>("accessory");
        QTest::addColumn<QString>("subtitle");

        const std::optional<SearchVerb> none;
        Device unavailable = dimLight(u"l"_s, u"Lamp"_s, u"k"_s, true, 0.5);
        unavailable.available = false;
        QTest::newRow("unavailable, no reason")
            << unavailable << u"Keuken"_s << std::optional(SearchVerb::on()) << u"value Niet bereikbaar"_s
            << u"Keuken"_s;
        unavailable.unavailableMessage = u"Batterij leeg"_s;
        QTest::newRow("unavailable with reason")
            << unavailable << u"Keuken"_s << none << u"value Batterij leeg"_s << u"Keuken"_s;

        const Device lock =
            device(u"slot"_s, u"Voordeur"_s, u"hal"_s, u"lock"_s, {flag(u"locked"_s, true, true)});
        QTest::newRow("locked lock ignores verb")
            << lock << u"Hal"_s << std::optional(SearchVerb::off()) << u"value Op slot"_s << u"Hal"_s;
        QTest::newRow("alarm disarmed")
            << alarm(u"Disarmed"_s) << u"Hal"_s << none << u"value Uitgeschakeld"_s << u"Hal"_s;

        const Device lampOn = dimLight(u"l"_s, u"Lamp"_s, u"k"_s, true, 0.42);
        const Device lampOff = dimLight(u"l"_s, u"Lamp"_s, u"k"_s, false, 0.42);
        QTest::newRow("dimmed lamp on")
            << lampOn << u"Keuken"_s << none << u"dimmer 0.42"_s << u"Keuken, 42%"_s;
        QTest::newRow("dimmed lamp off")
            << lampOff << u"Keuken"_s << none << u"dimmer 0"_s << u"Keuken, uit"_s;
        QTest::newRow("level verb") << lampOff << u"Keuken"_s << std::optional(SearchVerb::setDim(0.8))
                                    << u"dimmer 0.8"_s << u"Keuken, naar 80%"_s;
        QTest::newRow("on verb") << lampOff << u"Keuken"_s << std::optional(SearchVerb::on())
                                 << u"toggle true"_s << u"Keuken, aan"_s;
        QTest::newRow("off verb") << lampOn << u"Keuken"_s << std::optional(SearchVerb::off())
                                  << u"toggle false"_s << u"Keuken, uit"_s;

        const Device plainSwitch = onoffLight(u"s"_s, u"Schakelaar"_s, u"k"_s, true);
        QTest::newRow("dim verb on a switch")
            << plainSwitch << u"Kantoor"_s << std::optional(SearchVerb::dim()) << u"toggle true"_s
            << u"Kantoor, aan"_s;
        QTest::newRow("level verb on a switch")
            << plainSwitch << u"Kantoor"_s << std::optional(SearchVerb::setDim(0.3)) << u"toggle true"_s
            << u"Kantoor, aan"_s;
        QTest::newRow("zone unknown") << onoffLight(u"s"_s, u"S"_s, u"weg"_s, false) << QString() << none
                                      << u"toggle false"_s << u", uit"_s;

        const Device thermometer = device(u"t"_s, u"Thermometer"_s, u"k"_s, u"sensor"_s,
                                          {number(u"measure_temperature"_s, 21.456, u"°C"_s, 1)});
        QTest::newRow("sensor reading") << thermometer << u"Woonkamer"_s << std::optional(SearchVerb::on())
                                        << u"value 21,5 °C"_s << u"Woonkamer"_s;
        QTest::newRow("motion sensor")
            << device(u"m"_s, u"Beweging"_s, u"k"_s, u"sensor"_s, {flag(u"alarm_motion"_s, true)}) << u"Hal"_s
            << none << u"value ja"_s << u"Hal"_s;
        const Device thermostat =
            device(u"th"_s, u"Thermostaat"_s, u"k"_s, u"thermostat"_s,
                   {capability(u"target_temperature"_s, Capability::Kind::number, true, std::nullopt)});
        QTest::newRow("controllable without reading")
            << thermostat << u"Hal"_s << none << u"run"_s << u"Hal"_s;
        QTest::newRow("nothing to show") << device(u"x"_s, u"Knop"_s, u"k"_s, u"button"_s, {}) << u"Hal"_s
                                         << none << u"none"_s << u"Hal"_s;
        // A switch that holds no flag value reads as having no switch.
        QTest::newRow("switch without value")
            << device(u"s"_s, u"S"_s, u"k"_s, u"socket"_s, {onoff(std::nullopt)}) << u"Hal"_s << none
            << u"run"_s << u"Hal"_s;
    }
    void describe()
    {
        QFETCH(Device, device);
        QFETCH(QString, zoneName);
        QFETCH(std::optional<SearchVerb>, verb);
        QFETCH(QString, accessory);
        QFETCH(QString, subtitle);

        const SearchIndex::Description d = SearchIndex::describe(device, zoneName, verb);
        QCOMPARE(accessoryText(d.accessory), accessory);
        QCOMPARE(d.subtitle, subtitle);
    }

    void primaryReading_data()
    {
        QTest::addColumn<Device>("device");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("title");

        // The fixed list wins over the display order, and a none value still counts.
        QTest::newRow("fixed order") << device(u"d"_s, u"D"_s, u"k"_s, u"sensor"_s,
                                               {number(u"measure_battery"_s, 80, u"%"_s),
                                                capability(u"measure_power"_s, Capability::Kind::number,
                                                           false, CapabilityValue::none())})
                                     << u"-"_s << u"measure_power"_s;
        QTest::newRow("display order")
            << device(u"d"_s, u"D"_s, u"k"_s, u"sensor"_s,
                      {flag(u"alarm_contact"_s, false), number(u"measure_noise"_s, 40)})
            << u"nee"_s << u"alarm_contact"_s;
        QTest::newRow("setable skipped")
            << device(u"d"_s, u"D"_s, u"k"_s, u"sensor"_s,
                      {flag(u"alarm_x"_s, true, true), number(u"measure_noise"_s, 40.5)})
            << u"40,5"_s << u"measure_noise"_s;
        QTest::newRow("no value") << device(u"d"_s, u"D"_s, u"k"_s, u"sensor"_s,
                                            {number(u"measure_temperature"_s, std::nullopt)})
                                  << QString() << QString();
        QTest::newRow("other prefixes")
            << device(u"d"_s, u"D"_s, u"k"_s, u"sensor"_s, {number(u"meter_power"_s, 3)}) << QString()
            << QString();
    }
    void primaryReading()
    {
        QFETCH(Device, device);
        QFETCH(QString, value);
        QFETCH(QString, title);

        const auto reading = SearchIndex::primaryReading(device);
        QCOMPARE(reading.has_value(), !title.isEmpty());
        if (reading) {
            QCOMPARE(reading->value, value);
            QCOMPARE(reading->title, title);
        }
    }

    void format_data()
    {
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<Capability>("cap");
        QTest::addColumn<QString>("expected");

        const auto temperature = [](std::optional<int> decimals) {
            return number(u"measure_temperature"_s, std::nullopt, u"°C"_s, decimals);
        };
        QTest::newRow("one decimal") << CapabilityValue::fromNumber(21.456) << temperature(1) << u"21,5 °C"_s;
        QTest::newRow("whole, no decimals set")
            << CapabilityValue::fromNumber(20.0) << temperature({}) << u"20 °C"_s;
        QTest::newRow("fraction, no decimals set")
            << CapabilityValue::fromNumber(20.5) << temperature({}) << u"20,5 °C"_s;
        QTest::newRow("decimals clamped to 3")
            << CapabilityValue::fromNumber(1.23456789) << temperature(7) << u"1,235 °C"_s;
        // An exact binary tie rounds away from zero, like the percentages.
        QTest::newRow("tie") << CapabilityValue::fromNumber(20.25) << temperature(1) << u"20,3 °C"_s;
        QTest::newRow("negative decimals")
            << CapabilityValue::fromNumber(3.7) << temperature(-2) << u"4 °C"_s;
        QTest::newRow("no grouping") << CapabilityValue::fromNumber(1234567.0)
                                     << number(u"meter_power"_s, {}, u"kWh"_s) << u"1234567 kWh"_s;
        QTest::newRow("empty units") << CapabilityValue::fromNumber(5.0) << number(u"x"_s, {}, u""_s)
                                     << u"5"_s;
        QTest::newRow("dim percent") << CapabilityValue::fromNumber(0.4) << dim(0) << u"40%"_s;
        QTest::newRow("dim percent, half up") << CapabilityValue::fromNumber(0.125) << dim(0) << u"13%"_s;
        QTest::newRow("negative dim, half away from zero")
            << CapabilityValue::fromNumber(-0.125) << dim(0) << u"-13%"_s;
        QTest::newRow("tiny negative dim") << CapabilityValue::fromNumber(-0.001) << dim(0) << u"0%"_s;
        QTest::newRow("suffixed dim")
            << CapabilityValue::fromNumber(0.5) << number(u"dim.zone1"_s, {}, u"%"_s) << u"50%"_s;
        QTest::newRow("dim without percent units")
            << CapabilityValue::fromNumber(0.5) << number(u"dim"_s, {}) << u"0,5"_s;
        QTest::newRow("true") << CapabilityValue::fromBool(true) << flag(u"alarm_motion"_s, true) << u"ja"_s;
        QTest::newRow("false") << CapabilityValue::fromBool(false) << flag(u"alarm_motion"_s, true)
                               << u"nee"_s;
        QTest::newRow("text kept") << CapabilityValue::fromString(u"away"_s)
                                   << capability(u"mode"_s, Capability::Kind::enumeration, true, {})
                                   << u"away"_s;
        QTest::newRow("none") << CapabilityValue::none() << temperature(1) << u"-"_s;
    }
    void format()
    {
        QFETCH(CapabilityValue, value);
        QFETCH(Capability, cap);
        QFETCH(QString, expected);
        QCOMPARE(SearchIndex::format(value, cap), expected);
    }
};

QTEST_GUILESS_MAIN(TestHitDescription)
#include "tst_hitdescription.moc"
