#include "app/appdelegate.h"
#include "app/probes/keycheck.h"
#include "app/probes/keyscript.h"
#include "app/probes/searchreport.h"
#include "base/log.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Device device(const QString &id, const QString &name, const QString &zoneID, bool switchable)
{
    Device d;
    d.id = id;
    d.name = name;
    d.zoneID = zoneID;
    d.deviceClass = switchable ? u"light"_s : u"sensor"_s;
    Capability cap;
    cap.id = switchable ? u"onoff"_s : u"measure_temperature"_s;
    cap.setable = switchable;
    d.capabilities.emplace(cap.id, cap);
    d.capabilityOrder = {cap.id};
    return d;
}

Hit deviceHit(const QString &deviceID, const QString &title, std::optional<QString> subtitle = std::nullopt)
{
    Hit hit;
    hit.id = u"device:"_s + deviceID;
    hit.target = Hit::Target::device(deviceID);
    hit.title = title;
    hit.subtitle = std::move(subtitle);
    return hit;
}

QList<Hit> hitsNamed(const QStringList &ids)
{
    QList<Hit> hits;
    for (const QString &id : ids)
        hits.append(deviceHit(id, id.toUpper()));
    return hits;
}

} // namespace

// What the probes print: the search report and the key check of the typing runs; where a picture goes.
class TstProbeReports : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void searchReportListsTwelveHitsAndTheNamedDevices()
    {
        SearchReport::Facts facts;
        facts.query = u"Lamp"_s;
        facts.flowCount = 3;
        facts.connection = ConnectionState::failed(u"Weg"_s, u"Probeer \"opnieuw\""_s);
        Zone hal;
        hal.id = u"z1"_s;
        hal.name = u"Hal"_s;
        facts.zones.insert(hal.id, hal);
        facts.devices.insert(u"d1"_s, device(u"d1"_s, u"Hallamp"_s, u"z1"_s, true));
        facts.devices.insert(u"d2"_s, device(u"d2"_s, u"lamp\n\"oud\""_s, u"gone"_s, false));
        facts.devices.insert(u"d3"_s, device(u"d3"_s, u"Kachel"_s, u"z1"_s, true));
        facts.hits.append(deviceHit(u"d1"_s, u"Hallamp"_s, u"Hal, aan"_s));
        facts.hits.append(deviceHit(u"x"_s, u"Een titel die langer is dan vierendertig tekens"_s, u"Flow"_s));
        for (int i = 3; i <= 14; ++i)
            facts.hits.append(deviceHit(u"n"_s + QString::number(i), u"Rij "_s + QString::number(i)));

        const QStringList lines = SearchReport::lines(facts);
        const QStringList head{
            u"\nSTORE: 3 apparaten, 1 zones, 3 flows, verbinding=mislukt: \"Weg\", \"Probeer \\\"opnieuw\\\"\""_s,
            u"QUERY: \"Lamp\""_s,
            u"TREFFERS: 14"_s,
            u"   1. "_s + u"Hallamp"_s.leftJustified(34) + u" Hal, aan"_s,
            u"   2. Een titel die langer is dan vierendertig tekens Flow"_s,
        };
        QCOMPARE(lines.mid(0, 5), head);
        QCOMPARE(lines.at(14), u"  12. "_s + u"Rij 12"_s.leftJustified(34) + u" "_s);
        QCOMPARE(lines.at(15), u"\nAPPARATEN IN DE STORE met deze naam: 2"_s);
        QStringList named = lines.mid(16, 2);
        named.sort();
        QCOMPARE(
            named,
            (QStringList{u"  \"Hallamp\" in Hal | class=light bedienbaar=true caps=[\"onoff\"] => STAAT IN "
                         u"DE TREFFERS: ja"_s,
                         u"  \"lamp\\n\\\"oud\\\"\" in ? | class=sensor bedienbaar=false "
                         u"caps=[\"measure_temperature\"] => STAAT IN DE TREFFERS: NEE"_s}));
        QCOMPARE(lines.size(), 19);
        QCOMPARE(lines.last(), QString());
    }

    void keyCheckSaysWhatFellBehind_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("store");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("current");
        QTest::addColumn<QString>("verdict");
        const QStringList ab{u"a"_s, u"b"_s};
        QTest::newRow("kept up") << u"woo"_s << u"woo"_s << ab << QStringList{u"b"_s, u"a"_s, u"b"_s}
                                 << u"ok  B"_s;
        QTest::newRow("nothing listed")
            << u"woo"_s << u"woo"_s << QStringList() << QStringList() << u"ok  -"_s;
        QTest::newRow("store behind")
            << u"woo"_s << u"wo"_s << ab << QStringList{u"a"_s} << u"MIS query lijst"_s;
        QTest::newRow("field behind") << u"wo"_s << u"woo"_s << ab << ab << u"MIS veld "_s;
        QTest::newRow("no field") << u"<geen field editor>"_s << u""_s << ab << QStringList()
                                  << u"MIS query veld lijst"_s;
        QTest::newRow("a row too many")
            << u"woo"_s << u"woo"_s << ab << QStringList{u"a"_s, u"b"_s, u"c"_s} << u"MIS lijst"_s;
    }
    void keyCheckSaysWhatFellBehind()
    {
        QFETCH(QString, field);
        QFETCH(QString, store);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, current);
        QFETCH(QString, verdict);
        KeyCheck check{u"woo"_s, field, store, {}, hitsNamed(current)};
        for (const QString &id : expected)
            check.expectedIDs.append(u"device:"_s + id);
        QCOMPARE(check.verdict(), verdict);
        QCOMPARE(check.passed(), verdict.startsWith(u"ok"_s));
        QCOMPARE(check.line(3), u"  run  3  getikt=woo            veld="_s + field.leftJustified(14) +
                                    u" store="_s + store.leftJustified(14) + u" treffers="_s +
                                    QString::number(current.size()).rightJustified(2) + u"  "_s + verdict);
    }

    void inARoomOnlyItsControllableDevicesAreExpected()
    {
        DeviceMap devices;
        devices.insert(u"lamp"_s, device(u"lamp"_s, u"Lamp"_s, u"kamer"_s, true));
        devices.insert(u"sensor"_s, device(u"sensor"_s, u"Sensor"_s, u"kamer"_s, false));
        devices.insert(u"elders"_s, device(u"elders"_s, u"Elders"_s, u"hal"_s, true));
        Hit room;
        room.id = u"room:kamer"_s;
        room.target = Hit::Target::room(u"kamer"_s);
        const QList<Hit> hits = hitsNamed({u"lamp"_s, u"sensor"_s, u"elders"_s, u"weg"_s}) + QList<Hit>{room};
        QCOMPARE(KeyCheck::expectedIDsOf(hits, devices, u"kamer"_s), QStringList{u"device:lamp"_s});
        QCOMPARE(KeyCheck::expectedIDsOf(hits, devices, std::nullopt),
                 (QStringList{u"device:lamp"_s, u"device:sensor"_s, u"device:elders"_s, u"device:weg"_s,
                              u"room:kamer"_s}));
    }

    void thePictureStaysInTheLogsFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("named") << QStringList{u"--shot"_s, u"keys"_s} << u"keys.png"_s;
        QTest::newRow("last") << QStringList{u"--shot"_s} << u"panel.png"_s;
        QTest::newRow("empty") << QStringList{u"--shot"_s, QString()} << u"panel.png"_s;
        QTest::newRow("a switch") << QStringList{u"--shot"_s, u"--keep-open"_s} << u"panel.png"_s;
        QTest::newRow("a path") << QStringList{u"--shot"_s, u"../../keys"_s} << u"panel.png"_s;
        QTest::newRow("up") << QStringList{u"--shot"_s, u".."_s} << u"panel.png"_s;
    }
    void thePictureStaysInTheLogsFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCOMPARE(KeyScript::picturePath(QStringList{u"quorvane"_s} + arguments),
                 QFileInfo(Log::fileURL()).absolutePath() + u"/"_s + file);
    }
};

QTEST_GUILESS_MAIN(TstProbeReports)
#include "tst_probereports.moc"
