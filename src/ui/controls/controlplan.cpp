#include "ui/controls/controlplan.h"

#include "ui/controls/capabilitywriter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

using Kind = ControlRow::Kind;

class Planner {
public:
    Planner(const Device &device, const CapabilityWriter &writer) : m_device(device), m_writer(writer)
    {
        if (!device.capabilityOrder.isEmpty()) {
            m_order = device.capabilityOrder;
        } else {
            // The map iterates in ascending id order.
            for (const auto &entry : device.capabilities)
                m_order.append(entry.first);
        }
    }

    QList<ControlRow> run()
    {
        static const QStringList defaults{u"toggle"_s, u"slider"_s, u"sensor"_s};
        const QStringList components = m_device.uiComponents.isEmpty() ? defaults : m_device.uiComponents;
        for (const QString &component : components)
            add(component);
        m_rows.append(m_tail);
        addPrimaryAction();
        addLastResort();
        return m_rows;
    }

private:
    const Capability *capability(const QString &id) const { return m_device.capability(id); }
    bool setable(const QString &id) const
    {
        const Capability *found = capability(id);
        return found && found->setable;
    }
    bool isBoolean(const QString &id) const
    {
        const Capability *found = capability(id);
        return found && found->kind == Capability::Kind::boolean;
    }

    // Ids in capability order that the device has, no row uses yet, and whose base passes the test.
    QStringList caps(const std::function<bool(const QString &base)> &test) const
    {
        QStringList found;
        for (const QString &id : m_order) {
            if (capability(id) && !m_used.contains(id) && test(capabilityBase(id)))
                found.append(id);
        }
        return found;
    }
    QStringList setableCaps(const QSet<QString> &bases) const
    {
        QStringList found;
        for (const QString &id : caps([&](const QString &base) { return bases.contains(base); })) {
            if (setable(id))
                found.append(id);
        }
        return found;
    }

    ControlRow rowFor(Kind kind, const QString &id) const
    {
        return ControlRow::single(m_writer.handles(id) ? kind : Kind::Readonly, id);
    }
    void appendAll(Kind kind, const QSet<QString> &bases, QList<ControlRow> &into)
    {
        for (const QString &id : setableCaps(bases)) {
            m_used.insert(id);
            into.append(rowFor(kind, id));
        }
    }

    void add(const QString &component)
    {
        if (component == u"toggle") {
            appendAll(Kind::Toggle, {u"onoff"_s}, m_rows);
            appendAll(Kind::Lock, {u"locked"_s}, m_rows);
        } else if (component == u"slider") {
            appendAll(Kind::Slider, {u"dim"_s, u"volume_set"_s, u"windowcoverings_set"_s}, m_rows);
        } else if (component == u"color") {
            appendAll(Kind::ColorTemp, {u"light_temperature"_s}, m_rows);
            appendAll(Kind::Hue, {u"light_hue"_s}, m_rows);
            appendAll(Kind::Saturation, {u"light_saturation"_s}, m_rows);
            for (const QString &id : caps([](const QString &base) { return base == u"light_mode"; }))
                m_used.insert(id);
        } else if (component == u"thermostat") {
            appendAll(Kind::Thermostat, {u"target_temperature"_s}, m_rows);
        } else if (component == u"media") {
            addMedia();
        } else if (component == u"sensor" || component == u"battery") {
            addSensors();
        } else if (component == u"button" || component == u"picker" || component == u"ternary") {
            addButtons();
        }
    }

    void addMedia()
    {
        std::optional<QString> playing;
        std::optional<QString> volume;
        for (const QString &id : m_order) {
            if (!playing && capabilityBase(id) == u"speaker_playing" && setable(id))
                playing = id;
            if (!volume && capabilityBase(id) == u"volume_set" && setable(id) && !m_used.contains(id))
                volume = id;
        }
        if (!playing)
            return;
        const bool playHandled = m_writer.handles(*playing);
        const bool volumeHandled = volume && m_writer.handles(*volume);
        if (!playHandled && !volumeHandled) {
            m_used.insert(*playing);
            m_rows.append(ControlRow::single(Kind::Readonly, *playing));
            return;
        }
        m_used.insert(*playing);
        if (volume)
            m_used.insert(*volume);
        m_rows.append(
            ControlRow::media(playHandled ? playing : std::nullopt, volumeHandled ? volume : std::nullopt));
    }

    void addSensors()
    {
        QStringList readings;
        for (const QString &id : caps([](const QString &) { return true; })) {
            const Capability *found = capability(id);
            if (found->getable && !found->setable)
                readings.append(id);
        }
        if (readings.isEmpty())
            return;
        for (const QString &id : readings)
            m_used.insert(id);
        m_rows.append(ControlRow::sensor(readings));
    }

    void addButtons()
    {
        for (const QString &id : setableCaps(Device::armingCapabilities())) {
            m_used.insert(id);
            const bool choosable = m_writer.handles(id) && !capability(id)->options.isEmpty();
            m_rows.append(ControlRow::single(choosable ? Kind::ArmMode : Kind::Readonly, id));
        }
        appendAll(Kind::OpenButton, Device::openingButtons(), m_tail);
        const std::optional<QString> quick = m_device.uiQuickAction;
        if (quick && !m_used.contains(*quick) && setable(*quick) && isBoolean(*quick)) {
            m_used.insert(*quick);
            m_rows.append(rowFor(Kind::Action, *quick));
        }
    }

    void addPrimaryAction()
    {
        if (std::any_of(m_rows.begin(), m_rows.end(),
                        [](const ControlRow &row) { return row.isFocusable(); }))
            return;
        const std::optional<QString> primary = m_device.primaryAction();
        // An action button writes on or off: anything else would get a bool it cannot take.
        if (!primary || m_used.contains(*primary) || !isBoolean(*primary))
            return;
        m_used.insert(*primary);
        m_rows.prepend(rowFor(Kind::Action, *primary));
    }

    void addLastResort()
    {
        if (!m_rows.isEmpty())
            return;
        QStringList readable;
        for (const QString &id : m_order) {
            const Capability *found = capability(id);
            if (found && found->getable)
                readable.append(id);
        }
        if (!readable.isEmpty())
            m_rows.append(ControlRow::sensor(readable));
    }

    const Device &m_device;
    const CapabilityWriter &m_writer;
    QStringList m_order;
    QSet<QString> m_used;
    QList<ControlRow> m_rows;
    QList<ControlRow> m_tail;
};

} // namespace

QList<ControlRow> ControlPlan::rows(const Device &device, const CapabilityWriter &writer)
{
    return Planner(device, writer).run();
}

QList<int> ControlPlan::focusable(const QList<ControlRow> &rows)
{
    QList<int> indices;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].isFocusable())
            indices.append(i);
    }
    return indices;
}

double ControlPlan::step(const QString &capabilityID, bool coarse)
{
    const QString base = capabilityBase(capabilityID);
    if (base == u"light_hue")
        return coarse ? 0.1 : 0.02;
    if (base == u"target_temperature")
        return coarse ? 2.0 : 0.5;
    return coarse ? 0.25 : 0.05;
}

std::optional<double> ControlPlan::stepped(const Device &device, const QString &capabilityID, int dir,
                                           bool coarse)
{
    const Capability *capability = device.capability(capabilityID);
    if (!capability)
        return std::nullopt;
    const double lo = capability->min.value_or(0);
    const double hi = capability->max.value_or(1);
    // A range the hub got backwards, or one that is not a number, leaves nothing to step through.
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi < lo)
        return std::nullopt;
    double size = step(capabilityID, coarse);
    if (capabilityBase(capabilityID) != u"target_temperature")
        size *= hi - lo;
    const std::optional<double> value = capability->value ? capability->value->numberValue() : std::nullopt;
    const double current = value && std::isfinite(*value) ? *value : lo;
    return std::clamp(current + size * dir, lo, hi);
}
