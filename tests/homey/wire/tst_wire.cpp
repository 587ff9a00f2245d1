#include "homey/wire/homeydate.h"
#include "homey/wire/homeytimestamp.h"
#include "homey/wire/jsonrepair.h"
#include "homey/wire/lenient.h"
#include "homey/wire/rawdevice.h"
#include "homey/wire/rawsystem.h"
#include "homey/wire/rawtimelineitem.h"
#include "homey/wire/rawuser.h"
#include "homey/wire/rawzone.h"

#include <functional>
#include <map>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, so that no raw string literal is needed: moc does not read those.
QByteArray js(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

template <class T> QString failureOf(const QByteArray &json)
{
    try {
        decodeJson<T>(json);
        return {};
    } catch (const JsonDecodeError &error) {
        return error.description();
    }
}

// Records whose failure texts are checked here, by name.
const std::map<QString, std::function<QString(const QByteArray &)>> decoders{
    {u"zone"_s, failureOf<RawZone>},
    {u"device"_s, failureOf<RawDevice>},
    {u"timeline"_s, failureOf<RawTimelineItem>},
    {u"user"_s, failureOf<RawUser>},
    {u"system"_s, failureOf<RawSystem>},
};

// An empty failure means the record decodes.
void row(const char *record, const char *json, const char *failure = "")
{
    QTest::newRow(*json ? json : "null")
        << QString::fromLatin1(record) << (*json ? js(json) : QByteArray()) << QString::fromUtf8(failure);
}

// A device's members after its id and name.
void deviceRow(const char *members, const char *failure = "")
{
    QTest::newRow(members) << u"device"_s << js("{'id':'d','name':'L'") + js(members) + '}'
                           << QString::fromUtf8(failure);
}

Device device(const char *members)
{
    return decodeJson<RawDevice>(js("{'id':'d','name':'L'") + js(members) + '}').toDevice();
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// An invalid date stands for none.
void dateRow(const char *text, const QDateTime &expected = {})
{
    QTest::newRow(*text ? text : "empty") << QString::fromUtf8(text) << expected;
}

} // namespace

// The hub's JSON read into records, and the records into model values.
class TestWire : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void records_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("failure");

        row("zone", "{'id':'z'}", "name: missing");
        row("zone", "{'id':'z','name':null}", "name: expected text, found null");
        row("zone", "{'id':'z','name':'K','parent':null,'icon':null}");
        row("zone", "{'id':'z','name':'K','active':'true'}", "active: expected Bool, found text");
        row("zone", "[]", "expected object, found list");
        // A repeated key: the last one counts.
        row("zone", "{'id':'z','name':'K','name':3}", "name: expected text, found number");
        row("zone", "{'id':'z','name':3,'name':'K'}");

        deviceRow(",'driverId':'x','settings':{'a':[1]}");
        deviceRow(",'capabilitiesObj':{'dim':{'min':'0'}}",
                  "capabilitiesObj.dim.min: expected number, found text");
        deviceRow(",'capabilitiesObj':{'dim':{'decimals':1.5}}",
                  "capabilitiesObj.dim.decimals: expected integer, found 1.5");
        deviceRow(",'capabilitiesObj':{'dim':{'decimals':2.0}}");
        deviceRow(",'capabilitiesObj':{'m':{'values':{}}}",
                  "capabilitiesObj.m.values: expected list, found object");
        deviceRow(",'capabilitiesObj':{'m':{'values':[{'id':'a'},{'title':3}]}}",
                  "capabilitiesObj.m.values[1].title: expected text, found number");
        deviceRow(",'capabilitiesObj':{'x':{'value':{'a':1},'lastUpdated':true}}");
        deviceRow(",'capabilitiesObj':{'x':5}", "capabilitiesObj.x: expected object, found number");
        deviceRow(",'capabilities':['onoff',7]", "capabilities[1]: expected text, found number");
        deviceRow(",'ui':{'components':[{'id':'a','capabilities':[true]}]}",
                  "ui.components[0].capabilities[0]: expected text, found Bool");

        row("timeline", "{'id':'n','dateCreated':1714557600000}", "dateCreated: expected text, found number");
        row("user", "{'id':'u','properties':{'favoriteFlows':['a',null]}}",
            "properties.favoriteFlows[1]: expected text, found null");

        row("system", "{'totalmem':10,'freemem':4}");
        row("system", "{'totalmem':100000000000000000000,'freemem':4}",
            "totalmem: expected integer, found 1e+20");
        row("system", "{'totalmem':18446744073709551615,'freemem':4}",
            "totalmem: expected integer, found 1.8446744073709552e+19");
        row("system",
            "{'totalmem':1,'freemem':0,'cpus':[{'times':{'user':1,'nice':2,'sys':3,'idle':4,'irq':5}},{'"
            "times':{'user':1}}]}",
            "cpus[1].times.nice: missing");
        row("system",
            "{'totalmem':1,'freemem':0,'cpus':[{'times':{'user':'1','nice':0,'sys':0,'idle':0,'irq':0}}]}",
            "cpus[0].times.user: expected integer, found text");

        row("zone", "{'id':", "no valid JSON (unterminated object at byte 6)");
        row("zone", "5", "no valid JSON (illegal value at byte 1)");
        row("zone", "", "no valid JSON (illegal value at byte 0)");
    }
    void records()
    {
        QFETCH(QString, record);
        QFETCH(QByteArray, json);
        QTEST(decoders.at(record)(json), "failure");
    }

    // Objects with many members are read another way; the same rules hold there.
    void largeObjects()
    {
        QByteArray json = js("{'id':'z','name':'K'");
        for (int i = 0; i < 40; ++i)
            json += ",\"k" + QByteArray::number(i) + "\":0";
        QCOMPARE(decodeJson<RawZone>(json + js(",'icon':'x'}")).icon, u"x"_s);
        QCOMPARE(failureOf<RawZone>(json + js(",'name':3}")), u"name: expected text, found number"_s);
    }

    // Any JSON value reads as a capability value; null and absence as no value at all.
    void capabilityValue()
    {
        using V = CapabilityValue;
        const QList<std::pair<const char *, std::optional<V>>> cases{
            {"true", V::fromBool(true)}, {"false", V::fromBool(false)}, {"0", V::fromNumber(0)},
            {"1.0", V::fromNumber(1)},   {"-3e2", V::fromNumber(-300)}, {"'50'", V::fromString(u"50"_s)},
            {"{'a':1}", V::none()},      {"[true]", V::none()},         {"null", std::nullopt},
            {"", std::nullopt}};
        for (const auto &[json, expected] : cases) {
            const QByteArray member = *json ? ",'value':"_ba + json : QByteArray();
            const auto decoded =
                decodeJson<RawCapability>(js(("{'id':'x'"_ba + member + '}').constData())).value;
            QCOMPARE(decoded, expected);
            // What was read is written back the same, except objects and arrays, which are none.
            const QJsonValue written = QJsonDocument::fromJson('[' + js(json) + ']').array().at(0);
            if (decoded)
                QCOMPARE(decoded->toJson(),
                         written.isObject() || written.isArray() ? QJsonValue::Null : written);
        }
    }

    void integersKeepAllDigits()
    {
        const auto system = decodeJson<RawSystem>(js("{'totalmem':9007199254740993,'freemem':-3}"));
        QCOMPARE(system.totalmem, Q_INT64_C(9007199254740993));
        QCOMPARE(system.freemem, -3);
    }

    // One bad member costs only itself; its failure names the path inside it.
    void lenientCollection()
    {
        const auto members = decodeJson<std::map<QString, Lenient<RawZone>>>(
            js("{'a':{'id':'a','name':'Keuken'},'b':null,'c':'zone','d':{'id':'d'},"
               "'e':{'id':'e','name':'Hal','parent':7},'f':{'id':'f','name':'Zolder'},'f':{'id':'f'}}"));
        QCOMPARE(members.size(), size_t(6));
        QCOMPARE(members.at(u"a"_s).value->name, u"Keuken"_s);
        QCOMPARE(members.at(u"b"_s).failure, u"expected object, found null"_s);
        QCOMPARE(members.at(u"c"_s).failure, u"expected object, found text"_s);
        QCOMPARE(members.at(u"d"_s).failure, u"name: missing"_s);
        QCOMPARE(members.at(u"e"_s).failure, u"parent: expected text, found number"_s);
        QCOMPARE(members.at(u"f"_s).failure, u"name: missing"_s); // the last of a repeated key
        for (const auto &[key, member] : members)
            QVERIFY(member.value.has_value() != member.failure.has_value());

        // A device with one bad capability is lost whole.
        const auto devices = decodeJson<std::map<QString, Lenient<RawDevice>>>(
            js("{'d':{'id':'d','name':'L','capabilitiesObj':{'onoff':{},'dim':{'min':'0'}}}}"));
        QCOMPARE(devices.at(u"d"_s).failure, u"capabilitiesObj.dim.min: expected number, found text"_s);
    }

    void repair_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("repaired"); // empty: nothing to repair
        const auto row = [](const char *name, const char *json, const char *repaired) {
            QTest::newRow(name) << QByteArray(json) << QByteArray(repaired);
        };
        row("lone high surrogate", "[\"a\\ud83d\",\"\\uD83Dx\"]", "[\"a\\ufffd\",\"\\ufffdx\"]");
        row("lone low surrogate", "{\"\\udca1\":1}", "{\"\\ufffd\":1}");
        row("pair kept", "[\"\\ud83d\\udca1\\ud83d\"]", "[\"\\ud83d\\udca1\\ufffd\"]");
        row("escaped backslash", "[\"\\\\ud83d\"]", "");
        row("integers beyond 64 bits", "[18446744073709551616,-9223372036854775809,18446744073709551615]",
            "[18446744073709551616.0,-9223372036854775809.0,18446744073709551615]");
        row("fractions, exponents, texts",
            "[1.100000000000000000000,2e100000000000000000000,\"1000000000000000000000\"]", "");
    }
    void repair()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, repaired);
        QCOMPARE(JsonRepair::repaired(json).value_or(QByteArray()), repaired);
    }

    // Half a surrogate pair, as the hub's JavaScript writes it, costs only itself (see the records for a too
    // large integer).
    void loneSurrogate()
    {
        const auto zone = decodeJson<RawZone>(js("{'id':'z','name':'\\ud83d\\udca1 \\ud83d'}"));
        QCOMPARE(zone.name, u"\U0001F4A1 \ufffd"_s);
    }

    // The capabilities come from the map, their order from the list, else from the map's keys by code point.
    void capabilityOrder_data()
    {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QStringList>("order");
        const QByteArray caps = js(",'capabilitiesObj':{'onoff':{},'dim':{}}");
        QTest::newRow("empty list") << js(",'capabilities':[]") + caps << QStringList{u"dim"_s, u"onoff"_s};
        QTest::newRow("absent list") << caps << QStringList{u"dim"_s, u"onoff"_s};
        QTest::newRow("list kept as sent")
            << js(",'capabilities':['onoff','dim','onoff'],'capabilitiesObj':{'onoff':{},'alarm':{}}")
            << QStringList{u"onoff"_s, u"dim"_s, u"onoff"_s};
        QTest::newRow("capitals first, no locale") << js(",'capabilitiesObj':{'b':{},'a':{},'Z':{},'é':{}}")
                                                   << QStringList{u"Z"_s, u"a"_s, u"b"_s, u"é"_s};
        // U+FFFD sorts before U+1F4A1 by code point, though its UTF-16 unit is larger.
        QTest::newRow("code points beyond the BMP")
            << js(",'capabilitiesObj':{'\\ud83d\\udca1':{},'\\ufffd':{}}")
            << QStringList{u"\ufffd"_s, u"\U0001F4A1"_s};
        QTest::newRow("nothing") << QByteArray() << QStringList();
    }
    void capabilityOrder()
    {
        QFETCH(QByteArray, members);
        const Device d = device(members.constData());
        QTEST(d.capabilityOrder, "order");
    }

    void deviceFields()
    {
        QCOMPARE(decodeJson<RawDevice>(js("{'id':' d ','name':' Lamp '}")).toDevice(),
                 (Device{.id = u" d "_s,
                         .name = u" Lamp "_s,
                         .deviceClass = u"other"_s,
                         .available = true,
                         .ready = true}));
        QCOMPARE(device(",'zone':'z','class':'socket','virtualClass':'light','available':false,'ready':false,"
                        "'unavailableMessage':'weg','color':'#fff','ui':{'quickAction':'onoff','components':"
                        "[{'id':'toggle'},{'capabilities':['x']},{'id':'slider'}]}"),
                 (Device{.id = u"d"_s,
                         .name = u"L"_s,
                         .zoneID = u"z"_s,
                         .deviceClass = u"light"_s,
                         .unavailableMessage = u"weg"_s,
                         .uiQuickAction = u"onoff"_s,
                         .uiComponents = {u"toggle"_s, u"slider"_s},
                         .color = u"#fff"_s}));
        QCOMPARE(device(",'class':'socket'").deviceClass, u"socket"_s);
        // The capabilities are the map's, whatever the list names.
        const auto listed =
            device(",'capabilities':['onoff','dim'],'capabilitiesObj':{'onoff':{},'alarm':{}}");
        QVERIFY(listed.capabilities.size() == 2 && listed.capabilities.contains(u"alarm"_s));
    }

    void capabilityFields()
    {
        const Device d =
            device(",'capabilitiesObj':{'measure_power':{'id':'other','type':'Boolean'},"
                   "'dim':{'type':'number','title':'Dimmen','getable':false,'setable':true,'min':0,'max':1,'"
                   "step':0.01,"
                   "'units':'%','decimals':2,'value':0.5,'lastUpdated':250},"
                   "'mode':{'type':'enum','values':[{'id':'a'},{'title':'geen id'},{'id':'b','title':'Bee'}],"
                   "'value':'b','lastUpdated':'gisteren'},'onoff':{'type':'boolean'},'huge':{'decimals':"
                   "99999999999}}");
        using K = Capability::Kind;
        QCOMPARE(
            d.capabilities.at(u"measure_power"_s),
            (Capability{
                .id = u"measure_power"_s, .kind = K::string, .title = u"measure_power"_s, .getable = true}));
        QCOMPARE(d.capabilities.at(u"dim"_s), (Capability{.id = u"dim"_s,
                                                          .kind = K::number,
                                                          .title = u"Dimmen"_s,
                                                          .setable = true,
                                                          .min = 0,
                                                          .max = 1,
                                                          .step = 0.01,
                                                          .units = u"%"_s,
                                                          .decimals = 2,
                                                          .value = CapabilityValue::fromNumber(0.5),
                                                          .lastUpdated = utc(1970, 1, 1, 0, 0, 0, 250)}));
        QCOMPARE(d.capabilities.at(u"mode"_s), (Capability{.id = u"mode"_s,
                                                           .kind = K::enumeration,
                                                           .title = u"mode"_s,
                                                           .getable = true,
                                                           .options = {{u"a"_s, u"a"_s}, {u"b"_s, u"Bee"_s}},
                                                           .value = CapabilityValue::fromString(u"b"_s)}));
        QCOMPARE(d.capabilities.at(u"onoff"_s).kind, K::boolean);
        QVERIFY(!d.capabilities.at(u"huge"_s).decimals);
    }

    // The role looks at the capability map, not at the capabilities list.
    void energyRole()
    {
        const QList<std::tuple<const char *, const char *, QString, std::optional<double>>> cases{
            {"{'measure_power':{}}", ",'energyObj':{'W':12.5}", QString(), 12.5},
            {"{'measure_power':{}}", ",'energyObj':{'W':12.5,'cumulative':true}", u"gridMeter"_s, 12.5},
            {"{'measure_power':{}}", ",'energyObj':{'cumulative':true,'generator':true}", u"generator"_s, {}},
            {"{'onoff':{}}", ",'energyObj':{'W':12.5,'generator':true}", QString(), 12.5},
            {"{'measure_power':{}}", ",'energyObj':{'cumulative':false,'generator':false}", QString(), {}},
            {"{'measure_power':{}}", "", QString(), {}}};
        for (const auto &[capabilities, energyObj, role, watts] : cases) {
            const Device d =
                device((",'capabilities':['measure_power'],'capabilitiesObj':"_ba + capabilities + energyObj)
                           .constData());
            QCOMPARE(d.energyRole ? d.energyRole->raw() : QString(), role);
            QCOMPARE(d.energyW, watts);
        }
    }

    void zoneAndNotification()
    {
        QCOMPARE(decodeJson<RawZone>(js("{'id':'z','name':'Hal','activeLastUpdated':'gisteren'}")).toZone(),
                 (Zone{.id = u"z"_s, .name = u"Hal"_s, .icon = u"default"_s}));
        QCOMPARE(decodeJson<RawZone>(js("{'id':'z','name':'Hal','parent':'p','icon':'kitchen','active':true,"
                                        "'activeLastUpdated':'2024-05-01T12:00:00+02:00'}"))
                     .toZone(),
                 (Zone{u"z"_s, u"Hal"_s, u"p"_s, u"kitchen"_s, true, utc(2024, 5, 1, 10, 0, 0)}));

        QCOMPARE(decodeJson<RawTimelineItem>(js("{'id':'n','dateCreated':'1714557600000'}")).toNotification(),
                 (RawNotification{.id = u"n"_s}));
        QCOMPARE(
            decodeJson<RawTimelineItem>(js("{'id':'n','ownerUri':'homey:manager:flow','ownerName':'Flows',"
                                           "'excerpt':'**Hoi**','dateCreated':'2024-05-01T10:00:00.123Z'}"))
                .toNotification(),
            (RawNotification{u"n"_s, u"homey:manager:flow"_s, u"Flows"_s, u"**Hoi**"_s,
                             utc(2024, 5, 1, 10, 0, 0, 123)}));
    }

    void date_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime tenZ = utc(2024, 5, 1, 10, 0, 0);
        dateRow("2024-05-01T10:00:00.123Z", utc(2024, 5, 1, 10, 0, 0, 123));
        dateRow("2024-05-01T10:00:00.5Z", utc(2024, 5, 1, 10, 0, 0, 500));
        dateRow("2024-05-01T10:00:00.123456789Z", utc(2024, 5, 1, 10, 0, 0, 123));
        dateRow("2024-05-01T10:00:00.1234567890Z");
        dateRow("2024-05-01T10:00:00.250", utc(2024, 5, 1, 10, 0, 0, 250));
        dateRow("2024-05-01T12:00:00.123+02:00", utc(2024, 5, 1, 10, 0, 0, 123));
        dateRow("2024-05-01T12:00:00.123+0200", utc(2024, 5, 1, 10, 0, 0, 123));
        dateRow("2024-05-01T05:30:00.0-04:30", tenZ);
        dateRow("2024-05-01T10:00:00Z", tenZ);
        dateRow("2024-05-01T12:00:00+02:00", tenZ);
        dateRow("2024-05-01T12:00:00+0200", tenZ);
        dateRow("2024-05-01T01:00:00+03:00", utc(2024, 4, 30, 22, 0, 0));
        dateRow("2024-02-29T00:00:00Z", utc(2024, 2, 29, 0, 0, 0));
        for (const char *none :
             {"2024-05-01T10:00:00", "2024-05-01", "1714557600000", "", "2024-05-01 10:00:00Z",
              "2024-02-30T10:00:00Z", "2024-05-01T24:00:00Z", "2024-05-01T10:00:00Zx",
              "2024-05-01T10:00:00.Z", "2024-05-01T10:00:0\u0661Z"})
            dateRow(none);
    }
    void date()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> parsed = HomeyDate::parse(text);
        QCOMPARE(parsed.has_value(), expected.isValid());
        if (parsed) {
            QCOMPARE(parsed->toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
            QCOMPARE(parsed->timeSpec(), Qt::UTC);
        }
    }

    // A large answer shares the QStrings of its repeated texts: each text still reads as itself, keys
    // and values alike, whatever its length, script or hash slot.
    void largeDocumentsReadEveryTextAsItself()
    {
        const QStringList texts{u"onoff"_s,
                                u"dim"_s,
                                u"Wärme"_s,
                                u"€"_s,
                                QString(32, u'a'),
                                QString(33, u'a'),
                                QString(32, u'b'),
                                u""_s,
                                u"measure_power.net"_s};
        QJsonObject capabilities;
        for (int i = 0; i < 2000; ++i) {
            const QString key = u"k%1"_s.arg(i % 250);
            capabilities[key + u'.' + QString::number(i)] =
                QJsonObject{{u"id"_s, texts.at(i % texts.size())},
                            {u"title"_s, texts.at((i * 7) % texts.size()) + QString::number(i % 3)},
                            {u"units"_s, key}};
        }
        const QByteArray json = QJsonDocument(capabilities).toJson(QJsonDocument::Compact);
        QVERIFY(json.size() > 64 * 1024);
        const auto decoded = decodeJson<std::map<QString, RawCapability>>(json);
        QCOMPARE(decoded.size(), size_t(capabilities.size()));
        for (const auto &[key, capability] : decoded) {
            const QJsonObject expected = capabilities.value(key).toObject();
            QVERIFY2(!expected.isEmpty(), qPrintable(key));
            QCOMPARE(capability.id, expected.value(u"id"_s).toString());
            QCOMPARE(capability.title, expected.value(u"title"_s).toString());
            QCOMPARE(capability.units, expected.value(u"units"_s).toString());
        }
    }

    // A time stamp of any JSON type reads, as a date or as none.
    void timestamp()
    {
        const QList<std::pair<const char *, QDateTime>> cases{
            {"250", utc(1970, 1, 1, 0, 0, 0, 250)},
            {"-1000", utc(1969, 12, 31, 23, 59, 59)},
            {"'2024-05-01T10:00:00.123Z'", utc(2024, 5, 1, 10, 0, 0, 123)},
            {"'gisteren'", {}},
            // What follows the fraction is not read: not when it is no ASCII, nor when it is long.
            {"'2024-05-01T10:00:00.5Zé'", utc(2024, 5, 1, 10, 0, 0, 500)},
            {"'2024-05-01T10:00:00.5Z                                                  x'",
             utc(2024, 5, 1, 10, 0, 0, 500)},
            {"true", {}},
            {"{}", {}},
            {"[1]", {}},
            {"null", {}},
            {"1e300", {}}};
        for (const auto &[json, expected] : cases) {
            const HomeyTimestamp stamp = decodeJson<QList<HomeyTimestamp>>('[' + js(json) + ']').at(0);
            QCOMPARE(stamp.date.has_value(), expected.isValid());
            if (stamp.date)
                QCOMPARE(*stamp.date, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
