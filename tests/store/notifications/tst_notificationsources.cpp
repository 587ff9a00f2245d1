#include "store/notifications/markdown.h"
#include "store/notifications/p2000.h"
#include "store/notifications/timelineparser.h"

#include <cmath>
#include <limits>
#include <QTest>
#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;
using Source = HomeyNotification::Source;
using OptText = std::optional<QString>;
using Parts = std::optional<TimelineParser::P2000Parts>;
using Fields = QList<std::pair<QString, CapabilityValue>>;

namespace {

const QDateTime now = QDateTime(QDate(2025, 3, 14), QTime(9, 26, 53), Qt::UTC);

RawNotification entry(const QString &excerpt, const QString &ownerUri = {}, const OptText &ownerName = {},
                      const std::optional<QDateTime> &date = now.addSecs(-60))
{
    return RawNotification{u"id-1"_s, ownerUri, ownerName, excerpt, date};
}

using Parts = std::optional<TimelineParser::P2000Parts>;

Parts triple(const QString &service, const QString &region, qint64 prio)
{
    return TimelineParser::P2000Parts{service, region, prio};
}

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

// Notifications read from the hub: the timeline with its markdown, and the P2000 pager device.
class TestNotificationSources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void p2000Line_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Parts>("expected");
        const auto row = [](const char *name, const QString &text, const Parts &parts = {}) {
            QTest::newRow(name) << text << parts;
        };
        row("ambulance",
            u"Ambulance (Hollands Midden) met Prio 1 \"A1 Dorpsstraat Leiden\" op Dorpsstraat te Leiden"_s,
            triple(u"Ambulance"_s, u"Hollands Midden"_s, 1));
        row("brandweer with addition",
            u"Brandweer (Kennemerland) met Prio 2 \"P 2 BDH-01 Buitenbrand Kerkweg Haarlem\" op Kerkweg te "
            u"Haarlem (Schalkwijk)"_s,
            triple(u"Brandweer"_s, u"Kennemerland"_s, 2));
        row("service with parentheses", u"Politie (Noord) (Amsterdam-Amstelland) met Prio 3 \"x\""_s,
            triple(u"Politie (Noord)"_s, u"Amsterdam-Amstelland"_s, 3));
        row("bare line", u"Politie (Utrecht) met Prio 1"_s, triple(u"Politie"_s, u"Utrecht"_s, 1));
        row("service trimmed, region not", u" \tKNRM\t ( Zeeland ) met Prio 4"_s,
            triple(u"KNRM"_s, u" Zeeland "_s, 4));
        row("priority not clamped", u"Politie (Utrecht) met Prio 12abc"_s,
            triple(u"Politie"_s, u"Utrecht"_s, 12));
        row("priority zero", u"Politie (Utrecht) met Prio 0"_s, triple(u"Politie"_s, u"Utrecht"_s, 0));
        row("no digit", u"Politie (Utrecht) met Prio x"_s);
        row("marker at end", u"Politie (Utrecht) met Prio "_s);
        row("head without parenthesis", u"Politie Utrecht met Prio 1"_s);
        row("head not ending in parenthesis", u"Politie (Utrecht) x met Prio 1"_s);
        row("only closing parenthesis", u"Politie Utrecht) met Prio 1"_s);
        row("empty region", u"Politie () met Prio 1"_s);
        row("empty service", u" \t(Utrecht) met Prio 1"_s);
        row("lower-case marker", u"Politie (Utrecht) met prio 1"_s);
        row("other numerals", u"Politie (Utrecht) met Prio \u0661"_s);
        row("digits then other numerals", u"Politie (Utrecht) met Prio 1\u00BD"_s);
        row("digit with combining mark", u"Politie (Utrecht) met Prio 1\u0301"_s);
        row("beyond 64 bits", u"Politie (Utrecht) met Prio 99999999999999999999"_s);
        row("empty", QString());
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
        const auto row = [](const char *name, const QString &excerpt, const QString &title,
                            const OptText &subtitle, const QString &body, const OptText &city) {
            QTest::newRow(name) << excerpt << title << subtitle << body << city;
        };
        row("ambulance",
            u"Ambulance (Hollands Midden) met Prio 1 \"A1 Dorpsstraat Leiden\" op Dorpsstraat te Leiden"_s,
            u"Ambulance, Prio 1"_s, u"A1 Dorpsstraat Leiden"_s,
            u"Leiden, Dorpsstraat \u00B7 Hollands Midden"_s, u"Leiden"_s);
        row("no street marker", u"Politie (Utrecht) met Prio 2 \"Inbraak\" bij Neude te Utrecht"_s,
            u"Politie, Prio 2"_s, u"Inbraak"_s, u"Utrecht \u00B7 Utrecht"_s, u"Utrecht"_s);
        row("place unknown", u"Ambulance (Twente) met Prio 1 \"A1\" op Hoofdweg te ONBEKEND"_s,
            u"Ambulance, Prio 1"_s, u"A1"_s, u"Hoofdweg \u00B7 Twente"_s, {});
        row("street blank", u"Ambulance (Twente) met Prio 1 \"A1\" op  te Hengelo"_s, u"Ambulance, Prio 1"_s,
            u"A1"_s, u"Hengelo \u00B7 Twente"_s, u"Hengelo"_s);
        row("street marker after place", u"KNRM (Zeeland) met Prio 1 te Vlissingen \"x\" op Boulevard"_s,
            u"KNRM, Prio 1"_s, u"x"_s, u"Vlissingen \"x\" op Boulevard \u00B7 Zeeland"_s,
            u"Vlissingen \"x\" op Boulevard"_s);
        row("bare line", u"Traumaheli (Gelderland) met Prio 1"_s, u"Traumaheli, Prio 1"_s, {},
            u"Gelderland"_s, {});
        row("empty first quote pair", u"Politie (Utrecht) met Prio 1 \"\" \"b\" op Neude te Utrecht"_s,
            u"Politie, Prio 1"_s, {}, u"Utrecht, Neude \u00B7 Utrecht"_s, u"Utrecht"_s);
        row("unclosed quote", u"Politie (Utrecht) met Prio 1 \"Inbraak"_s, u"Politie, Prio 1"_s, {},
            u"Utrecht"_s, {});
        row("markdown stripped first", u"**Ambulance** (Twente) met Prio 2 op `Markt` te Enschede"_s,
            u"Ambulance, Prio 2"_s, {}, u"Enschede \u00B7 Twente"_s, u"Enschede"_s);
        row("unknown service", u"Melding (Drenthe) met Prio 3"_s, u"Melding, Prio 3"_s, {}, u"Drenthe"_s, {});
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
        QCOMPARE(result->symbol, P2000::symbol(result->title.section(u',', 0, 0)));

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
        const auto row = [](const char *name, const QString &owner, const OptText &ownerName,
                            const QString &excerpt, Source source, const QString &title,
                            const QString &body = {}) {
            QTest::newRow(name) << owner << ownerName << excerpt << source << title << body;
        };
        const QString presence = u"homey:manager:presence"_s;
        const QString flow = u"homey:manager:flow"_s;
        const Source inOut = Source::presence, weather = Source::weather, fromFlow = Source::flow,
                     system = Source::system;
        row("home", presence, {}, u"Anna is thuis gekomen"_s, inOut, u"Thuis"_s);
        row("left wins over home", presence, {}, u"Anna is Vertrokken, niemand thuis"_s, inOut,
            u"Vertrokken"_s);
        row("gone", presence, {}, u"Anna is weggegaan"_s, inOut, u"Vertrokken"_s);
        row("other presence", presence, {}, u"Beweging in de gang"_s, inOut, u"Aanwezigheid"_s);
        row("weather", flow, {}, u"Het weer is veranderd: \tLichte regen "_s, weather, u"Weer"_s,
            u"Lichte regen"_s);
        row("weather upper case, no colon", flow, {}, u"HET WEER IS VERANDERD naar zon"_s, weather,
            u"Weer"_s);
        row("weather, nothing after colon", flow, {}, u"Het weer is veranderd:"_s, weather, u"Weer"_s,
            u"Het weer is veranderd"_s);
        row("weather, second colon kept", flow, {}, u"Het weer is veranderd: wind: 5"_s, weather, u"Weer"_s,
            u"wind: 5"_s);
        row("flow", flow, u"Flows"_s, u"Deur staat open"_s, fromFlow, u"Flow"_s);
        row("app with name", u"homey:app:com.buienradar"_s, u"Buienradar"_s, u"Regen op komst"_s, system,
            u"Buienradar"_s);
        row("app with empty name", u"homey:app:x"_s, u""_s, u"Update klaar"_s, system, u"Homey"_s);
        row("no owner", QString(), {}, u"Herstart"_s, system, u"Homey"_s);
        row("owner compared exactly", u"homey:manager:Presence"_s, {}, u"Anna is thuis"_s, system,
            u"Homey"_s);
        row("markdown stripped", flow, {}, u"**Alarm** staat [aan](homey://x)"_s, fromFlow, u"Flow"_s,
            u"Alarm staat aan"_s);
        row("broken markdown kept", flow, {}, u"**Alarm [aan"_s, fromFlow, u"Flow"_s);
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

    void strip_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");

        QTest::newRow("bold") << u"Alarm **aan**"_s << u"Alarm aan"_s;
        QTest::newRow("code") << u"Run `flow` nu"_s << u"Run flow nu"_s;
        QTest::newRow("underscores") << u"_stil_"_s << u"stil"_s;
        QTest::newRow("link with address") << u"Zie [de kaart](https://x.nl/a) nu"_s << u"Zie de kaart nu"_s;
        QTest::newRow("brackets without address") << u"[tekst] erna"_s << u"tekst erna"_s;
        QTest::newRow("bracket then space then paren") << u"[a] (b)"_s << u"a (b)"_s;
        QTest::newRow("link with unclosed address") << u"[a](b"_s << u"a(b"_s;
        QTest::newRow("unclosed bracket") << u"a [b c"_s << u"a [b c"_s;
        QTest::newRow("nested brackets") << u"[a [b] c](d)"_s << u"a [b c](d)"_s;
        QTest::newRow("lone asterisk") << u"3 * 4 = 12"_s << u"3 * 4 = 12"_s;
        QTest::newRow("identifier") << u"mijn_lamp_aan"_s << u"mijnlampaan"_s;
        QTest::newRow("three open two close") << u"***a**"_s << u"***a**"_s;
        QTest::newRow("closing run may start a longer run") << u"**a***"_s << u"a*"_s;
        QTest::newRow("markers inside emphasis stay") << u"*a _b_ [c]*"_s << u"a _b_ [c]"_s;
        QTest::newRow("markers inside link stay") << u"[*a*](x)"_s << u"*a*"_s;
        QTest::newRow("unterminated run") << u"**begin zonder eind"_s << u"**begin zonder eind"_s;
        QTest::newRow("only paired markers") << u"  ** **  "_s << u""_s;
        QTest::newRow("only white space") << u" \n\t "_s << u""_s;
        QTest::newRow("empty") << u""_s << u""_s;
        QTest::newRow("other markdown passes")
            << u"# Kop\n> citaat\n- punt ]("_s << u"# Kop\n> citaat\n- punt ]("_s;
        QTest::newRow("marker with combining mark is no marker") << u"*\u0301a*"_s << u"*\u0301a*"_s;
        QTest::newRow("emoji and accents kept") << u"**Café 🚒**"_s << u"Café 🚒"_s;
        QTest::newRow("line break inside emphasis") << u"*a\r\nb*\r\n"_s << u"a\r\nb"_s;
        QTest::newRow("marker after a line break") << u"\r\n**x**\r"_s << u"x"_s;
        QTest::newRow("marker with a mark further on") << u"*a* e\u0301"_s << u"a e\u0301"_s;
    }
    void strip()
    {
        QFETCH(QString, input);
        QTEST(Markdown::strip(input), "expected");
    }

    void textBelowCombiningMarksBreaksEverywhere()
    {
        // Text below U+0300 is split into characters without a boundary finder: that holds only while
        // each such pair has a boundary between them, but for a carriage return before a line feed.
        for (char16_t first = 0; first < 0x300; ++first) {
            QString text;
            for (char16_t second = 0; second < 0x300; ++second)
                text.append(QChar(first)).append(QChar(second));
            QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
            for (qsizetype at = 1; at < text.size(); ++at) {
                finder.setPosition(at);
                const bool joined = text.at(at - 1) == u'\r' && text.at(at) == u'\n';
                if (finder.isAtBoundary() == joined)
                    QFAIL(qPrintable(u"U+"_s + QString::number(text.at(at - 1).unicode(), 16) + u" U+"_s +
                                     QString::number(text.at(at).unicode(), 16)));
            }
        }
    }

    void largeUnmatchedInputStaysIntact()
    {
        // Half a million brackets that never close: nothing is lost and the scan does not run away.
        QString input;
        for (int i = 0; i < 500'000; ++i)
            input += u"[ "_s;
        input = u"x "_s + input + u"y"_s;
        QCOMPARE(Markdown::strip(input), input);

        const QString megabyte(1'000'000, u'a');
        QCOMPARE(Markdown::strip(u"**"_s + megabyte + u"**"_s), megabyte);

        // Ever shorter runs: none finds its closing run.
        QString runs;
        for (int n = 300; n > 0; --n)
            runs += QString(n, u'*') + u' ';
        QCOMPARE(Markdown::strip(runs), runs.trimmed());
    }

    void pagerDevice()
    {
        const auto isPager = [](const QStringList &ids) {
            Fields fields;
            for (const QString &id : ids)
                fields << std::pair{id, CapabilityValue::none()};
            return P2000::isP2000Device(pager(fields));
        };
        QVERIFY(isPager({u"p2000"_s, u"prio"_s, u"dienst"_s}));
        QVERIFY(isPager({u"p2000.laatste"_s, u"prio.x"_s, u"dienst"_s}));
        QVERIFY(!isPager({u"p2000"_s, u"prio"_s}));
        QVERIFY(!isPager({u"P2000"_s, u"prio"_s, u"dienst"_s}));
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

QTEST_GUILESS_MAIN(TestNotificationSources)
#include "tst_notificationsources.moc"
