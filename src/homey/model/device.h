#pragma once

#include "homey/model/capability.h"
#include "homey/model/capabilityvalue.h"

#include <map>
#include <optional>
#include <QSet>
#include <QString>
#include <QStringList>

// One device of the hub, with the rules that read its free-form capabilities.
//
// Capabilities live in a std::map: equality then compares them by key, iteration is in ascending id
// order (the fallback order of the guarded-state rules), and display order is capabilityOrder's job.
struct Device {
    // Whether the device is a power source of the house or its grid meter.
    struct EnergyRole {
        enum Value { generator, gridMeter };

        constexpr EnergyRole(Value v) : value(v) {}
        constexpr operator Value() const { return value; }

        QString raw() const;
        static std::optional<EnergyRole> fromRaw(const QString &raw);

        Value value;
    };

    static QString powerCapability();

    QString id{};
    QString name{};
    QString zoneID{};
    QString deviceClass{};
    bool available = false;
    bool ready = false;
    std::optional<QString> unavailableMessage{};
    std::map<QString, Capability> capabilities{};
    QStringList capabilityOrder{};
    std::optional<QString> uiQuickAction{};
    QStringList uiComponents{};
    std::optional<double> energyW{};
    std::optional<EnergyRole> energyRole{};
    std::optional<QString> color{};

    bool operator==(const Device &) const = default;

    // Constant sets; built once, thread-safe, read-only.
    static const QSet<QString> &controlBaseCapabilities();
    static const QSet<QString> &guardedClasses();
    static const QSet<QString> &guardedCapabilities();
    static const QSet<QString> &disarmingModes();
    static const QSet<QString> &openingButtons();
    static const QSet<QString> &armingCapabilities();

    // The part before the first full stop: "onoff.output2" has the base "onoff".
    static QString baseCapability(const QString &capabilityID);
    static bool isProtected(const QString &capabilityID);
    // Whether writing value weakens the home's security. Does not look at any device, so it is
    // static; device.lowersSecurity(...) reads the same.
    static bool lowersSecurity(const QString &capability, const CapabilityValue &value);

    bool isControllable() const;
    std::optional<QString> onoffKey() const;
    std::optional<QString> dimKey() const;
    bool isDimmable() const { return dimKey().has_value(); }
    std::optional<bool> isOn() const;
    std::optional<double> dimLevel() const;
    bool hasColor() const;
    std::optional<double> temperature() const;
    std::optional<double> targetTemperature() const;
    std::optional<double> measuredPowerW() const;
    std::optional<QString> primaryAction() const;
    bool isGuarded() const;
    std::optional<QString> lockKey() const;
    std::optional<QString> armingKey() const;
    std::optional<bool> isArmed() const;
    std::optional<QString> guardedState() const;

    // Symbol image name for the device class.
    QString symbol() const;

    // The capability under id, or null.
    const Capability *capability(const QString &capabilityID) const;

private:
    std::optional<QString> switchKey(const QString &base) const;
    const Capability *switchCapability(const QString &base) const;
    std::optional<QString> firstSetableCandidate(const QSet<QString> &bases) const;
    std::optional<double> exactNumber(const QString &capabilityID) const;
};
