#include "homey/wire/homeydate.h"
#include "homey/wire/homeytimestamp.h"
#include "homey/wire/rawdevice.h"
#include "homey/wire/rawtimelineitem.h"
#include "homey/wire/rawzone.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, so that no raw string literal is needed: moc does not read those.
QByteArray js(const char *text)
{
    return QByteArray(text).replace('\'', '"');
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

class TestWireConversion : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
        QFETCH(QStringList, order);
        const Device d = device(members.constData());
        QCOMPARE(d.capabilityOrder, order);
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

    // A time stamp of any JSON type reads, as a date or as none.
    void timestamp()
    {
        const QList<std::pair<const char *, QDateTime>> cases{
            {"250", utc(1970, 1, 1, 0, 0, 0, 250)},
            {"-1000", utc(1969, 12, 31, 23, 59, 59)},
            {"'2024-05-01T10:00:00.123Z'", utc(2024, 5, 1, 10, 0, 0, 123)},
            {"'gisteren'", {}},
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

QTEST_GUILESS_MAIN(TestWireConversion)
#include "tst_wireconversion.moc"
