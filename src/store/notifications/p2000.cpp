#include "store/notifications/p2000.h"

#include <algorithm>
#include <cmath>
#include <QHashFunctions>
#include <QLocale>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> numberText(double number)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (std::isfinite(number) && number == std::trunc(number) && number >= -limit && number < limit)
        return QString::number(static_cast<qint64>(number));
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

// A capability read as text: absent, blank and "Onbekend" give nothing.
std::optional<QString> text(const Device &device, const QString &id)
{
    const Capability *capability = device.capability(id);
    if (!capability || !capability->value)
        return std::nullopt;
    const CapabilityValue &value = *capability->value;
    std::optional<QString> result;
    if (const auto flag = value.boolValue())
        result = *flag ? u"ja"_s : u"nee"_s;
    else if (const auto number = value.numberValue())
        result = numberText(*number);
    else if (const auto string = value.stringValue())
        result = *string;
    if (!result)
        return std::nullopt;
    const QString trimmed = result->trimmed();
    if (trimmed.isEmpty() || trimmed.toLower() == u"onbekend"_s)
        return std::nullopt;
    return trimmed;
}

int priority(const Device &device)
{
    constexpr int fallback = 5;
    const Capability *capability = device.capability(u"prio"_s);
    if (!capability || !capability->value)
        return fallback;
    double reading = fallback;
    if (const auto number = capability->value->numberValue()) {
        if (std::isnan(*number))
            return fallback;
        reading = std::trunc(*number);
    } else if (const auto string = capability->value->stringValue()) {
        static const QRegularExpression integer(u"\\A[+-]?[0-9]+\\z"_s);
        if (!integer.match(*string).hasMatch())
            return fallback;
        bool ok = false;
        const qint64 parsed = string->toLongLong(&ok, 10);
        if (!ok)
            return fallback;
        reading = static_cast<double>(parsed);
    } else {
        return fallback;
    }
    if (reading < 1)
        return 1;
    if (reading > 5)
        return 5;
    return static_cast<int>(reading);
}

} // namespace

namespace P2000 {

const QSet<QString> &signature()
{
    static const QSet<QString> ids{u"p2000"_s, u"prio"_s, u"dienst"_s};
    return ids;
}

size_t qHash(const Incident &incident, size_t seed)
{
    size_t hash = qHashMulti(seed, incident.raw, incident.service, incident.priority);
    for (const auto *field :
         {&incident.category, &incident.region, &incident.city, &incident.street, &incident.vehicles})
        hash = qHashMulti(hash, field->has_value(), field->value_or(QString()));
    return hash;
}

bool isP2000Device(const Device &device)
{
    // Asked of every changed device, so the bases are compared in place rather than collected.
    const auto hasBase = [&](const QString &base) {
        return std::any_of(device.capabilities.begin(), device.capabilities.end(), [&](const auto &entry) {
            const QString &id = entry.first;
            return id.startsWith(base) && (id.size() == base.size() || id.at(base.size()) == u'.');
        });
    };
    return std::all_of(signature().begin(), signature().end(), hasBase);
}

std::optional<Incident> incident(const Device &from)
{
    const auto raw = text(from, u"p2000"_s);
    if (!raw)
        return std::nullopt;
    Incident result;
    result.raw = *raw;
    result.service = text(from, u"dienst"_s).value_or(u"Melding"_s);
    result.priority = priority(from);
    result.category = text(from, u"categorie"_s);
    result.region = text(from, u"regio"_s);
    result.city = text(from, u"stad"_s);
    result.street = text(from, u"straat"_s);
    result.vehicles = text(from, u"voertuigen"_s);
    return result;
}

QString notificationID(const QString &raw)
{
    // FNV-1a, 64 bits, over the UTF-8 bytes.
    quint64 hash = 14695981039346656037ULL;
    for (const char byte : raw.toUtf8()) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ULL;
    }
    return u"p2000:"_s + QString::number(static_cast<qint64>(hash));
}

HomeyNotification notification(const Incident &incident, const QDateTime &date)
{
    QStringList located;
    if (incident.city)
        located << *incident.city;
    if (incident.street)
        located << *incident.street;
    QString body = located.isEmpty() ? incident.raw : located.join(u", "_s);
    if (incident.region && !incident.region->isEmpty())
        body = body.isEmpty() ? *incident.region : body + u" \u00B7 "_s + *incident.region;

    QString detail = incident.raw;
    if (incident.vehicles && !incident.vehicles->isEmpty())
        detail += u"  \u00B7  "_s + *incident.vehicles;

    HomeyNotification result;
    result.id = notificationID(incident.raw);
    result.source = HomeyNotification::Source::p2000;
    result.date = date;
    result.title = incident.service + u", Prio "_s + QString::number(incident.priority);
    result.subtitle = incident.category;
    result.body = body;
    result.detail = detail;
    result.symbol = symbol(incident.service);
    result.priority = incident.priority;
    result.region = incident.region;
    result.city = incident.city;
    result.isRead = false;
    return result;
}

QString symbol(const QString &service)
{
    static const std::pair<QString, QString> table[] = {
        {u"politie"_s, u"shield"_s},     {u"ambulance"_s, u"cross.case"_s}, {u"brandweer"_s, u"flame"_s},
        {u"knrm"_s, u"lifepreserver"_s}, {u"heli"_s, u"helicopter"_s},
    };
    const QString lower = service.toLower();
    for (const auto &[contains, name] : table) {
        if (lower.contains(contains))
            return name;
    }
    return u"antenna.radiowaves.left.and.right"_s;
}

} // namespace P2000
