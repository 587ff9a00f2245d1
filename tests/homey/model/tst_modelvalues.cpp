#include "homey/model/capability.h"
#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"
#include "homey/model/energystate.h"
#include "homey/model/homeyevent.h"
#include "homey/model/homeyrealtime.h"
#include "homey/model/systemstate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CapabilityValue)

namespace {

// The hub sends values inside objects; read one the way the wire decoder does.
QJsonValue jsonValue(const QByteArray &text)
{
    return QJsonDocument::fromJson("{\"v\":" + text + "}").object().value(u"v"_s);
}

Capability modeCapability(std::optional<CapabilityValue> value)
{
    return Capability{.id = u"homealarm_state"_s,
                      .kind = Capability::Kind::enumeration,
                      .title = u"Modus"_s,
                      .options = {{u"home"_s, u"Thuis"_s}, {u"away"_s, u"Weg"_s}},
                      .value = std::move(value)};
}

// The interface must be implementable without the stream type being complete.
class NullRealtime : public HomeyRealtime {
public:
    QCoro::Task<std::shared_ptr<EventChannel<HomeyEvent>>> connect(QStringList) override
    {
        co_return std::shared_ptr<EventChannel<HomeyEvent>>();
    }
    QCoro::Task<> disconnect() override { co_return; }
    QCoro::Task<> registerOwnTransaction(QString) override { co_return; }
};

} // namespace

class TestModelValues : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryJsonValue_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<CapabilityValue>("expected");
        QTest::addColumn<bool>("roundTrips");
        QTest::newRow("true") << "true"_ba << CapabilityValue::fromBool(true) << true;
        QTest::newRow("false") << "false"_ba << CapabilityValue::fromBool(false) << true;
        QTest::newRow("0") << "0"_ba << CapabilityValue::fromNumber(0) << true;
        QTest::newRow("1") << "1"_ba << CapabilityValue::fromNumber(1) << true;
        QTest::newRow("1.0 is 1") << "1.0"_ba << CapabilityValue::fromNumber(1) << true;
        QTest::newRow("21.5") << "21.5"_ba << CapabilityValue::fromNumber(21.5) << true;
        QTest::newRow("-3e2") << "-3e2"_ba << CapabilityValue::fromNumber(-300) << true;
        QTest::newRow("text") << "\"on\""_ba << CapabilityValue::fromString(u"on"_s) << true;
        QTest::newRow("text 50") << "\"50\""_ba << CapabilityValue::fromString(u"50"_s) << true;
        QTest::newRow("null") << "null"_ba << CapabilityValue::none() << true;
        QTest::newRow("object") << "{\"a\":1}"_ba << CapabilityValue::none() << false;
        QTest::newRow("array") << "[true]"_ba << CapabilityValue::none() << false;
    }

    void decodesEveryJsonValue()
    {
        QFETCH(QByteArray, json);
        QFETCH(CapabilityValue, expected);
        QFETCH(bool, roundTrips);
        const QJsonValue input = jsonValue(json);
        const auto decoded = CapabilityValue::fromJson(input);
        QVERIFY(decoded);
        QCOMPARE(*decoded, expected);
        if (roundTrips)
            QCOMPARE(decoded->toJson(), input);
        else
            QVERIFY(decoded->toJson().isNull());
    }

    void missingValueIsNoValueAtAll() { QVERIFY(!CapabilityValue::fromJson(QJsonObject().value(u"v"_s))); }

    void accessorsNeverConvertBetweenCases()
    {
        const auto one = CapabilityValue::fromNumber(1);
        QCOMPARE(one.numberValue(), 1.0);
        QVERIFY(!one.boolValue());
        QVERIFY(!one.stringValue());
        const auto fifty = CapabilityValue::fromString(u"50"_s);
        QVERIFY(!fifty.numberValue());
        QVERIFY(!CapabilityValue::fromBool(true).numberValue());
        QVERIFY(CapabilityValue().isNone());
        QVERIFY(CapabilityValue::fromBool(false) != CapabilityValue::fromNumber(0));
    }

    void optionTitle()
    {
        QCOMPARE(modeCapability(CapabilityValue::fromString(u"away"_s)).optionTitle(), u"Weg"_s);
        QCOMPARE(modeCapability(CapabilityValue::fromString(u"night"_s)).optionTitle(), u"night"_s);
        QVERIFY(!modeCapability(CapabilityValue::fromNumber(1)).optionTitle());
        QVERIFY(!modeCapability(std::nullopt).optionTitle());
        QVERIFY(!modeCapability(CapabilityValue::none()).optionTitle());
    }

    void rawKindsAreExact()
    {
        QCOMPARE(Capability::Kind::fromRaw(u"enum"_s), Capability::Kind::enumeration);
        QCOMPARE(Capability::Kind::fromRaw(u"boolean"_s), Capability::Kind::boolean);
        QVERIFY(!Capability::Kind::fromRaw(u"enumeration"_s));
        QVERIFY(!Capability::Kind::fromRaw(u"Number"_s));
        QCOMPARE(Capability::Kind(Capability::Kind::enumeration).raw(), u"enum"_s);
        QCOMPARE(Device::EnergyRole::fromRaw(u"gridMeter"_s), Device::EnergyRole::gridMeter);
        QVERIFY(!Device::EnergyRole::fromRaw(u"gridmeter"_s));
    }

    void houseEnergyRounding_data()
    {
        QTest::addColumn<double>("generation");
        QTest::addColumn<double>("net");
        QTest::addColumn<bool>("hasGridMeter");
        QTest::addColumn<double>("fallback");
        QTest::addColumn<double>("consumption");
        QTest::addColumn<double>("roundedGeneration");
        QTest::addColumn<double>("roundedNet");
        QTest::newRow("grid meter") << 120.4 << -30.5 << true << 0.0 << 90.0 << 120.0 << -31.0;
        QTest::newRow("fallback") << 120.4 << -30.5 << false << 45.5 << 46.0 << 120.0 << -31.0;
        QTest::newRow("halves away from zero") << 2.5 << -2.5 << false << -0.5 << -1.0 << 3.0 << -3.0;
        QTest::newRow("just below a half") << 0.49999999999999994 << 0.0 << true << 0.0 << 0.0 << 0.0 << 0.0;
    }

    void houseEnergyRounding()
    {
        QFETCH(double, generation);
        QFETCH(double, net);
        QFETCH(bool, hasGridMeter);
        QFETCH(double, fallback);
        QFETCH(double, consumption);
        QFETCH(double, roundedGeneration);
        QFETCH(double, roundedNet);
        const EnergyState energy = EnergyState::house(generation, net, hasGridMeter, fallback);
        QCOMPARE(energy, (EnergyState{consumption, roundedGeneration, roundedNet}));
    }

    void deviceEqualityReachesIntoCapabilities()
    {
        Device a{.id = u"d1"_s, .name = u"Lamp"_s};
        a.capabilities.emplace(u"onoff"_s, Capability{.id = u"onoff"_s, .setable = true});
        a.capabilityOrder = {u"onoff"_s};
        Device b = a;
        QCOMPARE(a, b);
        b.capabilities.at(u"onoff"_s).lastUpdated = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
        QVERIFY(a != b);
        b = a;
        b.capabilityOrder = {};
        QVERIFY(a != b);
    }

    void emptySystemState()
    {
        QCOMPARE(SystemState(), (SystemState{std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
        QVERIFY(SystemState() != SystemState{.firmware = u""_s});
    }

    void eventKindFollowsItsCase()
    {
        QCOMPARE(HomeyEvent(HomeyEvent::Capability{u"d"_s, u"onoff"_s, {}, std::nullopt}).kind(),
                 HomeyEvent::Kind::capability);
        QCOMPARE(HomeyEvent(HomeyEvent::DeviceDeleted{u"d"_s}).kind(), HomeyEvent::Kind::deviceDeleted);
        QCOMPARE(HomeyEvent(HomeyEvent::NotificationCreated{}).kind(), HomeyEvent::Kind::notificationCreated);
        QCOMPARE(HomeyEvent(HomeyEvent::Disconnected{u"weg"_s}).kind(), HomeyEvent::Kind::disconnected);
        QCOMPARE(HomeyEvent(HomeyEvent::FlowsChanged{}).kind(), HomeyEvent::Kind::flowsChanged);
        const HomeyEvent connected = HomeyEvent::Connected{};
        QCOMPARE(connected.kind(), HomeyEvent::Kind::connected);
        QVERIFY(!connected.as<HomeyEvent::Disconnected>());
        QCOMPARE(HomeyEvent(HomeyEvent::Disconnected{u"weg"_s}).as<HomeyEvent::Disconnected>()->reason,
                 u"weg"_s);
    }

    void realtimeIsImplementable()
    {
        std::unique_ptr<HomeyRealtime> realtime = std::make_unique<NullRealtime>();
        QVERIFY(realtime);
    }
};

QTEST_GUILESS_MAIN(TestModelValues)
#include "tst_modelvalues.moc"
