#pragma once

#include <array>
#include <optional>
#include <QObject>
#include <QVariant>

class DesktopSettings;
class MotionPreference;

// Follows the desktop's wish for reduced motion, as its settings say it. Where the desktop says nothing,
// the preference stays off.
class DesktopMotionSetting : public QObject {
    Q_OBJECT

public:
    // Starts reading at once; the answers arrive asynchronously.
    DesktopMotionSetting(MotionPreference *preference, DesktopSettings &settings);

    // What one desktop setting says about reduced motion, or nothing when it is not one of ours or
    // carries an unexpected type.
    static std::optional<bool> interpret(const QString &group, const QString &key, const QVariant &value);

private:
    void take(std::size_t source, std::optional<bool> reduced);

    MotionPreference *m_preference;
    // The portal's own key first, then GNOME's and KDE's; the first that answered decides.
    std::array<std::optional<bool>, 3> m_answers{};
};
