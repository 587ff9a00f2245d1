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
    ControlRow row(Kind::Media);
    row.m_playing = playing;
    row.m_volumeCap = volumeCap;
    return row;
}

ControlRow ControlRow::sensor(const QStringList &capabilityIDs)
{
    ControlRow row(Kind::Sensor);
    row.m_sensorIDs = capabilityIDs;
    return row;
}

QString ControlRow::id() const
{
    switch (m_kind) {
    case Kind::Toggle:
        return u"toggle:"_s + m_capability;
    case Kind::Slider:
        return u"slider:"_s + m_capability;
    case Kind::ColorTemp:
        return u"temp:"_s + m_capability;
    case Kind::Hue:
        return u"hue:"_s + m_capability;
    case Kind::Saturation:
        return u"sat:"_s + m_capability;
    case Kind::Thermostat:
        return u"therm:"_s + m_capability;
    case Kind::Media:
        return u"media:"_s + m_playing.value_or(u"-"_s) + u':' + m_volumeCap.value_or(u"-"_s);
    case Kind::Sensor:
        return u"sensor:"_s + m_sensorIDs.join(u',');
    case Kind::Action:
        return u"action:"_s + m_capability;
    case Kind::Readonly:
        return u"ro:"_s + m_capability;
    case Kind::Lock:
        return u"lock:"_s + m_capability;
    case Kind::ArmMode:
        return u"arm:"_s + m_capability;
    case Kind::OpenButton:
        return u"open:"_s + m_capability;
    }
    return {};
}

bool ControlRow::isFocusable() const
{
    return m_kind != Kind::Sensor && m_kind != Kind::Readonly;
}

std::optional<QString> ControlRow::adjustableCapability() const
{
    switch (m_kind) {
    case Kind::Slider:
    case Kind::ColorTemp:
    case Kind::Hue:
    case Kind::Saturation:
    case Kind::Thermostat:
        return m_capability;
    default:
        return std::nullopt;
    }
}

std::optional<QString> ControlRow::choiceCapability() const
{
    if (m_kind == Kind::ArmMode)
        return m_capability;
    return std::nullopt;
}

bool ControlRow::isGuardedRow() const
{
    return m_kind == Kind::Lock || m_kind == Kind::ArmMode || m_kind == Kind::OpenButton;
}

size_t qHash(const ControlRow &row, size_t seed) noexcept
{
    size_t hash = ValueHash::combine(seed, qHash(int(row.kind())));
    hash = ValueHash::combine(hash, qHash(row.capability()));
    hash = ValueHash::combine(hash, ValueHash::optional(row.playing(), 0));
    hash = ValueHash::combine(hash, ValueHash::optional(row.volumeCap(), 0));
    return ValueHash::combine(hash, qHash(row.sensorIDs()));
}
