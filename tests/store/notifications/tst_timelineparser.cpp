#include "store/notifications/timelineparser.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Source = HomeyNotification::Source;
using OptText = std::optional<QString>;

Q_DECLARE_METATYPE(OptText)
Q_DECLARE_METATYPE(std::optional<TimelineParser::P2000Parts>)

namespace {

const QDateTime now = QDateTime(QDate(2025, 3, 14), QTime(9, 26, 53), Qt::UTC);

RawNotification entry(const QString &excerpt, const QString &ownerUri = {}, const OptText &ownerName = {},
                      const std::optional<QDateTime> &date = now.addSecs(-60))
{
    return RawNotification{u"id-1"_s, ownerUri, ownerName, excerpt, date};
}

using Parts = std::optional<TimelineParser::P2000Parts>;
const Parts noParts;

Parts triple(const QString &service, const QString &region, qint64 prio)
{
    return TimelineParser::P2000Parts{service, region, prio};
}

} // namespace

class TestTimelineParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void p2000Line_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Parts>("expected");

        QTest::newRow("ambulance")
            << u"Ambulance (Hollands Midden) met Prio 1 \"A1 Dorpsstraat Leiden\" op Dorpsstraat te Leiden"_s
            << triple(u"Ambulance"_s, u"Hollands Midden"_s, 1);
        QTest::newRow("brandweer with addition") << u"Brandweer (Kennemerland) met Prio 2 \"P 2 BDH-01 "
                                                    u"Buitenbrand Kerkweg Haarlem\" op Kerkweg te "
                                                    "Haarlem (Schalkwijk)"_s
                                                 << triple(u"Brandweer"_s, u"Kennemerland"_s, 2);
        QTest::newRow("service with parentheses")
            << u"Politie (Noord) (Amsterdam-Amstelland) met Prio 3 \"x\""_s
            << triple(u"Politie (Noord)"_s, u"Amsterdam-Amstelland"_s, 3);
        QTest::newRow("bare line") << u"Politie (Utrecht) met Prio 1"_s
                                   << triple(u"Politie"_s, u"Utrecht"_s, 1);
        QTest::newRow("service trimmed, region not")
            << u" \tKNRM\t ( Zeeland ) met Prio 4"_s << triple(u"KNRM"_s, u" Zeeland "_s, 4);
        QTest::newRow("priority not clamped")
            << u"Politie (Utrecht) met Prio 12abc"_s << triple(u"Politie"_s, u"Utrecht"_s, 12);
        QTest::newRow("priority zero")
            << u"Politie (Utrecht) met Prio 0"_s << triple(u"Politie"_s, u"Utrecht"_s, 0);
        QTest::newRow("no digit") << u"Politie (Utrecht) met Prio x"_s << noParts;
        QTest::newRow("marker at end") << u"Politie (Utrecht) met Prio "_s << noParts;
        QTest::newRow("head without parenthesis") << u"Politie Utrecht met Prio 1"_s << noParts;
        QTest::newRow("head not ending in parenthesis") << u"Politie (Utrecht) x met Prio 1"_s << noParts;
        QTest::newRow("only closing parenthesis") << u"Politie Utrecht) met Prio 1"_s << noParts;
        QTest::newRow("empty region") << u"Politie () met Prio 1"_s << noParts;
        QTest::newRow("empty service") << u" \t(Utrecht) met Prio 1"_s << noParts;
        QTest::newRow("lower-case marker") << u"Politie (Utrecht) met prio 1"_s << noParts;
        QTest::newRow("other numerals") << u"Politie (Utrecht) met Prio \u0661"_s << noParts;
        QTest::newRow("digits then other numerals") << u"Politie (Utrecht) met Prio 1\u00BD"_s << noParts;
        QTest::newRow("digit with combining mark") << u"Politie (Utrecht) met Prio 1\u0301"_s << noParts;
        QTest::newRow("beyond 64 bits") << u"Politie (Utrecht) met Prio 99999999999999999999"_s << noParts;
        QTest::newRow("empty") << QString() << noParts;
    }
    void p2000Line()
    {
        QFETCH(QString, text);
        QFETCH(Parts, expected);
        QCOMPARE(TimelineParser::parts(text), expected);
        QCOMPARE(TimelineParser::isP2000(text), expected.has_value());
        QCOMPARE(TimelineParser::region(text), expected ? OptText(expected->region) : OptText());
    }

    void p2000Notification_data()
    {
        QTest::addColumn<QString>("excerpt");
        QTest::addColumn<QString>("title");
        QTest::addColumn<OptText>("subtitle");
        QTest::addColumn<QString>("body");
        QTest::addColumn<OptText>("city");
        QTest::addColumn<QString>("symbol");

        QTest::newRow("ambulance")
            << u"Ambulance (Hollands Midden) met Prio 1 \"A1 Dorpsstraat Leiden\" op Dorpsstraat te Leiden"_s
            << u"Ambulance, Prio 1"_s << OptText(u"A1 Dorpsstraat Leiden"_s)
            << u"Leiden, Dorpsstraat \u00B7 Hollands Midden"_s << OptText(u"Leiden"_s) << u"cross.case"_s;
        QTest::newRow("no street marker")
            << u"Politie (Utrecht) met Prio 2 \"Inbraak\" bij Neude te Utrecht"_s << u"Politie, Prio 2"_s
            << OptText(u"Inbraak"_s) << u"Utrecht \u00B7 Utrecht"_s << OptText(u"Utrecht"_s) << u"shield"_s;
        QTest::newRow("place unknown")
            << u"Ambulance (Twente) met Prio 1 \"A1\" op Hoofdweg te ONBEKEND"_s << u"Ambulance, Prio 1"_s
            << OptText(u"A1"_s) << u"Hoofdweg \u00B7 Twente"_s << OptText() << u"cross.case"_s;
        QTest::newRow("street blank")
            << u"Ambulance (Twente) met Prio 1 \"A1\" op  te Hengelo"_s << u"Ambulance, Prio 1"_s
            << OptText(u"A1"_s) << u"Hengelo \u00B7 Twente"_s << OptText(u"Hengelo"_s) << u"cross.case"_s;
        QTest::newRow("street marker after place")
            << u"KNRM (Zeeland) met Prio 1 te Vlissingen \"x\" op Boulevard"_s << u"KNRM, Prio 1"_s
            << OptText(u"x"_s) << u"Vlissingen \"x\" op Boulevard \u00B7 Zeeland"_s
            << OptText(u"Vlissingen \"x\" op Boulevard"_s) << u"lifepreserver"_s;
        QTest::newRow("bare line") << u"Traumaheli (Gelderland) met Prio 1"_s << u"Traumaheli, Prio 1"_s
                                   << OptText() << u"Gelderland"_s << OptText() << u"helicopter"_s;
        QTest::newRow("empty first quote pair")
            << u"Politie (Utrecht) met Prio 1 \"\" \"b\" op Neude te Utrecht"_s << u"Politie, Prio 1"_s
            << OptText() << u"Utrecht, Neude \u00B7 Utrecht"_s << OptText(u"Utrecht"_s) << u"shield"_s;
        QTest::newRow("unclosed quote") << u"Politie (Utrecht) met Prio 1 \"Inbraak"_s << u"Politie, Prio 1"_s
                                        << OptText() << u"Utrecht"_s << OptText() << u"shield"_s;
        QTest::newRow("markdown stripped first")
            << u"**Ambulance** (Twente) met Prio 2 op `Markt` te Enschede"_s << u"Ambulance, Prio 2"_s
            << OptText() << u"Enschede \u00B7 Twente"_s << OptText(u"Enschede"_s) << u"cross.case"_s;
        QTest::newRow("unknown service")
            << u"Melding (Drenthe) met Prio 3"_s << u"Melding, Prio 3"_s << OptText() << u"Drenthe"_s
            << OptText() << u"antenna.radiowaves.left.and.right"_s;
    }
    void p2000Notification()
    {
        QFETCH(QString, excerpt);
        const auto result =
            TimelineParser::notification(entry(excerpt, u"homey:app:nl.p2000"_s, u"P2000"_s), true, now);
        QVERIFY(result);
        QCOMPARE(result->source, Source(Source::p2000));
        QTEST(result->title, "title");
        QTEST(result->subtitle, "subtitle");
        QTEST(result->body, "body");
        QTEST(result->city, "city");
        QTEST(result->symbol, "symbol");

        QVERIFY(!TimelineParser::notification(entry(excerpt), false, now));
    }

    void otherSources_data()
    {
        QTest::addColumn<QString>("ownerUri");
        QTest::addColumn<OptText>("ownerName");
        QTest::addColumn<QString>("excerpt");
        QTest::addColumn<Source>("source");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body"); // empty: the excerpt as it stands

        const QString presence = u"homey:manager:presence"_s;
        const QString flow = u"homey:manager:flow"_s;
        const Source inOut = Source::presence, weather = Source::weather, fromFlow = Source::flow,
                     system = Source::system;
        QTest::newRow("home") << presence << OptText() << u"Anna is thuis gekomen"_s << inOut << u"Thuis"_s
                              << QString();
        QTest::newRow("left wins over home")
            << presence << OptText() << u"Anna is Vertrokken, niemand thuis"_s << inOut << u"Vertrokken"_s
            << QString();
        QTest::newRow("gone") << presence << OptText() << u"Anna is weggegaan"_s << inOut << u"Vertrokken"_s
                              << QString();
        QTest::newRow("other presence")
            << presence << OptText() << u"Beweging in de gang"_s << inOut << u"Aanwezigheid"_s << QString();
        QTest::newRow("weather") << flow << OptText() << u"Het weer is veranderd: \tLichte regen "_s
                                 << weather << u"Weer"_s << u"Lichte regen"_s;
        QTest::newRow("weather upper case, no colon")
            << flow << OptText() << u"HET WEER IS VERANDERD naar zon"_s << weather << u"Weer"_s << QString();
        QTest::newRow("weather, nothing after colon") << flow << OptText() << u"Het weer is veranderd:"_s
                                                      << weather << u"Weer"_s << u"Het weer is veranderd"_s;
        QTest::newRow("weather, second colon kept")
            << flow << OptText() << u"Het weer is veranderd: wind: 5"_s << weather << u"Weer"_s
            << u"wind: 5"_s;
        QTest::newRow("flow") << flow << OptText(u"Flows"_s) << u"Deur staat open"_s << fromFlow << u"Flow"_s
                              << QString();
        QTest::newRow("app with name") << u"homey:app:com.buienradar"_s << OptText(u"Buienradar"_s)
                                       << u"Regen op komst"_s << system << u"Buienradar"_s << QString();
        QTest::newRow("app with empty name")
            << u"homey:app:x"_s << OptText(u""_s) << u"Update klaar"_s << system << u"Homey"_s << QString();
        QTest::newRow("no owner") << QString() << OptText() << u"Herstart"_s << system << u"Homey"_s
                                  << QString();
        QTest::newRow("owner compared exactly") << u"homey:manager:Presence"_s << OptText()
                                                << u"Anna is thuis"_s << system << u"Homey"_s << QString();
        QTest::newRow("markdown stripped") << flow << OptText() << u"**Alarm** staat [aan](homey://x)"_s
                                           << fromFlow << u"Flow"_s << u"Alarm staat aan"_s;
        QTest::newRow("broken markdown kept")
            << flow << OptText() << u"**Alarm [aan"_s << fromFlow << u"Flow"_s << QString();
    }
    void otherSources()
    {
        QFETCH(QString, ownerUri);
        QFETCH(OptText, ownerName);
        QFETCH(QString, excerpt);
        QFETCH(Source, source);
        const auto result = TimelineParser::notification(entry(excerpt, ownerUri, ownerName), false, now);
        QVERIFY(result);
        QCOMPARE(result->source, source);
        QTEST(result->title, "title");
        QFETCH(QString, body);
        QCOMPARE(result->body, body.isEmpty() ? excerpt : body);
        QCOMPARE(result->symbol, source.symbol());
    }

    void noNotification_data()
    {
        QTest::addColumn<QString>("excerpt");
        QTest::newRow("empty") << QString();
        QTest::newRow("white space") << u" \n\t "_s;
        QTest::newRow("empty once stripped") << u"**  **"_s;
        // Parses as received, no longer once stripped: nothing, whichever flag.
        QTest::newRow("P2000 broken by stripping") << u"Politie (__) met Prio 1 __"_s;
    }
    void noNotification()
    {
        QFETCH(QString, excerpt);
        QVERIFY(!TimelineParser::notification(entry(excerpt, u"homey:manager:flow"_s), true, now));
        QVERIFY(!TimelineParser::notification(entry(excerpt, u"homey:manager:flow"_s), false, now));
    }

    void dates()
    {
        const QDateTime made = now.addDays(-2);
        QCOMPARE(TimelineParser::notification(entry(u"x"_s, {}, {}, made), false, now)->date, made);
        QCOMPARE(TimelineParser::notification(entry(u"x"_s, {}, {}, std::nullopt), false, now)->date, now);
        QCOMPARE(
            TimelineParser::notification(entry(u"P (R) met Prio 1"_s, {}, {}, std::nullopt), true, now)->date,
            now);
    }

    void hugeExcerpts()
    {
        const QString megabyte(1'000'000, u'x');
        const auto plain = TimelineParser::notification(entry(megabyte + u" *"_s), false, now);
        QVERIFY(plain);
        QCOMPARE(plain->body.size(), megabyte.size() + 2);

        const auto pager = TimelineParser::notification(
            entry(u"Politie (Utrecht) met Prio 1 \""_s + megabyte + u"\" op Neude te Utrecht"_s), true, now);
        QVERIFY(pager);
        QCOMPARE(pager->subtitle, OptText(megabyte));
        QCOMPARE(pager->body, u"Utrecht, Neude \u00B7 Utrecht"_s);
    }

    void dominantRegion()
    {
        auto list = [](const QStringList &excerpts) {
            QList<RawNotification> result;
            for (const QString &excerpt : excerpts)
                result << entry(excerpt);
            return result;
        };
        QCOMPARE(TimelineParser::dominantRegion({}), OptText());
        QCOMPARE(TimelineParser::dominantRegion(list({u"Anna is thuis"_s, u"met Prio 1"_s})), OptText());
        QCOMPARE(TimelineParser::dominantRegion(list({u"A (Twente) met Prio 1"_s, u"B (Utrecht) met Prio 2"_s,
                                                      u"Anna is thuis"_s, u"C (Utrecht) met Prio 1"_s})),
                 OptText(u"Utrecht"_s));
        // A tie goes to the region that reached the top count first.
        QCOMPARE(
            TimelineParser::dominantRegion(list({u"B (Utrecht) met Prio 2"_s, u"A (Twente) met Prio 1"_s,
                                                 u"A (Twente) met Prio 1"_s, u"C (Utrecht) met Prio 1"_s})),
            OptText(u"Twente"_s));
    }
};

QTEST_GUILESS_MAIN(TestTimelineParser)
#include "tst_timelineparser.moc"
