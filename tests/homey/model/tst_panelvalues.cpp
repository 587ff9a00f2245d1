#include "homey/model/connectionstate.h"
#include "homey/model/hit.h"
#include "homey/model/homeynotification.h"
#include "homey/model/rawnotification.h"
#include "homey/model/reststate.h"
#include "homey/model/room.h"
#include "homey/model/roomscope.h"
#include "homey/model/roomsection.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Hit deviceHit(double score = 1)
{
    return Hit{.id = u"device:d1"_s,
               .target = Hit::Target::device(u"d1"_s),
               .title = u"Lamp"_s,
               .symbol = u"lightbulb"_s,
               .accessory = Hit::Accessory::dimmer(0.4),
               .score = score};
}

HomeyNotification p2000(std::optional<int> priority)
{
    return HomeyNotification{.id = u"p2000:1"_s,
                             .source = HomeyNotification::Source::p2000,
                             .date = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC),
                             .title = u"Brand"_s,
                             .body = u"Grote brand"_s,
                             .symbol = u"flame"_s,
                             .priority = priority};
}

} // namespace

class TestPanelValues : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hitTargets()
    {
        QCOMPARE(deviceHit().deviceID(), u"d1"_s);
        for (const auto &target :
             {Hit::Target::room(u"d1"_s), Hit::Target::flow(u"d1"_s, false), Hit::Target::mood(u"d1"_s)}) {
            Hit hit = deviceHit();
            hit.target = target;
            QVERIFY(!hit.deviceID());
            QVERIFY(hit != deviceHit());
        }
        QVERIFY(Hit::Target::flow(u"f"_s, true) != Hit::Target::flow(u"f"_s, false));
        QCOMPARE(Hit::Target::flow(u"f"_s, true).isAdvanced(), true);
    }

    void hitEqualityAndHashing()
    {
        QVERIFY(deviceHit(1) != deviceHit(2));
        QCOMPARE(deviceHit(), deviceHit());
        QCOMPARE(qHash(deviceHit(0.0)), qHash(deviceHit(-0.0)));
        QCOMPARE(deviceHit(0.0), deviceHit(-0.0));

        QVERIFY(Hit::Accessory::toggle(false) != Hit::Accessory::none());
        QVERIFY(Hit::Accessory::dimmer(0) != Hit::Accessory::toggle(false));
        QVERIFY(Hit::Accessory::value(QString()) != Hit::Accessory::none());
        QCOMPARE(Hit::Accessory(), Hit::Accessory::none());
        QCOMPARE(qHash(Hit::Accessory::dimmer(-0.0)), qHash(Hit::Accessory::dimmer(0.0)));
        QCOMPARE(Hit::Accessory::dimmer(0.25).dimmerLevel(), 0.25);
        QVERIFY(!Hit::Accessory::run().toggleState());

        QSet<Hit> set{deviceHit(), deviceHit(), deviceHit(3)};
        QCOMPARE(set.size(), 2);
    }

    void roomHashing()
    {
        Room a{.id = u"z"_s, .name = u"Keuken"_s, .brightness = 0.0, .temperature = 0.0};
        Room b = a;
        b.brightness = -0.0;
        b.temperature = -0.0;
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));
        QVERIFY(!a.isLit());
        b.lightsOn = 1;
        QVERIFY(b.isLit());
        b = a;
        b.floor = QString();
        QVERIFY(a != b);
    }

    void sectionKinds()
    {
        QVERIFY(!RoomSection::Kind::fromRaw(u"Light"_s));
        QCOMPARE(RoomSection::Kind::fromRaw(u"sensor"_s), RoomSection::Kind::sensor);
        const QList<RoomSection::Kind> all = RoomSection::Kind::allCases();
        QStringList titles;
        for (const auto kind : all) {
            titles << kind.title();
            QCOMPARE(RoomSection::Kind::fromRaw(kind.raw()), kind);
            QCOMPARE(kind.selectable(), kind != RoomSection::Kind::sensor);
        }
        QCOMPARE(titles, (QStringList{u"Licht"_s, u"Klimaat"_s, u"Media"_s, u"Overig"_s, u"Sensoren"_s}));
        const RoomSection section{RoomSection::Kind::climate, {deviceHit()}};
        QCOMPARE(section.id(), u"climate"_s);
        QVERIFY(section != (RoomSection{RoomSection::Kind::media, {deviceHit()}}));
        QCOMPARE(qHash(section), qHash(RoomSection{RoomSection::Kind::climate, {deviceHit()}}));
    }

    void roomScopeFlags()
    {
        RoomScope scope{.zoneID = u"z"_s, .name = u"Woonkamer"_s};
        QVERIFY(scope.isEmpty());
        QVERIFY(!scope.hasLights());
        scope.sections = {{RoomSection::Kind::light, {}}, {RoomSection::Kind::other, {}}};
        QVERIFY(scope.isEmpty());
        scope.sections.append({RoomSection::Kind::sensor, {deviceHit()}});
        QVERIFY(!scope.isEmpty());
        scope.lightsTotal = 2;
        QVERIFY(scope.hasLights());
        QVERIFY(!scope.isLit());
        RoomScope other = scope;
        other.dimBrightness = 0.5;
        QVERIFY(scope != other);
        QCOMPARE(RestState(), (RestState{{}, {}, {}, {}, 0, QString()}));
    }

    void connectionStates()
    {
        using CS = ConnectionState;
        QVERIFY(CS::failed(u"m"_s, u"a"_s) != CS::failed(u"m"_s, u"b"_s));
        QCOMPARE(CS::failed(u"m"_s, u"a"_s), CS::failed(u"m"_s, u"a"_s));
        QVERIFY(CS::loading(u"x"_s) != CS::degraded(u"x"_s));
        const QList<CS> plain{CS::idle(), CS::connecting(), CS::live(), CS::loading(QString())};
        for (qsizetype i = 0; i < plain.size(); ++i) {
            for (qsizetype j = 0; j < plain.size(); ++j)
                QCOMPARE(plain[i] == plain[j], i == j);
        }
        QCOMPARE(CS(), CS::idle());
        QCOMPARE(CS::failed(u"m"_s, u"h"_s).hint(), u"h"_s);
    }

    void notificationUrgency_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("priority"); // -1: absent
        QTest::addColumn<int>("urgency");
        using S = HomeyNotification::Source;
        using U = HomeyNotification::Urgency;
        QTest::newRow("p2000 none") << int(S::p2000) << -1 << int(U::normal);
        QTest::newRow("p2000 2") << int(S::p2000) << 2 << int(U::normal);
        QTest::newRow("p2000 1") << int(S::p2000) << 1 << int(U::urgent);
        QTest::newRow("p2000 0") << int(S::p2000) << 0 << int(U::urgent);
        QTest::newRow("presence") << int(S::presence) << 1 << int(U::quiet);
        QTest::newRow("weather") << int(S::weather) << -1 << int(U::quiet);
        QTest::newRow("flow") << int(S::flow) << -1 << int(U::normal);
        QTest::newRow("system") << int(S::system) << 0 << int(U::normal);
    }

    void notificationUrgency()
    {
        QFETCH(int, source);
        QFETCH(int, priority);
        QFETCH(int, urgency);
        HomeyNotification n = p2000(priority < 0 ? std::nullopt : std::optional(priority));
        n.source = HomeyNotification::Source::Value(source);
        QCOMPARE(int(n.urgency()), urgency);
    }

    void notificationSources()
    {
        using S = HomeyNotification::Source;
        QVERIFY(!S::fromRaw(u"Weather"_s));
        QCOMPARE(S::fromRaw(u"weather"_s), S::weather);
        QVERIFY(!S::fromRaw(QString()));
        QStringList raws;
        for (const S source : S::allCases()) {
            raws << source.raw();
            QVERIFY(!source.title().isEmpty());
            QVERIFY(!source.symbol().isEmpty());
        }
        QCOMPARE(raws, (QStringList{u"p2000"_s, u"presence"_s, u"weather"_s, u"flow"_s, u"system"_s}));
        QCOMPARE(S(S::system).title(), u"Systeem en apps"_s);
        QCOMPARE(S(S::p2000).symbol(), u"antenna.radiowaves.left.and.right"_s);
    }

    void notificationEquality()
    {
        HomeyNotification read = p2000(1);
        read.isRead = true;
        QVERIFY(read != p2000(1));
        QCOMPARE(qHash(p2000(1)), qHash(p2000(1)));
        QCOMPARE(QSet<HomeyNotification>({p2000(1), p2000(1), read}).size(), 2);

        const RawNotification raw{u"n1"_s, u"homey:manager:flow"_s, std::nullopt, u"**Hoi**"_s, std::nullopt};
        RawNotification named = raw;
        named.ownerName = QString();
        QVERIFY(raw != named);
        QCOMPARE(QSet<RawNotification>({raw, raw, named}).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestPanelValues)
#include "tst_panelvalues.moc"
