#include "store/notifications/p2000.h"

#include <cmath>
#include <limits>
#include <QTest>

using namespace Qt::StringLiterals;

using OptText = std::optional<QString>;
using Fields = QList<std::pair<QString, CapabilityValue>>;

namespace {

constexpr auto text = &CapabilityValue::fromString;
constexpr auto number = &CapabilityValue::fromNumber;

Device pager(const Fields &fields)
{
    Device device{.id = u"pager"_s};
    for (const auto &[id, value] : fields)
        device.capabilities[id] = Capability{.id = id, .value = value};
    return device;
}

// A pager with a message, a service and a priority, and the given fields besides.
std::optional<P2000::Incident> incidentWith(const Fields &more)
{
    return P2000::incident(pager(
        Fields{{u"p2000"_s, text(u"A1 Dorpsstraat Leiden"_s)}, {u"dienst"_s, text(u"Ambulance"_s)}} + more));
}

} // namespace

class TestP2000 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pagerDevice_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<bool>("expected");
        QTest::newRow("signature") << QStringList{u"p2000"_s, u"prio"_s, u"dienst"_s} << true;
        QTest::newRow("sub-capabilities")
            << QStringList{u"p2000.laatste"_s, u"prio.x"_s, u"dienst"_s} << true;
        QTest::newRow("no service") << QStringList{u"p2000"_s, u"prio"_s} << false;
        QTest::newRow("case counts") << QStringList{u"P2000"_s, u"prio"_s, u"dienst"_s} << false;
    }
    void pagerDevice()
    {
        QFETCH(QStringList, ids);
        Fields fields;
        for (const QString &id : ids)
            fields << std::pair{id, CapabilityValue::none()};
        QTEST(P2000::isP2000Device(pager(fields)), "expected");
    }

    void message_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<OptText>("raw");
        QTest::newRow("text") << u"p2000"_s << text(u" A1 Leiden \n"_s) << OptText(u"A1 Leiden"_s);
        QTest::newRow("blank") << u"p2000"_s << text(u" \t\n"_s) << OptText();
        QTest::newRow("onbekend") << u"p2000"_s << text(u"ONBEKEND"_s) << OptText();
        QTest::newRow("none") << u"p2000"_s << CapabilityValue::none() << OptText();
        QTest::newRow("number") << u"p2000"_s << number(112) << OptText(u"112"_s);
        QTest::newRow("dotted id is not the message") << u"p2000.laatste"_s << text(u"A1"_s) << OptText();
    }
    void message()
    {
        QFETCH(QString, id);
        QFETCH(CapabilityValue, value);
        const auto incident = P2000::incident(
            pager({{id, value}, {u"prio"_s, text(u"2"_s)}, {u"dienst"_s, text(u"Politie"_s)}}));
        QTEST(incident ? OptText(incident->raw) : OptText(), "raw");
    }

    void priority_data()
    {
        QTest::addColumn<std::optional<CapabilityValue>>("value");
        QTest::addColumn<int>("expected");
        using V = std::optional<CapabilityValue>;
        const double infinity = std::numeric_limits<double>::infinity();
        QTest::newRow("text +3") << V(text(u"+3"_s)) << 3;
        QTest::newRow("text -2") << V(text(u"-2"_s)) << 1;
        QTest::newRow("text A1") << V(text(u"A1"_s)) << 5;
        QTest::newRow("text with space") << V(text(u" 2"_s)) << 5;
        QTest::newRow("empty text") << V(text(u""_s)) << 5;
        QTest::newRow("text beyond 64 bits") << V(text(u"-99999999999999999999"_s)) << 5;
        QTest::newRow("number 0") << V(number(0)) << 1;
        QTest::newRow("number 2.9") << V(number(2.9)) << 2;
        QTest::newRow("number 7.9") << V(number(7.9)) << 5;
        QTest::newRow("number 1e300") << V(number(1e300)) << 5;
        QTest::newRow("infinity") << V(number(infinity)) << 5;
        QTest::newRow("minus infinity") << V(number(-infinity)) << 1;
        QTest::newRow("not a number") << V(number(std::nan(""))) << 5;
        QTest::newRow("bool") << V(CapabilityValue::fromBool(true)) << 5;
        QTest::newRow("none") << V(CapabilityValue::none()) << 5;
        QTest::newRow("absent") << V() << 5;
    }
    void priority()
    {
        QFETCH(std::optional<CapabilityValue>, value);
        const auto incident = incidentWith(value ? Fields{{u"prio"_s, *value}} : Fields{});
        QVERIFY(incident);
        QTEST(incident->priority, "expected");
    }

    void fieldTexts_data()
    {
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<OptText>("expected");
        QTest::newRow("true") << CapabilityValue::fromBool(true) << OptText(u"ja"_s);
        QTest::newRow("false") << CapabilityValue::fromBool(false) << OptText(u"nee"_s);
        QTest::newRow("whole number") << number(12.0) << OptText(u"12"_s);
        QTest::newRow("negative whole number") << number(-4) << OptText(u"-4"_s);
        QTest::newRow("shortest fraction") << number(0.1) << OptText(u"0.1"_s);
        QTest::newRow("text kept in its case") << text(u"  Den Haag "_s) << OptText(u"Den Haag"_s);
        QTest::newRow("onbekend in any case") << text(u" Onbekend "_s) << OptText();
        QTest::newRow("empty") << text(u""_s) << OptText();
        QTest::newRow("none") << CapabilityValue::none() << OptText();
    }
    void fieldTexts()
    {
        QFETCH(CapabilityValue, value);
        QFETCH(OptText, expected);
        Fields fields;
        for (const QString &id :
             {u"categorie"_s, u"regio"_s, u"stad"_s, u"straat"_s, u"voertuigen"_s, u"dienst"_s})
            fields << std::pair{id, value};
        const auto incident = incidentWith(fields);
        QVERIFY(incident);
        for (const OptText &field :
             {incident->category, incident->region, incident->city, incident->street, incident->vehicles})
            QCOMPARE(field, expected);
        QCOMPARE(incident->service, expected.value_or(u"Melding"_s));
    }

    void notification_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<OptText>("subtitle");

        const QString raw = u"A1 Dorpsstraat Leiden"_s;
        QTest::newRow("everything") << Fields{{u"prio"_s, text(u"1"_s)},
                                              {u"categorie"_s, text(u"Ongeval"_s)},
                                              {u"regio"_s, text(u"Hollands Midden"_s)},
                                              {u"stad"_s, text(u"Leiden"_s)},
                                              {u"straat"_s, text(u"Dorpsstraat"_s)},
                                              {u"voertuigen"_s, text(u"17-101"_s)}}
                                    << u"Ambulance, Prio 1"_s
                                    << u"Leiden, Dorpsstraat \u00B7 Hollands Midden"_s
                                    << raw + u"  \u00B7  17-101"_s << OptText(u"Ongeval"_s);
        QTest::newRow("street only") << Fields{{u"straat"_s, text(u"Kerkweg"_s)}} << u"Ambulance, Prio 5"_s
                                     << u"Kerkweg"_s << raw << OptText();
        QTest::newRow("region only") << Fields{{u"regio"_s, text(u"Twente"_s)}} << u"Ambulance, Prio 5"_s
                                     << raw + u" \u00B7 Twente"_s << raw << OptText();
        QTest::newRow("message alone")
            << Fields{{u"stad"_s, text(u"onbekend"_s)}} << u"Ambulance, Prio 5"_s << raw << raw << OptText();
    }
    void notification()
    {
        QFETCH(Fields, fields);
        const auto incident = incidentWith(fields);
        QVERIFY(incident);
        const QDateTime when(QDate(2025, 3, 14), QTime(9, 26), Qt::UTC);
        const HomeyNotification result = P2000::notification(*incident, when);
        QCOMPARE(result.source, HomeyNotification::Source(HomeyNotification::Source::p2000));
        QCOMPARE(result.date, when);
        QTEST(result.title, "title");
        QTEST(result.body, "body");
        QTEST(result.detail.value_or(QString()), "detail");
        QTEST(result.subtitle, "subtitle");
        QCOMPARE(result.priority, std::optional<int>(incident->priority));
        QCOMPARE(result.region, incident->region);
        QCOMPARE(result.city, incident->city);
    }

    void ids()
    {
        // Equal texts give equal ids, whenever they are read: the id is a fixed hash, the same in every run.
        const QDateTime when = QDateTime::currentDateTimeUtc();
        QCOMPARE(P2000::notification(*incidentWith({}), when).id,
                 P2000::notification(*incidentWith({}), when.addSecs(30)).id);
        QCOMPARE(P2000::notificationID(QString()), u"p2000:-3750763034362895579"_s);
        QCOMPARE(P2000::notificationID(u"Brandweer P 1 Dorpsstraat Leiden"_s), u"p2000:258542389878497094"_s);
        QVERIFY(P2000::notificationID(u"a"_s) != P2000::notificationID(u"b"_s));
    }

    void symbol_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("expected");
        QTest::newRow("politie") << u"Politie"_s << u"shield"_s;
        QTest::newRow("ambulance before heli") << u"AmbulanceHeli"_s << u"cross.case"_s;
        QTest::newRow("brandweer") << u"BRANDWEER"_s << u"flame"_s;
        QTest::newRow("knrm") << u"Knrm Huizen"_s << u"lifepreserver"_s;
        QTest::newRow("heli") << u"Traumaheli"_s << u"helicopter"_s;
        QTest::newRow("other") << u"Melding"_s << u"antenna.radiowaves.left.and.right"_s;
    }
    void symbol()
    {
        QFETCH(QString, service);
        QTEST(P2000::symbol(service), "expected");
    }
};

QTEST_GUILESS_MAIN(TestP2000)
#include "tst_p2000.moc"
