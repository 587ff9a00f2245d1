#pragma once

#include "base/async/canceltoken.h"
#include "base/async/clock.h"
#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class CapabilityWriter;

// Asks for a second press before a write that lowers security (unlocking, opening, disarming): the
// first press only arms the gate for a few seconds, the same press again sends. Writes that do not
// lower security pass at once. Also keeps the option under the keyboard cursor of each alarm-mode row.
// One gate lives as long as the palette; it is used on the main thread only.
class GuardGate final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool hasArmed READ hasArmed NOTIFY armedChanged)

public:
    struct Armed {
        QString deviceID;
        QString capabilityID;
        CapabilityValue value;
        bool operator==(const Armed &) const = default;
    };

    static constexpr std::chrono::milliseconds window{4000};

    explicit GuardGate(std::shared_ptr<Clock> clock = Clock::system(), QObject *parent = nullptr);
    ~GuardGate() override;

    const std::optional<Armed> &armed() const { return m_armed; }
    bool hasArmed() const { return m_armed.has_value(); }

    // True when the write was sent, false when the press only armed the gate or was ignored. A press
    // from a held key (autoRepeat) never arms and never confirms: a confirmation takes a fresh press.
    bool press(const Device &device, const QString &capabilityID, const CapabilityValue &value,
               const std::shared_ptr<CapabilityWriter> &writer, bool autoRepeat = false);
    bool isArmed(const QString &deviceID, const QString &capabilityID, const CapabilityValue &value) const;
    void reset();

    // The option id under the cursor of this device's capability; none when it has no options.
    std::optional<QString> cursor(const Device &device, const QString &capabilityID) const;
    // Moving the cursor disarms.
    void setCursor(const Device &device, const QString &capabilityID, const QString &optionID);
    // By delta places, stopping at the first and last option.
    void moveCursor(const Device &device, const QString &capabilityID, int delta);

    // "bool(false)", "number(0.5)", "string("disarmed")", "none".
    static QString describe(const CapabilityValue &value);

Q_SIGNALS:
    void armedChanged();
    void cursorsChanged();

private:
    void setArmed(std::optional<Armed> armed);
    void cancelExpiry();
    static QCoro::Task<> expire(QPointer<GuardGate> gate, Armed write, std::shared_ptr<Clock> clock,
                                CancelToken token);

    const std::shared_ptr<Clock> m_clock;
    std::optional<Armed> m_armed;
    QHash<QString, QString> m_cursors;
    std::optional<CancelToken> m_expiry;
};
