#include "homey/model/capability.h"
#include "homey/model/energystate.h"
#include "homey/model/hit.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyevent.h"
#include "homey/model/homeynotification.h"
#include "homey/model/rawnotification.h"
#include "homey/model/room.h"
#include "homey/model/roomscope.h"
#include "homey/model/roomsection.h"

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

} // namespace

class TestModelValues : public QObject {
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
        QCOMPARE(Hit::Accessory::dimmer(0.25).dimmerLevel(), 0.25);
        QVERIFY(!Hit::Accessory::run().toggleState());
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
};

QTEST_GUILESS_MAIN(TestModelValues)
#include "tst_modelvalues.moc"
