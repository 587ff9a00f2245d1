#pragma once

#include <array>
#include <optional>
#include <QDBusVariant>
#include <QObject>
#include <QVariant>

class MotionPreference;

// Reads the desktop's wish for reduced motion through the settings portal and follows its changes.
// Without a session bus or a portal it says nothing, and the preference stays off.
class DesktopMotionSetting : public QObject {
    Q_OBJECT

public:
    // Starts reading at once; the answers arrive asynchronously.
    explicit DesktopMotionSetting(MotionPreference *preference);

    // What one portal setting says about reduced motion, or nothing when it is not one of ours or
    // carries an unexpected type.
    static std::optional<bool> interpret(const QString &group, const QString &key, const QVariant &value);

private Q_SLOTS:
    void onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void take(std::size_t source, std::optional<bool> reduced);

    MotionPreference *m_preference;
    // The portal's own key first, then GNOME's and KDE's; the first that answered decides.
    std::array<std::optional<bool>, 3> m_answers{};
};
