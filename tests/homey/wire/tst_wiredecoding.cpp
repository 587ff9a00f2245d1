#include "homey/wire/jsonrepair.h"
#include "homey/wire/lenient.h"
#include "homey/wire/rawcapabilityevent.h"
#include "homey/wire/rawdevice.h"
#include "homey/wire/rawenergylive.h"
#include "homey/wire/rawflow.h"
#include "homey/wire/rawmood.h"
#include "homey/wire/rawsystem.h"
#include "homey/wire/rawtimelineitem.h"
#include "homey/wire/rawuser.h"
#include "homey/wire/rawzone.h"

#include <functional>
#include <map>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<CapabilityValue>)

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

// Every record the hub's documents and socket payloads are read into, by name.
const std::map<QString, std::function<QString(const QByteArray &)>> decoders{
    {u"zone"_s, failureOf<RawZone>},     {u"device"_s, failureOf<RawDevice>},
    {u"flow"_s, failureOf<RawFlow>},     {u"mood"_s, failureOf<RawMood>},
    {u"timeline"_s, failureOf<RawTimelineItem>}, {u"user"_s, failureOf<RawUser>},
    {u"energy"_s, failureOf<RawEnergyLive>},     {u"system"_s, failureOf<RawSystem>},
    {u"event"_s, failureOf<RawCapabilityEvent>},
};

// An empty failure means the record decodes.
void row(const char *name, const char *record, const char *json, const char *failure = "")
{
    QTest::newRow(name) << QString::fromLatin1(record) << js(json) << QString::fromUtf8(failure);
}

} // namespace

class TestWireDecoding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void records_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("failure");

        row("zone minimal", "zone", "{'id':'z','name':'Keuken'}");
        row("zone without name", "zone", "{'id':'z'}", "name: missing");
        row("zone name null", "zone", "{'id':'z','name':null}", "name: expected text, found null");
        row("zone optional null", "zone", "{'id':'z','name':'K','parent':null,'icon':null}");
        row("zone active as text", "zone", "{'id':'z','name':'K','active':'true'}",
            "active: expected Bool, found text");
        row("zone is a list", "zone", "[]", "expected object, found list");
        // A repeated key: the last one counts.
        row("zone name repeated, last bad", "zone", "{'id':'z','name':'K','name':3}",
            "name: expected text, found number");
        row("zone name repeated, last good", "zone", "{'id':'z','name':3,'name':'K'}");

        row("device with unknown keys", "device", "{'id':'d','name':'Lamp','driverId':'x','settings':{'a':[1]}}");
        row("device available as 1", "device", "{'id':'d','name':'Lamp','available':1}",
            "available: expected Bool, found number");
        row("capability min as text", "device", "{'id':'d','name':'L','capabilitiesObj':{'dim':{'min':'0'}}}",
            "capabilitiesObj.dim.min: expected number, found text");
        row("capability decimals fraction", "device",
            "{'id':'d','name':'L','capabilitiesObj':{'dim':{'decimals':1.5}}}",
            "capabilitiesObj.dim.decimals: expected integer, found 1.5");
        row("capability decimals integral float", "device",
            "{'id':'d','name':'L','capabilitiesObj':{'dim':{'decimals':2.0}}}");
        row("capability values not a list", "device", "{'id':'d','name':'L','capabilitiesObj':{'m':{'values':{}}}}",
            "capabilitiesObj.m.values: expected list, found object");
        row("capability option title number", "device",
            "{'id':'d','name':'L','capabilitiesObj':{'m':{'values':[{'id':'a'},{'title':3}]}}}",
            "capabilitiesObj.m.values[1].title: expected text, found number");
        row("capability value and stamp of any type", "device",
            "{'id':'d','name':'L','capabilitiesObj':{'x':{'value':{'a':1},'lastUpdated':true}}}");
        row("capability not an object", "device", "{'id':'d','name':'L','capabilitiesObj':{'x':5}}",
            "capabilitiesObj.x: expected object, found number");
        row("capability list element number", "device", "{'id':'d','name':'L','capabilities':['onoff',7]}",
            "capabilities[1]: expected text, found number");
        row("component numeric id", "device", "{'id':'d','name':'L','ui':{'components':[{'id':'a'},{'id':4}]}}",
            "ui.components[1].id: expected text, found number");
        row("component without id", "device", "{'id':'d','name':'L','ui':{'components':[{'capabilities':[]}]}}");
        row("component capabilities malformed", "device",
            "{'id':'d','name':'L','ui':{'components':[{'id':'a','capabilities':[true]}]}}",
            "ui.components[0].capabilities[0]: expected text, found Bool");
        row("energyObj W as text", "device", "{'id':'d','name':'L','energyObj':{'W':'12'}}",
            "energyObj.W: expected number, found text");

        row("flow enabled as text", "flow", "{'id':'f','name':'F','enabled':'yes'}",
            "enabled: expected Bool, found text");
        row("mood zone number", "mood", "{'id':'m','name':'M','zone':1}", "zone: expected text, found number");
        row("timeline stamp as number", "timeline", "{'id':'n','dateCreated':1714557600000}",
            "dateCreated: expected text, found number");
        row("user without id", "user", "{'name':'Ann'}", "id: missing");
        row("user favourite not text", "user", "{'id':'u','properties':{'favoriteFlows':['a',null]}}",
            "properties.favoriteFlows[1]: expected text, found null");
        row("energy item type number", "energy", "{'items':[{'type':'cumulative'},{'type':2}]}",
            "items[1].type: expected text, found number");
        row("energy empty", "energy", "{}");

        row("system without cpus", "system", "{'totalmem':10,'freemem':4}");
        row("system without freemem", "system", "{'totalmem':10}", "freemem: missing");
        row("system memory beyond 64 bits", "system", "{'totalmem':100000000000000000000,'freemem':4}",
            "totalmem: expected integer, found 1e+20");
        row("system memory beyond int64", "system", "{'totalmem':18446744073709551615,'freemem':4}",
            "totalmem: expected integer, found 1.8446744073709552e+19");
        row("system cpu counter missing", "system",
            "{'totalmem':1,'freemem':0,'cpus':[{'times':{'user':1,'nice':2,'sys':3,'idle':4,'irq':5}},"
            "{'times':{'user':1}}]}",
            "cpus[1].times.nice: missing");
        row("system cpu counter text", "system",
            "{'totalmem':1,'freemem':0,'cpus':[{'times':{'user':'1','nice':0,'sys':0,'idle':0,'irq':0}}]}",
            "cpus[0].times.user: expected integer, found text");

        row("event minimal", "event", "{'capabilityId':'onoff'}");
        row("event value null", "event", "{'capabilityId':'onoff','value':null}");
        row("event without capability", "event", "{'value':true}", "capabilityId: missing");
        row("event transaction number", "event", "{'capabilityId':'onoff','transactionId':5}",
            "transactionId: expected text, found number");
        row("event time as text", "event", "{'capabilityId':'onoff','transactionTime':'5'}",
            "transactionTime: expected number, found text");

        row("not JSON", "zone", "{'id':", "no valid JSON (unterminated object at byte 6)");
        row("a bare value is no document", "zone", "5", "no valid JSON (illegal value at byte 1)");
        row("empty", "zone", "", "no valid JSON (illegal value at byte 0)");
    }

    void records()
    {
        QFETCH(QString, record);
        QFETCH(QByteArray, json);
        QFETCH(QString, failure);
        QCOMPARE(decoders.at(record)(json), failure);
    }

    void capabilityValue_data()
    {
        QTest::addColumn<QByteArray>("json"); // empty: no value member
        QTest::addColumn<std::optional<CapabilityValue>>("expected");
        QTest::addColumn<bool>("roundTrips");
        const auto row = [](const char *json, std::optional<CapabilityValue> expected, bool roundTrips = true) {
            QTest::newRow(*json ? json : "absent") << js(json) << expected << roundTrips;
        };
        row("true", CapabilityValue::fromBool(true));
        row("false", CapabilityValue::fromBool(false));
        row("0", CapabilityValue::fromNumber(0));
        row("1.0", CapabilityValue::fromNumber(1));
        row("-3e2", CapabilityValue::fromNumber(-300));
        row("'50'", CapabilityValue::fromString(u"50"_s));
        row("{'a':1}", CapabilityValue::none(), false);
        row("[true]", CapabilityValue::none(), false);
        row("null", std::nullopt);
        row("", std::nullopt);
    }

    void capabilityValue()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<CapabilityValue>, expected);
        QFETCH(bool, roundTrips);
        const QByteArray member = json.isEmpty() ? QByteArray() : ",\"value\":" + json;
        const auto decoded = decodeJson<RawCapability>("{\"id\":\"x\"" + member + "}").value;
        QCOMPARE(decoded, expected);
        if (decoded && roundTrips)
            QCOMPARE(decoded->toJson(), QJsonDocument::fromJson("[" + json + "]").array().at(0));
        else if (decoded)
            QVERIFY(decoded->toJson().isNull());
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
        QCOMPARE((failureOf<std::map<QString, Lenient<RawZone>>>("[]")), u"expected object, found list"_s);
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
        row("long fractions, exponents and texts", "[1.100000000000000000000,2e100000000000000000000,"
            "\"100000000000000000000\"]", "");
    }

    void repair()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, repaired);
        QCOMPARE(JsonRepair::repaired(json).value_or(QByteArray()), repaired);
    }

    // What the hub's JavaScript may write and strict JSON refuses costs nothing else of an answer.
    void javaScriptLeniency()
    {
        const auto devices = decodeJson<std::map<QString, Lenient<RawDevice>>>(
            js("{'a':{'id':'a','name':'Lamp \\ud83d','capabilitiesObj':{'p':{'value':100000000000000000000}}},"
               "'b':{'id':'b','name':'\\ud83d\\udca1'}}"));
        QCOMPARE(devices.at(u"a"_s).value->name, u"Lamp \ufffd"_s);
        QCOMPARE(devices.at(u"a"_s).value->capabilitiesObj->at(u"p"_s).value, CapabilityValue::fromNumber(1e20));
        QCOMPARE(devices.at(u"b"_s).value->name, u"\U0001F4A1"_s);
    }
};

QTEST_GUILESS_MAIN(TestWireDecoding)
#include "tst_wiredecoding.moc"
