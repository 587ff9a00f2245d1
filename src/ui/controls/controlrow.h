#pragma once

#include <optional>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

// One row of a device's control strip: what kind of control it is and the capability ids it acts on,
// always full ids ("onoff.output2", not "onoff").
class ControlRow {
    Q_GADGET

public:
    // The declaration order is the order hashing feeds first.
    enum class Kind {
        Toggle,
        Slider,
        ColorTemp,
        Hue,
        Saturation,
        Thermostat,
        Media,
        Sensor,
        Action,
        Readonly,
        Lock,
        ArmMode,
        OpenButton
    };
    Q_ENUM(Kind)

    // Every kind except media and sensor, which carry their own payloads.
    static ControlRow single(Kind kind, const QString &capabilityID);
    static ControlRow media(const std::optional<QString> &playing, const std::optional<QString> &volumeCap);
    static ControlRow sensor(const QStringList &capabilityIDs);

    Kind kind() const { return m_kind; }
    // The payload of a single-capability row; empty for media and sensor rows.
    const QString &capability() const { return m_capability; }
    const std::optional<QString> &playing() const { return m_playing; }
    const std::optional<QString> &volumeCap() const { return m_volumeCap; }
    const QStringList &sensorIDs() const { return m_sensorIDs; }

    // The row's identity in a list: a kind prefix and the payload.
    QString id() const;
    bool isFocusable() const;
    std::optional<QString> adjustableCapability() const;
    std::optional<QString> choiceCapability() const;
    // Its writes go through the confirmation gate.
    bool isGuardedRow() const;

    bool operator==(const ControlRow &) const = default;

private:
    explicit ControlRow(Kind kind) : m_kind(kind) {}

    Kind m_kind;
    QString m_capability;
    std::optional<QString> m_playing;
    std::optional<QString> m_volumeCap;
    QStringList m_sensorIDs;
};

// The kinds of row by name in QML: ControlRow.Toggle, ControlRow.Slider and so on.
namespace ControlRowForeign {
Q_NAMESPACE
QML_NAMED_ELEMENT(ControlRow)
QML_FOREIGN_NAMESPACE(ControlRow)
} // namespace ControlRowForeign

size_t qHash(const ControlRow &row, size_t seed = 0) noexcept;
