#pragma once

#include <optional>
#include <QObject>

// Whether the user asked for reduced motion. The desktop's setting feeds it; the environment variable
// QUORVANE_REDUCE_MOTION ("1" or "0") overrides the desktop, so tests and snapshots get stable frames.
class MotionPreference : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool reduced READ reduced NOTIFY reducedChanged)

public:
    explicit MotionPreference(QObject *parent = nullptr);
    MotionPreference(std::optional<bool> override, QObject *parent);

    // "1", "true", "yes" and "on" reduce; "0", "false", "no" and "off" do not; anything else is no override.
    static std::optional<bool> parseOverride(const QString &text);

    bool reduced() const { return m_override.value_or(m_desktop); }
    // What the desktop says, as last read; it counts only while no override is set.
    void setDesktopReduced(bool reduced);

Q_SIGNALS:
    void reducedChanged();

private:
    std::optional<bool> m_override;
    bool m_desktop = false;
};
