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

// Every record the hub's documents and socket payloads are read into, by name.
const std::map<QString, std::function<QString(const QByteArray &)>> &decoders()
{
    static const std::map<QString, std::function<QString(const QByteArray &)>> table{
        {u"zone"_s, failureOf<RawZone>},
        {u"device"_s, failureOf<RawDevice>},
        {u"flow"_s, failureOf<RawFlow>},
        {u"mood"_s, failureOf<RawMood>},
        {u"timeline"_s, failureOf<RawTimelineItem>},
        {u"user"_s, failureOf<RawUser>},
        {u"energy"_s, failureOf<RawEnergyLive>},
        {u"system"_s, failureOf<RawSystem>},
        {u"event"_s, failureOf<RawCapabilityEvent>},
    };
    return table;
}

const QByteArray cpu = js("{'times':{'user':1,'nice':2,'sys':3,'idle':4,'irq':5}}");

} // namespace

class TestWireDecoding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // An empty failure means the record decodes.
    void records_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("failure");

        QTest::newRow("zone minimal")
            << u"zone"_s << QByteArray(js("{'id':'z','name':'Keuken'}")) << QString();
        QTest::newRow("zone without name") << u"zone"_s << QByteArray(js("{'id':'z'}")) << u"name: missing"_s;
        QTest::newRow("zone name null")
            << u"zone"_s << QByteArray(js("{'id':'z','name':null}")) << u"name: expected text, found null"_s;
        QTest::newRow("zone optional null")
            << u"zone"_s << QByteArray(js("{'id':'z','name':'K','parent':null,'icon':null}")) << QString();
        QTest::newRow("zone active as text")
            << u"zone"_s << QByteArray(js("{'id':'z','name':'K','active':'true'}"))
            << u"active: expected Bool, found text"_s;
        QTest::newRow("zone is a list") << u"zone"_s << QByteArray("[]") << u"expected object, found list"_s;

        QTest::newRow("device with unknown keys")
            << u"device"_s << QByteArray(js("{'id':'d','name':'Lamp','driverId':'x','settings':{'a':[1]}}"))
            << QString();
        QTest::newRow("device available as 1")
            << u"device"_s << QByteArray(js("{'id':'d','name':'Lamp','available':1}"))
            << u"available: expected Bool, found number"_s;
        QTest::newRow("capability min as text")
            << u"device"_s << QByteArray(js("{'id':'d','name':'L','capabilitiesObj':{'dim':{'min':'0'}}}"))
            << u"capabilitiesObj.dim.min: expected number, found text"_s;
        QTest::newRow("capability decimals fraction")
            << u"device"_s
            << QByteArray(js("{'id':'d','name':'L','capabilitiesObj':{'dim':{'decimals':1.5}}}"))
            << u"capabilitiesObj.dim.decimals: expected integer, found 1.5"_s;
        QTest::newRow("capability decimals integral float")
            << u"device"_s
            << QByteArray(js("{'id':'d','name':'L','capabilitiesObj':{'dim':{'decimals':2.0}}}"))
            << QString();
        QTest::newRow("capability values not a list")
            << u"device"_s << QByteArray(js("{'id':'d','name':'L','capabilitiesObj':{'m':{'values':{}}}}"))
            << u"capabilitiesObj.m.values: expected list, found object"_s;
        QTest::newRow("capability option title number")
            << u"device"_s
            << QByteArray(
                   js("{'id':'d','name':'L','capabilitiesObj':{'m':{'values':[{'id':'a'},{'title':3}]}}}"))
            << u"capabilitiesObj.m.values[1].title: expected text, found number"_s;
        QTest::newRow("capability value and stamp of any type")
            << u"device"_s
            << QByteArray(
                   js("{'id':'d','name':'L','capabilitiesObj':{'x':{'value':{'a':1},'lastUpdated':true}}}"))
            << QString();
        QTest::newRow("capability not an object")
            << u"device"_s << QByteArray(js("{'id':'d','name':'L','capabilitiesObj':{'x':5}}"))
            << u"capabilitiesObj.x: expected object, found number"_s;
        QTest::newRow("capability list element number")
            << u"device"_s << QByteArray(js("{'id':'d','name':'L','capabilities':['onoff',7]}"))
            << u"capabilities[1]: expected text, found number"_s;
        QTest::newRow("component numeric id")
            << u"device"_s
            << QByteArray(js("{'id':'d','name':'L','ui':{'components':[{'id':'a'},{'id':4}]}}"))
            << u"ui.components[1].id: expected text, found number"_s;
        QTest::newRow("component without id")
            << u"device"_s
            << QByteArray(js("{'id':'d','name':'L','ui':{'components':[{'capabilities':[]}]}}")) << QString();
        QTest::newRow("component capabilities malformed")
            << u"device"_s
            << QByteArray(js("{'id':'d','name':'L','ui':{'components':[{'id':'a','capabilities':[true]}]}}"))
            << u"ui.components[0].capabilities[0]: expected text, found Bool"_s;
        QTest::newRow("energyObj W as text")
            << u"device"_s << QByteArray(js("{'id':'d','name':'L','energyObj':{'W':'12'}}"))
            << u"energyObj.W: expected number, found text"_s;

        QTest::newRow("flow enabled as text")
            << u"flow"_s << QByteArray(js("{'id':'f','name':'F','enabled':'yes'}"))
            << u"enabled: expected Bool, found text"_s;
        QTest::newRow("mood zone number") << u"mood"_s << QByteArray(js("{'id':'m','name':'M','zone':1}"))
                                          << u"zone: expected text, found number"_s;
        QTest::newRow("timeline stamp as number")
            << u"timeline"_s << QByteArray(js("{'id':'n','dateCreated':1714557600000}"))
            << u"dateCreated: expected text, found number"_s;
        QTest::newRow("user without id") << u"user"_s << QByteArray(js("{'name':'Ann'}")) << u"id: missing"_s;
        QTest::newRow("user favourite not text")
            << u"user"_s << QByteArray(js("{'id':'u','properties':{'favoriteFlows':['a',null]}}"))
            << u"properties.favoriteFlows[1]: expected text, found null"_s;
        QTest::newRow("energy item type number")
            << u"energy"_s << QByteArray(js("{'items':[{'type':'cumulative'},{'type':2}]}"))
            << u"items[1].type: expected text, found number"_s;
        QTest::newRow("energy empty") << u"energy"_s << QByteArray("{}") << QString();

        QTest::newRow("system without cpus")
            << u"system"_s << QByteArray(js("{'totalmem':10,'freemem':4}")) << QString();
        QTest::newRow("system without freemem")
            << u"system"_s << QByteArray(js("{'totalmem':10}")) << u"freemem: missing"_s;
        QTest::newRow("system memory fraction")
            << u"system"_s << QByteArray(js("{'totalmem':10.5,'freemem':4}"))
            << u"totalmem: expected integer, found 10.5"_s;
        QTest::newRow("system memory beyond 64 bits")
            << u"system"_s << QByteArray(js("{'totalmem':1e20,'freemem':4}"))
            << u"totalmem: expected integer, found 1e+20"_s;
        QTest::newRow("system cpu counter missing")
            << u"system"_s
            << QByteArray(js("{'totalmem':1,'freemem':0,'cpus':[") + cpu + js(",{'times':{'user':1}}]}"))
            << u"cpus[1].times.nice: missing"_s;
        QTest::newRow("system cpu counter text")
            << u"system"_s
            << QByteArray(js("{'totalmem':1,'freemem':0,'cpus':[{'times':{'user':'1','nice':0,'sys':0,'idle':"
                             "0,'irq':0}}]}"))
            << u"cpus[0].times.user: expected integer, found text"_s;

        QTest::newRow("event minimal")
            << u"event"_s << QByteArray(js("{'capabilityId':'onoff'}")) << QString();
        QTest::newRow("event value null")
            << u"event"_s << QByteArray(js("{'capabilityId':'onoff','value':null}")) << QString();
        QTest::newRow("event without capability")
            << u"event"_s << QByteArray(js("{'value':true}")) << u"capabilityId: missing"_s;
        QTest::newRow("event transaction number")
            << u"event"_s << QByteArray(js("{'capabilityId':'onoff','transactionId':5}"))
            << u"transactionId: expected text, found number"_s;
        QTest::newRow("event time as text")
            << u"event"_s << QByteArray(js("{'capabilityId':'onoff','transactionTime':'5'}"))
            << u"transactionTime: expected number, found text"_s;

        QTest::newRow("not JSON") << u"zone"_s << QByteArray(js("{'id':")) << u"no valid JSON"_s;
    }

    void records()
    {
        QFETCH(QString, record);
        QFETCH(QByteArray, json);
        QFETCH(QString, failure);
        const QString actual = decoders().at(record)(json);
        if (failure.startsWith(u"no valid JSON"))
            QVERIFY2(actual.startsWith(failure), qPrintable(actual));
        else
            QCOMPARE(actual, failure);
    }

    void capabilityValueAbsentNoneAndPresent()
    {
        const auto device = decodeJson<RawDevice>(
            js("{'id':'d','name':'L','capabilitiesObj':{'a':{'value':{'x':1}},'b':{'value':null},'c':{},"
               "'d':{'value':21.5},'e':{'value':'on'},'f':{'value':false}}}"));
        const auto &caps = *device.capabilitiesObj;
        QCOMPARE(caps.at(u"a"_s).value, CapabilityValue::none());
        QVERIFY(!caps.at(u"b"_s).value);
        QVERIFY(!caps.at(u"c"_s).value);
        QCOMPARE(caps.at(u"d"_s).value, CapabilityValue::fromNumber(21.5));
        QCOMPARE(caps.at(u"e"_s).value, CapabilityValue::fromString(u"on"_s));
        QCOMPARE(caps.at(u"f"_s).value, CapabilityValue::fromBool(false));

        const auto event = decodeJson<RawCapabilityEvent>(js("{'capabilityId':'dim','value':[1]}"));
        QCOMPARE(event.value, CapabilityValue::none());
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
               "'e':{'id':'e','name':'Hal','parent':7}}"));
        QCOMPARE(members.size(), size_t(5));
        QCOMPARE(members.at(u"a"_s).value->name, u"Keuken"_s);
        QVERIFY(!members.at(u"a"_s).failure);
        QCOMPARE(members.at(u"b"_s).failure, u"expected object, found null"_s);
        QCOMPARE(members.at(u"c"_s).failure, u"expected object, found text"_s);
        QCOMPARE(members.at(u"d"_s).failure, u"name: missing"_s);
        QCOMPARE(members.at(u"e"_s).failure, u"parent: expected text, found number"_s);
        for (const auto &[key, member] : members)
            QVERIFY(member.value.has_value() != member.failure.has_value());

        // A device with one bad capability is lost whole.
        const auto devices = decodeJson<std::map<QString, Lenient<RawDevice>>>(
            js("{'d':{'id':'d','name':'L','capabilitiesObj':{'onoff':{},'dim':{'min':'0'}}}}"));
        QCOMPARE(devices.at(u"d"_s).failure, u"capabilitiesObj.dim.min: expected number, found text"_s);
    }

    void collectionMustBeObject()
    {
        using Collection = std::map<QString, Lenient<RawZone>>;
        QCOMPARE(failureOf<Collection>("[]"), u"expected object, found list"_s);
        QCOMPARE(failureOf<Collection>("{}"), QString());
    }
};

QTEST_GUILESS_MAIN(TestWireDecoding)
#include "tst_wiredecoding.moc"
