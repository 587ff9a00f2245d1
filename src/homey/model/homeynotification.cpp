#include "homey/model/homeynotification.h"

#include "homey/model/valuehash.h"

using namespace Qt::StringLiterals;

QString HomeyNotification::Source::raw() const
{
    switch (value) {
    case p2000:
        return u"p2000"_s;
    case presence:
        return u"presence"_s;
    case weather:
        return u"weather"_s;
    case flow:
        return u"flow"_s;
    case system:
        return u"system"_s;
    }
    return {};
}

std::optional<HomeyNotification::Source> HomeyNotification::Source::fromRaw(const QString &raw)
{
    for (Source source : allCases()) {
        if (source.raw() == raw)
            return source;
    }
    return std::nullopt;
}

QList<HomeyNotification::Source> HomeyNotification::Source::allCases()
{
    return {p2000, presence, weather, flow, system};
}

QString HomeyNotification::Source::title() const
{
    switch (value) {
    case p2000:
        return u"P2000"_s;
    case presence:
        return u"Aanwezigheid"_s;
    case weather:
        return u"Weer"_s;
    case flow:
        return u"Flows"_s;
    case system:
        return u"Systeem en apps"_s;
    }
    return {};
}

QString HomeyNotification::Source::symbol() const
{
    switch (value) {
    case p2000:
        return u"antenna.radiowaves.left.and.right"_s;
    case presence:
        return u"figure.walk"_s;
    case weather:
        return u"cloud.sun"_s;
    case flow:
        return u"arrow.triangle.branch"_s;
    case system:
        return u"gearshape"_s;
    }
    return {};
}

HomeyNotification::Urgency HomeyNotification::urgency() const
{
    switch (source) {
    case Source::presence:
    case Source::weather:
        return Urgency::quiet;
    case Source::flow:
    case Source::system:
        return Urgency::normal;
    case Source::p2000:
        return priority && *priority <= 1 ? Urgency::urgent : Urgency::normal;
    }
    return Urgency::normal;
}

size_t qHash(HomeyNotification::Source source, size_t seed) noexcept
{
    return qHash(int(source.value), seed);
}

size_t qHash(const HomeyNotification &n, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(n.id));
    seed = ValueHash::combine(seed, qHash(n.source));
    seed = ValueHash::combine(seed, qHash(n.date));
    seed = ValueHash::combine(seed, qHash(n.title));
    seed = ValueHash::combine(seed, ValueHash::optional(n.subtitle, 0));
    seed = ValueHash::combine(seed, qHash(n.body));
    seed = ValueHash::combine(seed, ValueHash::optional(n.detail, 0));
    seed = ValueHash::combine(seed, qHash(n.symbol));
    seed = ValueHash::combine(seed, ValueHash::optional(n.priority, 0));
    seed = ValueHash::combine(seed, ValueHash::optional(n.region, 0));
    seed = ValueHash::combine(seed, ValueHash::optional(n.city, 0));
    return ValueHash::combine(seed, qHash(n.isRead));
}
