#include "homey/model/capability.h"
#include "homey/model/device.h"
#include "homey/model/energystate.h"
#include "homey/model/hit.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyevent.h"
#include "homey/model/homeynotification.h"
#include "homey/model/rawnotification.h"
#include "homey/model/room.h"
#include "homey/model/roomscope.h"
#include "homey/model/roomsection.h"
#include "homey/model/zone.h"

#include <cmath>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Capability modeCapability(std::optional<CapabilityValue> value)
{
    return Capability{.id = u"homealarm_state"_s,
                      .kind = Capability::Kind::enumeration,
                      .options = {{u"home"_s, u"Thuis"_s}, {u"away"_s, u"Weg"_s}},
                      .value = std::move(value)};
}

Hit deviceHit(double score = 1)
{
    return Hit{.id = u"device:d1"_s, .target = Hit::Target::device(u"d1"_s), .score = score};
}

HomeyNotification p2000(std::optional<int> priority)
{
    return HomeyNotification{
        .id = u"p2000:1"_s, .source = HomeyNotification::Source::p2000, .priority = priority};
}

struct Cap {
    const char *id;
    bool setable = true;
    std::optional<CapabilityValue> value = std::nullopt;
};

// order: the capability order; pass the ids to list there explicitly.
Device makeDevice(const QString &deviceClass, std::initializer_list<Cap> caps,
                  std::initializer_list<const char *> order = {})
{
    Device device{.id = u"dev"_s, .name = u"Apparaat"_s, .deviceClass = deviceClass, .available = true};
    for (const Cap &cap : caps) {
        const QString id = QString::fromLatin1(cap.id);
        device.capabilities.emplace(id, Capability{.id = id, .setable = cap.setable, .value = cap.value});
    }
    for (const char *id : order)
        device.capabilityOrder.append(QString::fromLatin1(id));
    return device;
}

constexpr auto flag = &CapabilityValue::fromBool;
constexpr auto number = &CapabilityValue::fromNumber;
constexpr auto text = &CapabilityValue::fromString;

} // namespace

// The model's values and the rules read off a device.
class TestModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void optionTitle()
    {
        QCOMPARE(modeCapability(CapabilityValue::fromString(u"away"_s)).optionTitle(), u"Weg"_s);
        QCOMPARE(modeCapability(CapabilityValue::fromString(u"night"_s)).optionTitle(), u"night"_s);
        QVERIFY(!modeCapability(CapabilityValue::fromNumber(1)).optionTitle());
        QVERIFY(!modeCapability(std::nullopt).optionTitle());
        QVERIFY(!modeCapability(CapabilityValue::none()).optionTitle());
    }

    // A number as the hub receives it: on the capability's grid, without binary noise.
    void writableNumbers_data()
    {
        QTest::addColumn<std::optional<double>>("step");
        QTest::addColumn<std::optional<double>>("max");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("wire");
        const std::optional<double> none;
        QTest::newRow("hundredths") << std::optional(0.01) << none << 0.2 + 0.1 << QByteArray("0.3");
        QTest::newRow("no step: hundredths") << none << none << 0.8 + 0.05 << QByteArray("0.85");
        QTest::newRow("tenths") << std::optional(0.1) << none << 3 * 0.1 << QByteArray("0.3");
        QTest::newRow("twentieths") << std::optional(0.05) << none << 0.123 << QByteArray("0.1");
        QTest::newRow("halves") << std::optional(0.5) << none << 20.8 << QByteArray("21");
        QTest::newRow("rounding stops at max")
            << std::optional(0.5) << std::optional(30.3) << 30.3 << QByteArray("30.3");
        QTest::newRow("just below zero") << none << none << -0.001 << QByteArray("0");
        QTest::newRow("a step of nothing")
            << std::optional(0.0) << none << 0.30000000000000004 << QByteArray("0.3");
    }
    void writableNumbers()
    {
        QFETCH(std::optional<double>, step);
        QFETCH(std::optional<double>, max);
        QFETCH(double, value);
        Capability capability;
        capability.kind = Capability::Kind::number;
        capability.step = step;
        capability.max = max;
        const QJsonObject body{{u"value"_s, capability.writable(value)}};
        QTEST(QJsonDocument(body).toJson(QJsonDocument::Compact).mid(9).chopped(1), "wire");
        QVERIFY(std::isnan(capability.writable(std::nan(""))));
    }

    // Halves away from zero, also below zero and just under a half (the fetching tests hold the rest).
    void houseEnergyRounding()
    {
        QCOMPARE(EnergyState::house(2.5, -2.5, false, -0.5), (EnergyState{-1, 3, -3}));
        QCOMPARE(EnergyState::house(0.49999999999999994, 0, true, 0), (EnergyState{0, 0, 0}));
    }

    // The kind is read from the payload's position: a reordered enum would misname every event.
    void eventKindFollowsItsCase()
    {
        using E = HomeyEvent;
        const QList<std::pair<HomeyEvent, E::Kind>> events{
            {E::Capability{u"d"_s, u"onoff"_s, {}, std::nullopt}, E::Kind::capability},
            {E::DeviceUpdated{}, E::Kind::deviceUpdated},
            {E::DeviceDeleted{u"d"_s}, E::Kind::deviceDeleted},
            {E::ZoneUpdated{}, E::Kind::zoneUpdated},
            {E::NotificationCreated{}, E::Kind::notificationCreated},
            {E::Disconnected{u"weg"_s}, E::Kind::disconnected},
            {E::FlowsChanged{}, E::Kind::flowsChanged},
            {E::Connected{}, E::Kind::connected}};
        for (const auto &[event, kind] : events)
            QCOMPARE(event.kind(), kind);
        QVERIFY(!events.last().first.as<E::Disconnected>());
        QCOMPARE(events[5].first.as<E::Disconnected>()->reason, u"weg"_s);
    }

    void errorTexts()
    {
        const QList<std::pair<HomeyError, QString>> cases{
            {HomeyError::unreachable(u"Zolder-Homey ü"_s), u"Geen contact met je Homey op Zolder-Homey ü."_s},
            {HomeyError::http(-1, u"/api/x"_s), u"De Homey gaf een fout (-1) op /api/x."_s},
            {HomeyError::socket(QString()), u"De live-verbinding viel weg: "_s}};
        for (const auto &[error, message] : cases) {
            QCOMPARE(error.errorDescription(), message);
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
    }

    void errorPayloadsBelongToTheirCase()
    {
        const auto http = HomeyError::http(404, u"/api/a"_s);
        QCOMPARE(http.status(), 404);
        QCOMPARE(http.path(), u"/api/a"_s);
        QVERIFY(http.host().isEmpty() && http.text().isEmpty());
        QCOMPARE(HomeyError::unreachable(u"h"_s).host(), u"h"_s);
        QVERIFY(HomeyError::unreachable(u"h"_s).path().isEmpty());
        QCOMPARE(HomeyError::socket(u"weg"_s).text(), u"weg"_s);
        QVERIFY(HomeyError::socket(u"x"_s) != HomeyError::decoding(u"x"_s));
        QVERIFY(HomeyError::http(500, u"/api/a"_s) != http);
    }

    void hitTargets()
    {
        QCOMPARE(deviceHit().deviceID(), u"d1"_s);
        for (const auto &target :
             {Hit::Target::room(u"d1"_s), Hit::Target::flow(u"d1"_s, false), Hit::Target::mood(u"d1"_s)}) {
            Hit hit = deviceHit();
            hit.target = target;
            QVERIFY(!hit.deviceID());
        }
        QVERIFY(Hit::Target::flow(u"f"_s, true).isAdvanced());
    }

    // The hand-written hashes agree with the generated equality, signed zeros included.
    void hashesAgreeWithEquality()
    {
        QCOMPARE(deviceHit(0.0), deviceHit(-0.0));
        QCOMPARE(qHash(deviceHit(0.0)), qHash(deviceHit(-0.0)));
        QCOMPARE(qHash(Hit::Accessory::dimmer(-0.0)), qHash(Hit::Accessory::dimmer(0.0)));
        QCOMPARE((QSet<Hit>{deviceHit(), deviceHit(), deviceHit(3)}.size()), 2);

        Room a{.id = u"z"_s, .name = u"Keuken"_s, .brightness = 0.0, .temperature = 0.0};
        Room b = a;
        b.brightness = -0.0;
        b.temperature = -0.0;
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));

        const RoomSection section{RoomSection::Kind::climate, {deviceHit(0.0)}};
        QCOMPARE(qHash(section), qHash(RoomSection{RoomSection::Kind::climate, {deviceHit(-0.0)}}));

        HomeyNotification read = p2000(1);
        read.isRead = true;
        QCOMPARE((QSet<HomeyNotification>{p2000(1), p2000(1), read}.size()), 2);
        const RawNotification raw{u"n1"_s, u"homey:manager:flow"_s, std::nullopt, u"**Hoi**"_s, std::nullopt};
        RawNotification named = raw;
        named.ownerName = QString();
        QCOMPARE((QSet<RawNotification>{raw, raw, named}.size()), 2);
    }

    // Only a section with a hit makes a room non-empty.
    void roomScopeEmptiness()
    {
        RoomScope scope{.zoneID = u"z"_s, .name = u"Woonkamer"_s};
        QVERIFY(scope.isEmpty());
        scope.sections = {{RoomSection::Kind::light, {}}, {RoomSection::Kind::other, {}}};
        QVERIFY(scope.isEmpty());
        scope.sections.append({RoomSection::Kind::sensor, {deviceHit()}});
        QVERIFY(!scope.isEmpty());
    }

    void notificationUrgency()
    {
        using S = HomeyNotification::Source;
        using U = HomeyNotification::Urgency;
        const QList<std::tuple<S, std::optional<int>, U>> cases{{S::p2000, std::nullopt, U::normal},
                                                                {S::p2000, 2, U::normal},
                                                                {S::p2000, 1, U::urgent},
                                                                {S::p2000, 0, U::urgent},
                                                                {S::presence, 1, U::quiet},
                                                                {S::weather, std::nullopt, U::quiet},
                                                                {S::flow, std::nullopt, U::normal},
                                                                {S::system, 0, U::normal}};
        for (const auto &[source, priority, urgency] : cases) {
            HomeyNotification n = p2000(priority);
            n.source = source;
            QCOMPARE(n.urgency(), urgency);
        }
    }

    void switchKeySelection()
    {
        // The exact "onoff" wins only when setable; otherwise the order decides among suffixed ids.
        auto device = makeDevice(u"socket"_s, {{"onoff", false}, {"onoff.output2"}, {"onoff.output1"}},
                                 {"onoff", "onoff.output2", "onoff.output1"});
        QCOMPARE(device.onoffKey(), u"onoff.output2"_s);

        device.capabilityOrder = {u"onoff"_s};
        QVERIFY(!device.onoffKey());

        device = makeDevice(u"light"_s, {{"dim.zone1"}, {"onoff"}}, {"dim.zone1"});
        QCOMPARE(device.onoffKey(), u"onoff"_s);
        QCOMPARE(device.dimKey(), u"dim.zone1"_s);
        QVERIFY(device.isDimmable());

        // An id in the order without a capability entry is skipped, and the base must match exactly.
        device = makeDevice(u"light"_s, {{"onoffx"}, {"dim", false}}, {"onoff.gone", "onoffx", "dim"});
        QVERIFY(!device.onoffKey());
        QVERIFY(!device.isDimmable());
    }

    void readsStateOnlyFromItsOwnCase()
    {
        auto device = makeDevice(u"light"_s, {{"onoff", true, number(1)}, {"dim", true, number(1.4)}});
        QVERIFY(!device.isOn());
        QCOMPARE(device.dimLevel(), 1.4); // unclamped
        QCOMPARE(device.symbol(), u"lightbulb"_s);

        device.capabilities.at(u"onoff"_s).value = flag(true);
        QCOMPARE(device.isOn(), true);
        QCOMPARE(device.symbol(), u"lightbulb.fill"_s);
        device.capabilities.at(u"dim"_s).value = text(u"0.4"_s);
        QVERIFY(!device.dimLevel());
    }

    void exactMeasurementIds()
    {
        const auto device = makeDevice(u"sensor"_s, {{"measure_temperature.inside", false, number(19)},
                                                     {"target_temperature", true, number(21)},
                                                     {"measure_power", false, number(-5)}});
        QVERIFY(!device.temperature());
        QCOMPARE(device.targetTemperature(), 21.0);
        QCOMPARE(device.measuredPowerW(), -5.0);
    }

    void colourAndControl()
    {
        auto device = makeDevice(u"light"_s, {{"light_temperature", false}, {"measure_power", true}});
        QVERIFY(device.hasColor());
        QVERIFY(!device.isControllable());
        device.capabilities.at(u"light_temperature"_s).setable = true;
        QVERIFY(device.isControllable());
        QVERIFY(!makeDevice(u"light"_s, {{"light_saturation"}}).hasColor());
    }

    void primaryAction()
    {
        // Quick action first, when it exists and is setable.
        auto device = makeDevice(u"fan"_s, {{"onoff"}, {"fan_speed"}}, {"fan_speed", "onoff"});
        device.uiQuickAction = u"fan_speed"_s;
        QCOMPARE(device.primaryAction(), u"fan_speed"_s);
        device.uiQuickAction = u"missing"_s;
        QCOMPARE(device.primaryAction(), u"onoff"_s);

        // Without on/off: the first controllable capability in order, suffixes included.
        device = makeDevice(u"blinds"_s, {{"windowcoverings_set.2"}, {"volume_set", false}, {"custom"}},
                            {"custom", "volume_set", "windowcoverings_set.2"});
        QCOMPARE(device.primaryAction(), u"windowcoverings_set.2"_s);
        QVERIFY(!makeDevice(u"sensor"_s, {{"measure_luminance", false}}).primaryAction());
    }

    void guardedLock()
    {
        auto lock = makeDevice(u"lock"_s, {{"locked", true, flag(true)}, {"onoff"}}, {"onoff", "locked"});
        QVERIFY(lock.isGuarded());
        QVERIFY(!lock.primaryAction());
        QCOMPARE(lock.lockKey(), u"locked"_s);
        QCOMPARE(lock.guardedState(), u"Op slot"_s);
        lock.capabilities.at(u"locked"_s).value = flag(false);
        QCOMPARE(lock.guardedState(), u"Ontgrendeld"_s);
        lock.capabilities.at(u"locked"_s).value = std::nullopt;
        QVERIFY(!lock.guardedState());

        // A setable guarded capability makes any class guarded; a read-only one does not.
        QVERIFY(makeDevice(u"other"_s, {{"garagedoor_closed.1"}}).isGuarded());
        QVERIFY(!makeDevice(u"other"_s, {{"locked", false, flag(true)}}).isGuarded());
        QVERIFY(makeDevice(u"garagedoor"_s, {}).isGuarded());
    }

    void emptyOrderFallsBackToSortedIds()
    {
        const auto device =
            makeDevice(u"lock"_s, {{"locked.b", true, flag(false)}, {"locked.a", true, flag(true)}});
        QCOMPARE(device.lockKey(), u"locked.a"_s);
        QCOMPARE(device.guardedState(), u"Op slot"_s);
        // With an order, only the order counts.
        auto ordered = device;
        ordered.capabilityOrder = {u"locked.b"_s};
        QCOMPARE(ordered.lockKey(), u"locked.b"_s);
    }

    void alarmState()
    {
        const QList<std::pair<CapabilityValue, std::optional<bool>>> cases{
            {text(u"Disarmed"_s), false}, {text(u"OFF"_s), false},  {text(u"disarm"_s), false},
            {text(u"Unarmed"_s), false},  {text(u"armed"_s), true}, {text(u"partially_armed"_s), true},
            {number(0), std::nullopt}};
        for (const auto &[value, armed] : cases) {
            const auto alarm =
                makeDevice(u"homealarm"_s, {{"homealarm_state", true, value}}, {"homealarm_state"});
            QCOMPARE(alarm.armingKey(), u"homealarm_state"_s);
            QCOMPARE(alarm.isArmed(), armed);
            QCOMPARE(alarm.guardedState(),
                     armed ? std::optional(*armed ? u"Ingeschakeld"_s : u"Uitgeschakeld"_s) : std::nullopt);
        }
    }

    void lowersSecurity_data()
    {
        QTest::addColumn<QString>("capability");
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<bool>("lowers");
        QTest::newRow("unlock") << u"locked"_s << flag(false) << true;
        QTest::newRow("lock") << u"locked"_s << flag(true) << false;
        QTest::newRow("lock none") << u"locked"_s << CapabilityValue() << false;
        QTest::newRow("lock number 0") << u"locked.front"_s << number(0) << false;
        QTest::newRow("open garage") << u"garagedoor_closed.2"_s << flag(false) << true;
        QTest::newRow("lock_n_go") << u"button_lock_n_go"_s << flag(true) << true;
        QTest::newRow("unlatch none") << u"button_unlatch"_s << CapabilityValue() << true;
        QTest::newRow("alarm bool") << u"homealarm_state"_s << flag(false) << true;
        QTest::newRow("alarm armed") << u"homealarm_state"_s << text(u"armed"_s) << false;
        QTest::newRow("alarm Disarmed") << u"homealarm_state"_s << text(u"Disarmed"_s) << true;
        QTest::newRow("alarm disarm") << u"homealarm_state"_s << text(u"disarm"_s) << true;
        QTest::newRow("alarm Unarmed") << u"homealarm_state"_s << text(u"Unarmed"_s) << true;
        QTest::newRow("lock_mode OFF") << u"lock_mode"_s << text(u"OFF"_s) << true;
        QTest::newRow("arming cmd number") << u"CMD_SET_ARMING"_s << number(1) << true;
        QTest::newRow("onoff") << u"onoff"_s << flag(false) << false;
        QTest::newRow("case matters") << u"Locked"_s << flag(false) << false;
    }
    void lowersSecurity()
    {
        QFETCH(QString, capability);
        QFETCH(CapabilityValue, value);
        QFETCH(bool, lowers);
        QCOMPARE(Device::lowersSecurity(capability, value), lowers);
        QCOMPARE(makeDevice(u"light"_s, {}).lowersSecurity(capability, value), lowers);
    }

    void protectedCapabilities()
    {
        for (const char *id : {"garagedoor_closed.2", "CMD_SET_ARMING", "button_unlatch", "lock_mode.x"})
            QVERIFY2(Device::isProtected(QString::fromLatin1(id)), id);
        QVERIFY(!Device::isProtected(u"onoff"_s) && !Device::isProtected(u"homealarm"_s));
        QCOMPARE(Device::baseCapability(u"a.b.c"_s), u"a"_s);
        QCOMPARE(Device::baseCapability(u".x"_s), QString());
    }

    // Icons and classes match exactly; anything else gets the fallback.
    void symbols()
    {
        const QString zoneFallback = u"square.split.bottomrightquarter"_s;
        for (const auto &[icon, symbol] : {std::pair{u"kitchen"_s, u"fork.knife"_s},
                                           {u"stairs-down"_s, u"figure.stairs"_s},
                                           {u"Kitchen"_s, zoneFallback},
                                           {u"garden "_s, zoneFallback},
                                           {QString(), zoneFallback}})
            QCOMPARE(Zone{.icon = icon}.symbol(), symbol);
        for (const auto &[deviceClass, symbol] : {std::pair{u"curtain"_s, u"blinds.horizontal.closed"_s},
                                                  {u"light"_s, u"lightbulb"_s},
                                                  {u"Socket"_s, u"square.grid.2x2"_s},
                                                  {u"garagedoor"_s, u"square.grid.2x2"_s}})
            QCOMPARE(makeDevice(deviceClass, {}).symbol(), symbol);
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
