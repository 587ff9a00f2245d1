#include "ui/controls/controlrow.h"

#include "homey/model/valuehash.h"

using namespace Qt::StringLiterals;

ControlRow ControlRow::single(Kind kind, const QString &capabilityID)
{
    ControlRow row(kind);
    row.m_capability = capabilityID;
    return row;
}

ControlRow ControlRow::media(const std::optional<QString> &playing, const std::optional<QString> &volumeCap)
{
    ControlRow row(Kind::media);
    row.m_playing = playing;
    row.m_volumeCap = volumeCap;
    return row;
}

ControlRow ControlRow::sensor(const QStringList &capabilityIDs)
{
    ControlRow row(Kind::sensor);
    row.m_sensorIDs = capabilityIDs;
    return row;
}

QString ControlRow::id() const
{
    switch (m_kind) {
    case Kind::toggle:
        return u"toggle:"_s + m_capability;
    case Kind::slider:
        return u"slider:"_s + m_capability;
    case Kind::colorTemp:
        return u"temp:"_s + m_capability;
    case Kind::hue:
        return u"hue:"_s + m_capability;
    case Kind::saturation:
        return u"sat:"_s + m_capability;
    case Kind::thermostat:
        return u"therm:"_s + m_capability;
    case Kind::media:
        return u"media:"_s + m_playing.value_or(u"-"_s) + u':' + m_volumeCap.value_or(u"-"_s);
    case Kind::sensor:
        return u"sensor:"_s + m_sensorIDs.join(u',');
    case Kind::action:
        return u"action:"_s + m_capability;
    case Kind::readonly:
        return u"ro:"_s + m_capability;
    case Kind::lock:
        return u"lock:"_s + m_capability;
    case Kind::armMode:
        return u"arm:"_s + m_capability;
    case Kind::openButton:
        return u"open:"_s + m_capability;
    }
    return {};
}

bool ControlRow::isFocusable() const
{
    return m_kind != Kind::sensor && m_kind != Kind::readonly;
}

std::optional<QString> ControlRow::adjustableCapability() const
{
    switch (m_kind) {
    case Kind::slider:
    case Kind::colorTemp:
    case Kind::hue:
    case Kind::saturation:
    case Kind::thermostat:
        return m_capability;
    default:
        return std::nullopt;
    }
}

std::optional<QString> ControlRow::choiceCapability() const
{
    if (m_kind == Kind::armMode)
        return m_capability;
    return std::nullopt;
}

bool ControlRow::isGuardedRow() const
{
    return m_kind == Kind::lock || m_kind == Kind::armMode || m_kind == Kind::openButton;
}

size_t qHash(const ControlRow &row, size_t seed) noexcept
{
    size_t hash = ValueHash::combine(seed, qHash(int(row.kind())));
    hash = ValueHash::combine(hash, qHash(row.capability()));
    hash = ValueHash::combine(hash, ValueHash::optional(row.playing(), 0));
    hash = ValueHash::combine(hash, ValueHash::optional(row.volumeCap(), 0));
    return ValueHash::combine(hash, qHash(row.sensorIDs()));
}
