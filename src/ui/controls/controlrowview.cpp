#include "ui/controls/controlrowview.h"

#include "ui/controls/controlnumbers.h"
#include "ui/controls/controlplan.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/fmt.h"

#include <cmath>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

using Kind = ControlRow::Kind;

const QString confirmText = u"Zeker weten? Nogmaals"_s;

class Builder {
public:
    Builder(const Device &device, const ControlRow &row, bool focused, const GuardGate *gate,
            const LevelCoalescer *coalescer)
        : d(device), r(row), m_gate(gate), m_coalescer(coalescer)
    {
        v.kind = row.kind();
        v.rowId = row.id();
        v.capability = row.capability();
        v.focusable = row.isFocusable();
        v.focused = focused && v.focusable;
    }

    ControlRowView build()
    {
        const QString &cap = r.capability();
        switch (r.kind()) {
        case Kind::Toggle:
            toggle(cap);
            break;
        case Kind::Slider:
            level(cap, u"warm"_s);
            break;
        case Kind::ColorTemp:
            level(cap, u"temperature"_s);
            break;
        case Kind::Hue:
            level(cap, u"hue"_s);
            break;
        case Kind::Saturation:
            level(cap, u"saturation"_s);
            break;
        case Kind::Thermostat:
            thermostat(cap);
            break;
        case Kind::Media:
            media();
            break;
        case Kind::Sensor:
            sensor();
            break;
        case Kind::Action:
            action(cap);
            break;
        case Kind::Readonly:
            readonly(cap);
            break;
        case Kind::Lock:
            lock(cap);
            break;
        case Kind::ArmMode:
            armMode(cap);
            break;
        case Kind::OpenButton:
            openButton(cap);
            break;
        }
        if (!v.focused)
            v.keyHints.clear();
        return v;
    }

private:
    const Capability *capability(const QString &id) const { return d.capability(id); }
    QString titleOf(const QString &id, const QString &fallback) const
    {
        const Capability *found = capability(id);
        return found && !found->title.isEmpty() ? found->title : fallback;
    }
    std::optional<bool> boolOf(const QString &id) const
    {
        const Capability *found = capability(id);
        return found && found->value ? found->value->boolValue() : std::nullopt;
    }
    bool isArmed(const QString &id, const CapabilityValue &value) const
    {
        return m_gate && m_gate->isArmed(d.id, id, value);
    }
    // The bar's fraction: where a drag has got to, else where the store's value stands.
    double barFraction(const QString &id, std::optional<double> *dragged = nullptr) const
    {
        const std::optional<double> pending = m_coalescer ? m_coalescer->pending(d.id, id) : std::nullopt;
        if (dragged)
            *dragged = pending;
        if (pending) {
            if (const auto place = ControlNumbers::place(d, id, *pending))
                return *place;
        }
        return ControlNumbers::fraction(d, id).value_or(0);
    }
    void press(const QString &id, const CapabilityValue &value)
    {
        v.pressCapability = id;
        v.pressValue = value;
    }
    // A button whose write may need a second press.
    void guardedButton(const QString &id, const QString &title, const CapabilityValue &value)
    {
        press(id, value);
        v.hasButton = true;
        v.armed = isArmed(id, value);
        v.buttonText = v.armed ? confirmText : title;
        v.accessibleName = v.armed ? u"Bevestig: "_s + title : title;
        if (v.armed)
            v.accessibleHint = u"Druk nogmaals om uit te voeren"_s;
        else if (Device::lowersSecurity(id, value))
            v.accessibleHint = u"Vraagt een bevestiging"_s;
    }

    // The arrow keys' caps, where a step of theirs writes something.
    void arrowKeys(const QString &cap)
    {
        if (ControlPlan::stepped(d, cap, 1, false))
            v.keyHints = {u"←"_s, u"→"_s};
    }

    void toggle(const QString &cap)
    {
        v.title = titleOf(cap, u"Aan/uit"_s);
        v.enabled = true;
        v.on = boolOf(cap) == true;
        v.stateText = v.on ? u"aan"_s : u"uit"_s;
        press(cap, CapabilityValue::fromBool(!v.on));
        v.keyHints = {u"␣"_s};
        v.accessibleName = v.title;
        v.accessibleValue = v.stateText;
    }

    void level(const QString &cap, const QString &tint)
    {
        std::optional<double> dragged;
        const double f = barFraction(cap, &dragged);
        v.title = titleOf(cap, cap);
        v.enabled = ControlNumbers::hasRange(d, cap);
        v.bar = true;
        v.barCapability = cap;
        v.value = f;
        v.on = f > 0;
        v.tint = tint;
        if (tint == u"hue") {
            v.tintHue = f;
            v.swatchSaturation = ControlNumbers::fraction(d, u"light_saturation"_s).value_or(1);
        } else {
            v.readout = ControlNumbers::readout(d, cap, f, dragged);
            if (tint == u"saturation")
                v.tintHue = ControlNumbers::fraction(d, u"light_hue"_s).value_or(0.08);
        }
        arrowKeys(cap);
        v.accessibleName = v.title;
        v.accessibleValue = Fmt::percent(f);
    }

    void thermostat(const QString &cap)
    {
        v.title = titleOf(cap, u"Streeftemperatuur"_s);
        v.enabled = true;
        v.value = ControlNumbers::number(d, cap).value_or(20.0);
        v.readout = Fmt::celsius(v.value);
        if (const auto measured = d.temperature(); measured && std::isfinite(*measured))
            v.detail = u"nu "_s + Fmt::celsius(*measured);
        v.lowerText = u"Kouder"_s;
        v.raiseText = u"Warmer"_s;
        arrowKeys(cap);
        v.accessibleName = v.title;
        v.accessibleValue = v.readout;
    }

    void media()
    {
        v.title = u"Afspelen"_s;
        if (const auto &playing = r.playing()) {
            v.hasButton = true;
            v.on = boolOf(*playing) == true;
            v.symbol = v.on ? u"pause.fill"_s : u"play.fill"_s;
            v.buttonText = v.on ? u"Pauzeer"_s : u"Speel af"_s;
            press(*playing, CapabilityValue::fromBool(!v.on));
            v.keyHints = {u"␣"_s};
        }
        if (const auto &volume = r.volumeCap()) {
            const double f = barFraction(*volume);
            v.bar = true;
            v.barCapability = volume;
            v.value = f;
            v.tint = u"warm"_s;
            v.readout = Fmt::percent(f);
            v.accessibleName = u"Volume"_s;
            v.accessibleValue = v.readout;
        }
        v.enabled = v.hasButton || v.bar;
    }

    void sensor()
    {
        for (const QString &id : r.sensorIDs()) {
            const Capability *found = capability(id);
            if (!found)
                continue;
            v.chips.append(
                QVariantMap{{u"id"_s, id}, {u"title"_s, titleOf(id, id)}, {u"value"_s, Fmt::value(*found)}});
        }
    }

    void action(const QString &cap)
    {
        v.title = titleOf(cap, u"Uitvoeren"_s);
        v.enabled = true;
        v.on = boolOf(cap) == true;
        // Whatever row makes a write that lowers security, it takes the second press.
        guardedButton(cap, v.on ? u"Uitschakelen"_s : u"Uitvoeren"_s, CapabilityValue::fromBool(!v.on));
        v.prominent = true;
        v.keyHints = {u"⏎"_s};
    }

    void readonly(const QString &cap)
    {
        const Capability *found = capability(cap);
        v.title = titleOf(cap, cap);
        v.detail = u"alleen lezen"_s;
        const QString shown = found ? Fmt::value(*found) : u"-"_s;
        const std::optional<double> f = ControlNumbers::fraction(d, cap);
        if (f && found->kind == Capability::Kind::number) {
            v.bar = true;
            v.value = *f;
            v.tint = u"neutral"_s;
            v.readout = ControlNumbers::readout(d, cap, *f);
        } else {
            v.readout = shown;
        }
        v.accessibleName = v.title;
        v.accessibleValue = shown;
    }

    void lock(const QString &cap)
    {
        const std::optional<bool> locked = boolOf(cap);
        v.title = u"Slot"_s;
        v.enabled = true;
        v.on = locked == true;
        v.symbol = v.on ? u"lock.fill"_s : u"lock.open"_s;
        v.stateText = !locked ? u"Onbekend"_s : (*locked ? u"Op slot"_s : u"Ontgrendeld"_s);
        // An unknown lock is offered locking: that never needs a confirmation.
        guardedButton(cap, v.on ? u"Ontgrendelen"_s : u"Op slot doen"_s, CapabilityValue::fromBool(!v.on));
        v.prominent = !v.on;
        v.keyHints = {u"⏎"_s};
    }

    void armMode(const QString &cap)
    {
        const Capability *found = capability(cap);
        v.title = titleOf(cap, u"Beveiliging"_s);
        v.enabled = true;
        v.on = d.isArmed() == true;
        v.symbol = v.on ? u"shield.fill"_s : u"shield.slash"_s;
        v.stateText = v.on ? u"Ingeschakeld"_s : u"Uitgeschakeld"_s;
        if (!found)
            return;
        v.detail = found->optionTitle().value_or(QString());
        const std::optional<QString> current = found->value ? found->value->stringValue() : std::nullopt;
        const std::optional<QString> cursor = m_gate ? m_gate->cursor(d, cap) : current;
        for (const Capability::Option &option : found->options) {
            const CapabilityValue value = CapabilityValue::fromString(option.id);
            const bool armed = isArmed(cap, value);
            const bool isCurrent = option.id == current;
            v.armed = v.armed || armed;
            QString hint;
            if (armed)
                hint = u"Druk nogmaals om te bevestigen"_s;
            else if (Device::lowersSecurity(cap, value))
                hint = u"Schakelt de beveiliging uit, vraagt een bevestiging"_s;
            v.chips.append(QVariantMap{
                {u"id"_s, option.id},
                {u"title"_s, option.title},
                {u"text"_s, armed ? option.title + u" · nogmaals?"_s : option.title},
                {u"current"_s, isCurrent},
                {u"cursor"_s, v.focused && option.id == cursor},
                {u"armed"_s, armed},
                {u"accessibleValue"_s, isCurrent ? u"huidige stand"_s : QString()},
                {u"accessibleHint"_s, hint},
            });
        }
        // Return chooses the mode under the cursor.
        if (cursor)
            press(cap, CapabilityValue::fromString(*cursor));
        v.keyHints = {u"←"_s, u"→"_s, u"⏎"_s};
    }

    void openButton(const QString &cap)
    {
        v.title = titleOf(cap, u"Openen"_s);
        v.enabled = true;
        v.detail = u"vraagt een bevestiging"_s;
        guardedButton(cap, v.title, CapabilityValue::fromBool(true));
        v.keyHints = {u"⏎"_s};
    }

    const Device &d;
    const ControlRow &r;
    const GuardGate *m_gate;
    const LevelCoalescer *m_coalescer;
    ControlRowView v;
};

} // namespace

ControlRowView ControlRowView::make(const Device &device, const ControlRow &row, bool focused,
                                    const GuardGate *gate, const LevelCoalescer *coalescer)
{
    return Builder(device, row, focused, gate, coalescer).build();
}
