#include "store/notifications/timelineparser.h"

#include "store/notifications/markdown.h"
#include "store/notifications/p2000.h"

#include <algorithm>
#include <limits>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QString trimSpacesAndTabs(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (start < end && blank(text.at(start)))
        ++start;
    while (end > start && blank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start).toString();
}

bool isUnknown(const QString &text)
{
    return text.isEmpty() || text.toLower() == u"onbekend"_s;
}

struct Description {
    QString title;
    std::optional<QString> subtitle;
    QString body;
};

Description describe(HomeyNotification::Source source, const std::optional<QString> &ownerName,
                     const QString &text)
{
    using Source = HomeyNotification::Source;
    switch (source) {
    case Source::p2000:
        return {u"P2000"_s, std::nullopt, text};
    case Source::presence: {
        const QString lower = text.toLower();
        if (lower.contains(u"weggegaan"_s) || lower.contains(u"vertrokken"_s))
            return {u"Vertrokken"_s, std::nullopt, text};
        if (lower.contains(u"thuis"_s))
            return {u"Thuis"_s, std::nullopt, text};
        return {u"Aanwezigheid"_s, std::nullopt, text};
    }
    case Source::weather: {
        const qsizetype colon = text.indexOf(u':');
        QStringView last = text;
        if (colon >= 0) {
            const QStringView after = QStringView(text).mid(colon + 1);
            last = after.isEmpty() ? QStringView(text).left(colon) : after;
        }
        const QString body = trimSpacesAndTabs(last);
        return {u"Weer"_s, std::nullopt, body.isEmpty() ? text : body};
    }
    case Source::flow:
        return {u"Flow"_s, std::nullopt, text};
    case Source::system:
        break;
    }
    return {ownerName && !ownerName->isEmpty() ? *ownerName : u"Homey"_s, std::nullopt, text};
}

std::optional<HomeyNotification> p2000(const RawNotification &entry, const QString &text,
                                       const QDateTime &now)
{
    const auto found = TimelineParser::parts(text);
    if (!found)
        return std::nullopt;

    std::optional<QString> quote;
    const qsizetype firstQuote = text.indexOf(u'"');
    if (firstQuote >= 0) {
        const qsizetype secondQuote = text.indexOf(u'"', firstQuote + 1);
        if (secondQuote > firstQuote + 1)
            quote = text.mid(firstQuote + 1, secondQuote - firstQuote - 1);
    }

    std::optional<QString> place;
    std::optional<QString> street;
    static const QString te = u" te "_s;
    static const QString streetMarker = u"\" op "_s;
    const qsizetype teAt = text.lastIndexOf(te);
    if (teAt >= 0) {
        QString rest = text.mid(teAt + te.size());
        const qsizetype addition = rest.lastIndexOf(u" ("_s);
        if (addition >= 0)
            rest.truncate(addition);
        rest = rest.trimmed();
        if (!isUnknown(rest))
            place = rest;

        const qsizetype marker = text.indexOf(streetMarker);
        if (marker >= 0 && marker + streetMarker.size() <= teAt) {
            const qsizetype from = marker + streetMarker.size();
            const QString candidate = trimSpacesAndTabs(QStringView(text).mid(from, teAt - from));
            if (!isUnknown(candidate))
                street = candidate;
        }
    }

    QStringList located;
    if (place)
        located << *place;
    if (street)
        located << *street;
    const QString body =
        located.isEmpty() ? found->region : located.join(u", "_s) + u" \u00B7 "_s + found->region;

    HomeyNotification result;
    result.id = entry.id;
    result.source = HomeyNotification::Source::p2000;
    result.date = entry.date && entry.date->isValid() ? *entry.date : now;
    result.title = found->service + u", Prio "_s + QString::number(found->priority);
    result.subtitle = quote;
    result.body = body;
    result.symbol = P2000::symbol(found->service);
    result.priority = static_cast<int>(std::clamp<qint64>(found->priority, std::numeric_limits<int>::min(),
                                                          std::numeric_limits<int>::max()));
    result.region = found->region;
    result.city = place;
    result.isRead = false;
    return result;
}

} // namespace

namespace TimelineParser {

std::optional<P2000Parts> parts(const QString &inP2000)
{
    static const QString marker = u" met Prio "_s;
    const qsizetype at = inP2000.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    const QStringView head = QStringView(inP2000).left(at);
    if (!head.endsWith(u')'))
        return std::nullopt;
    const qsizetype open = head.lastIndexOf(u'(');
    if (open < 0)
        return std::nullopt;
    P2000Parts result;
    result.region = head.mid(open + 1, head.size() - open - 2).toString();
    result.service = trimSpacesAndTabs(head.left(open));

    // The longest run of numeric characters; only a plain 0-9 run that fits 64 bits reads as a number.
    const QStringView after = QStringView(inP2000).mid(at + marker.size());
    qsizetype end = 0;
    bool plainDigits = true;
    while (end < after.size()) {
        char32_t ucs = after.at(end).unicode();
        qsizetype width = 1;
        if (after.at(end).isHighSurrogate() && end + 1 < after.size() && after.at(end + 1).isLowSurrogate()) {
            ucs = QChar::surrogateToUcs4(after.at(end), after.at(end + 1));
            width = 2;
        }
        if (!QChar::isNumber(ucs))
            break;
        if (ucs < U'0' || ucs > U'9')
            plainDigits = false;
        end += width;
    }
    if (end == 0 || !plainDigits)
        return std::nullopt;
    // A digit carrying a combining mark is not a digit.
    if (end < after.size() && after.at(end).isMark())
        return std::nullopt;
    bool ok = false;
    result.priority = after.left(end).toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    if (result.service.isEmpty() || result.region.isEmpty())
        return std::nullopt;
    return result;
}

bool isP2000(const QString &text)
{
    return parts(text).has_value();
}

std::optional<QString> region(const QString &inP2000)
{
    if (const auto found = parts(inP2000))
        return found->region;
    return std::nullopt;
}

std::optional<QString> dominantRegion(const QList<RawNotification> &in)
{
    QHash<QString, qsizetype> counts;
    std::optional<QString> best;
    qsizetype bestCount = 0;
    for (const RawNotification &entry : in) {
        const auto found = region(entry.excerpt);
        if (!found)
            continue;
        const qsizetype count = ++counts[*found];
        if (count > bestCount) {
            bestCount = count;
            best = *found;
        }
    }
    return best;
}

HomeyNotification::Source source(const QString &ownerUri, const QString &excerpt)
{
    using Source = HomeyNotification::Source;
    if (ownerUri == u"homey:manager:presence"_s)
        return Source::presence;
    if (ownerUri == u"homey:manager:flow"_s)
        return excerpt.toLower().startsWith(u"het weer is veranderd"_s) ? Source::weather : Source::flow;
    return Source::system;
}

std::optional<HomeyNotification> notification(const RawNotification &entry, bool includeP2000,
                                              const QDateTime &now)
{
    const QString text = Markdown::strip(entry.excerpt);
    if (text.isEmpty())
        return std::nullopt;
    if (isP2000(entry.excerpt)) {
        if (!includeP2000)
            return std::nullopt;
        return p2000(entry, text, now);
    }
    const HomeyNotification::Source from = source(entry.ownerUri, text);
    const Description described = describe(from, entry.ownerName, text);
    HomeyNotification result;
    result.id = entry.id;
    result.source = from;
    result.date = entry.date && entry.date->isValid() ? *entry.date : now;
    result.title = described.title;
    result.subtitle = described.subtitle;
    result.body = described.body;
    result.symbol = from.symbol();
    result.isRead = false;
    return result;
}

} // namespace TimelineParser
