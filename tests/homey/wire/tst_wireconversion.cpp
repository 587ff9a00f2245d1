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

QDateTime utc(int h, int mi, int s, int ms)
{
    return QDateTime(QDate(2024, 5, 1), QTime(h, mi, s, ms), Qt::UTC);
}

} // namespace

class TestWireConversion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void capabilityOrder_data()
    {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("keys");
        const QStringList sorted{u"dim"_s, u"onoff"_s};
        QTest::newRow("empty list sorts the map keys")
            << js(",'capabilities':[],'capabilitiesObj':{'onoff':{},'dim':{}}") << sorted << sorted;
        QTest::newRow("absent list sorts the map keys") << js(",'capabilitiesObj':{'onoff':{},'dim':{}}") << sorted
                                                        << sorted;
        QTest::newRow("list kept as sent")
            << js(",'capabilities':['onoff','dim','onoff'],'capabilitiesObj':{'onoff':{},'alarm':{}}")
            << QStringList{u"onoff"_s, u"dim"_s, u"onoff"_s} << QStringList{u"alarm"_s, u"onoff"_s};
        const QStringList byCodePoint{u"Z"_s, u"a"_s, u"b"_s, u"é"_s};
        QTest::newRow("capitals first, no locale")
            << js(",'capabilitiesObj':{'b':{},'a':{},'Z':{},'é':{}}") << byCodePoint << byCodePoint;
        // U+FFFD sorts before U+1F4A1 by code point, though its UTF-16 unit is larger.
        QTest::newRow("code points beyond the BMP")
            << js(",'capabilitiesObj':{'\\ud83d\\udca1':{},'\\ufffd':{}}") << QStringList{u"\ufffd"_s, u"\U0001F4A1"_s}
            << QStringList{u"\U0001F4A1"_s, u"\ufffd"_s};
        QTest::newRow("nothing") << QByteArray() << QStringList() << QStringList();
    }

    void capabilityOrder()
    {
        QFETCH(QByteArray, members);
        QFETCH(QStringList, order);
        QFETCH(QStringList, keys);
        const Device d = device(members.constData());
        QCOMPARE(d.capabilityOrder, order);
        QStringList actualKeys;
        for (const auto &entry : d.capabilities)
            actualKeys.append(entry.first);
        QCOMPARE(actualKeys, keys);
    }

    void deviceDefaults()
    {
        const Device bare = decodeJson<RawDevice>(js("{'id':' d ','name':' Lamp '}")).toDevice();
        QCOMPARE(bare.id, u" d "_s);
        QCOMPARE(bare.name, u" Lamp "_s);
        QCOMPARE(bare.zoneID, QString());
        QCOMPARE(bare.deviceClass, u"other"_s);
        QVERIFY(bare.available && bare.ready);
        QVERIFY(!bare.unavailableMessage && !bare.uiQuickAction && !bare.energyW && !bare.energyRole && !bare.color);
        QVERIFY(bare.uiComponents.isEmpty());

        const Device full = device(",'zone':'z','class':'socket','virtualClass':'light','available':false,"
                                   "'ready':false,'unavailableMessage':'weg','color':'#fff','ui':{'quickAction':"
                                   "'onoff','components':[{'id':'toggle'},{'capabilities':['x']},{'id':'slider'}]}");
        QCOMPARE(full.zoneID, u"z"_s);
        QCOMPARE(full.deviceClass, u"light"_s);
        QVERIFY(!full.available && !full.ready);
        QCOMPARE(full.unavailableMessage, u"weg"_s);
        QCOMPARE(full.color, u"#fff"_s);
        QCOMPARE(full.uiQuickAction, u"onoff"_s);
        QCOMPARE(full.uiComponents, (QStringList{u"toggle"_s, u"slider"_s}));
        QCOMPARE(device(",'class':'socket'").deviceClass, u"socket"_s);
    }

    void capabilityFields()
    {
        const Device d = device(
            ",'capabilitiesObj':{'measure_power':{'id':'other','type':'Boolean'},"
            "'dim':{'type':'number','title':'Dimmen','getable':false,'setable':true,'min':0,'max':1,'step':0.01,"
            "'units':'%','decimals':2,'value':0.5,'lastUpdated':250},"
            "'mode':{'type':'enum','values':[{'id':'a'},{'title':'geen id'},{'id':'b','title':'Bee'}],"
            "'value':'b','lastUpdated':'gisteren'},'onoff':{'type':'boolean'},'huge':{'decimals':99999999999}}");
        const Capability &power = d.capabilities.at(u"measure_power"_s);
        QCOMPARE(power.id, u"measure_power"_s);
        QCOMPARE(power.kind, Capability::Kind::string);
        QCOMPARE(power.title, u"measure_power"_s);
        QVERIFY(power.getable && !power.setable);
        QVERIFY(!power.value && !power.lastUpdated && !power.min && !power.units && !power.decimals);

        const Capability &dim = d.capabilities.at(u"dim"_s);
        QCOMPARE(dim.kind, Capability::Kind::number);
        QCOMPARE(dim.title, u"Dimmen"_s);
        QVERIFY(!dim.getable && dim.setable);
        QCOMPARE(dim.min, 0.0);
        QCOMPARE(dim.max, 1.0);
        QCOMPARE(dim.step, 0.01);
        QCOMPARE(dim.units, u"%"_s);
        QCOMPARE(dim.decimals, 2);
        QCOMPARE(dim.value, CapabilityValue::fromNumber(0.5));
        QCOMPARE(dim.lastUpdated, QDateTime::fromMSecsSinceEpoch(250, Qt::UTC));

        const Capability &mode = d.capabilities.at(u"mode"_s);
        QCOMPARE(mode.kind, Capability::Kind::enumeration);
        QCOMPARE(mode.options, (QList<Capability::Option>{{u"a"_s, u"a"_s}, {u"b"_s, u"Bee"_s}}));
        QVERIFY(!mode.lastUpdated);
        QCOMPARE(d.capabilities.at(u"onoff"_s).kind, Capability::Kind::boolean);
        QVERIFY(!d.capabilities.at(u"huge"_s).decimals);
    }

    void energyRole_data()
    {
        QTest::addColumn<QByteArray>("energyObj");
        QTest::addColumn<bool>("power");
        QTest::addColumn<QString>("role"); // empty: none
        QTest::addColumn<double>("watts"); // -1: none
        QTest::newRow("W only") << js("{'W':12.5}") << true << QString() << 12.5;
        QTest::newRow("grid meter") << js("{'W':12.5,'cumulative':true}") << true << u"gridMeter"_s << 12.5;
        QTest::newRow("generator wins") << js("{'W':12.5,'cumulative':true,'generator':true}") << true
                                        << u"generator"_s << 12.5;
        QTest::newRow("no power capability") << js("{'W':12.5,'generator':true}") << false << QString() << 12.5;
        QTest::newRow("both false") << js("{'cumulative':false,'generator':false}") << true << QString() << -1.0;
        QTest::newRow("no energyObj") << QByteArray() << true << QString() << -1.0;
    }

    void energyRole()
    {
        QFETCH(QByteArray, energyObj);
        QFETCH(bool, power);
        QFETCH(QString, role);
        QFETCH(double, watts);
        // The role looks at the map, not at the capabilities list.
        QByteArray members = js(",'capabilities':['measure_power'],'capabilitiesObj':");
        members += power ? js("{'measure_power':{'value':3}}") : js("{'onoff':{}}");
        if (!energyObj.isEmpty())
            members += js(",'energyObj':") + energyObj;
        const Device d = device(members.constData());
        QCOMPARE(d.energyRole ? d.energyRole->raw() : QString(), role);
        QCOMPARE(d.energyW.value_or(-1), watts);
    }

    void zone()
    {
        const Zone bare = decodeJson<RawZone>(js("{'id':'z','name':'Hal','activeLastUpdated':'gisteren'}")).toZone();
        QCOMPARE(bare.icon, u"default"_s);
        QVERIFY(!bare.active && !bare.parentID && !bare.activeLastUpdated);

        const Zone full = decodeJson<RawZone>(js("{'id':'z','name':'Hal','parent':'p','icon':'kitchen','active':true,"
                                                 "'activeLastUpdated':'2024-05-01T12:00:00+02:00'}"))
                              .toZone();
        QCOMPARE(full.parentID, u"p"_s);
        QCOMPARE(full.icon, u"kitchen"_s);
        QVERIFY(full.active);
        QCOMPARE(full.activeLastUpdated, utc(10, 0, 0, 0));
    }

    void notification()
    {
        const RawNotification bare =
            decodeJson<RawTimelineItem>(js("{'id':'n','dateCreated':'1714557600000'}")).toNotification();
        QCOMPARE(bare.id, u"n"_s);
        QCOMPARE(bare.ownerUri, QString());
        QCOMPARE(bare.excerpt, QString());
        QVERIFY(!bare.ownerName && !bare.date);

        const RawNotification full =
            decodeJson<RawTimelineItem>(js("{'id':'n','ownerUri':'homey:manager:flow','ownerName':'Flows',"
                                           "'excerpt':'**Hoi**','dateCreated':'2024-05-01T10:00:00.123Z'}"))
                .toNotification();
        QCOMPARE(full.ownerUri, u"homey:manager:flow"_s);
        QCOMPARE(full.ownerName, u"Flows"_s);
        QCOMPARE(full.excerpt, u"**Hoi**"_s);
        QCOMPARE(full.date, utc(10, 0, 0, 123));
    }
};

QTEST_GUILESS_MAIN(TestWireConversion)
#include "tst_wireconversion.moc"
