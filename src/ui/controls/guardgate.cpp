#include "ui/controls/guardgate.h"

#include "base/log.h"
#include "ui/controls/capabilitywriter.h"

#include <algorithm>
#include <cmath>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QString cursorKey(const QString &deviceID, const QString &capabilityID)
{
    return deviceID + u'|' + capabilityID;
}

QList<Capability::Option> optionsOf(const Device &device, const QString &capabilityID)
{
    const Capability *capability = device.capability(capabilityID);
    return capability ? capability->options : QList<Capability::Option>();
}

} // namespace

GuardGate::GuardGate(std::shared_ptr<Clock> clock, QObject *parent)
    : QObject(parent), m_clock(std::move(clock))
{}

GuardGate::~GuardGate()
{
    cancelExpiry();
}

bool GuardGate::press(const Device &device, const QString &capabilityID, const CapabilityValue &value,
                      const std::shared_ptr<CapabilityWriter> &writer, bool autoRepeat)
{
    const Armed write{device.id, capabilityID, value};
    if (Device::lowersSecurity(capabilityID, value)) {
        if (autoRepeat)
            return false;
        if (m_armed != write) {
            setArmed(write);
            cancelExpiry();
            m_expiry = CancelToken();
            expire(this, write, m_clock, *m_expiry);
            log(u"bevestiging gevraagd: "_s + device.name + u' ' + capabilityID + u" -> "_s +
                describe(value) + u". Niets verstuurd."_s);
            return false;
        }
    }
    reset();
    if (writer)
        CapabilityWriter::send(writer, device.id, capabilityID, value);
    return true;
}

bool GuardGate::isArmed(const QString &deviceID, const QString &capabilityID,
                        const CapabilityValue &value) const
{
    return m_armed == Armed{deviceID, capabilityID, value};
}

void GuardGate::reset()
{
    setArmed(std::nullopt);
    cancelExpiry();
}

std::optional<QString> GuardGate::cursor(const Device &device, const QString &capabilityID) const
{
    const QList<Capability::Option> options = optionsOf(device, capabilityID);
    if (options.isEmpty())
        return std::nullopt;
    const auto stored = m_cursors.constFind(cursorKey(device.id, capabilityID));
    if (stored != m_cursors.constEnd()) {
        const bool offered =
            std::any_of(options.begin(), options.end(),
                        [&](const Capability::Option &option) { return option.id == *stored; });
        if (offered)
            return *stored;
    }
    const Capability *capability = device.capability(capabilityID);
    if (const auto current = capability->value ? capability->value->stringValue() : std::nullopt)
        return current;
    return options.first().id;
}

void GuardGate::setCursor(const Device &device, const QString &capabilityID, const QString &optionID)
{
    const QString key = cursorKey(device.id, capabilityID);
    const bool changed = m_cursors.value(key) != optionID || !m_cursors.contains(key);
    m_cursors.insert(key, optionID);
    if (changed)
        Q_EMIT cursorsChanged();
    reset();
}

void GuardGate::moveCursor(const Device &device, const QString &capabilityID, int delta)
{
    const QList<Capability::Option> options = optionsOf(device, capabilityID);
    if (options.isEmpty())
        return;
    const std::optional<QString> current = cursor(device, capabilityID);
    qsizetype index = 0;
    for (qsizetype i = 0; current && i < options.size(); ++i) {
        if (options[i].id == *current)
            index = i;
    }
    index = std::clamp<qsizetype>(index + delta, 0, options.size() - 1);
    setCursor(device, capabilityID, options[index].id);
}

QString GuardGate::describe(const CapabilityValue &value)
{
    if (const auto on = value.boolValue())
        return *on ? u"bool(true)"_s : u"bool(false)"_s;
    if (const auto number = value.numberValue()) {
        QString text = QString::number(*number, 'g', QLocale::FloatingPointShortest);
        // Whole numbers keep one fraction digit, as a double prints.
        if (std::isfinite(*number) && !text.contains(u'.') && !text.contains(u'e'))
            text += u".0"_s;
        return u"number("_s + text + u')';
    }
    if (const auto text = value.stringValue())
        return u"string(\""_s + *text + u"\")"_s;
    return u"none"_s;
}

void GuardGate::setArmed(std::optional<Armed> armed)
{
    if (m_armed == armed)
        return;
    m_armed = std::move(armed);
    Q_EMIT armedChanged();
}

void GuardGate::cancelExpiry()
{
    if (m_expiry) {
        m_expiry->cancel();
        m_expiry.reset();
    }
}

QCoro::Task<> GuardGate::expire(QPointer<GuardGate> gate, Armed write, std::shared_ptr<Clock> clock,
                                CancelToken token)
{
    const bool elapsed = co_await clock->sleep(window, token);
    // A newer press owns the gate now, or the gate is gone.
    if (!elapsed || token.isCancelled() || !gate || gate->m_armed != write)
        co_return;
    gate->setArmed(std::nullopt);
}
