#pragma once

#include "app/hotkeycombo.h"
#include "base/settingsstore.h"

#include <optional>
#include <QRectF>
#include <QString>

// The application's own settings. Nothing is kept in memory: every read sees the last write.
namespace Settings {

inline const QString hotKeyCodeKey = QStringLiteral("hotkey.keyCode");
inline const QString hotKeyModifiersKey = QStringLiteral("hotkey.modifiers");
inline const QString panelFrameKey = QStringLiteral("panel.frame");
inline const QString launchCountKey = QStringLiteral("app.launchCount");
inline const QString noTrayNoticeShownKey = QStringLiteral("tray.noticeShown");

// A smaller saved panel frame is not used.
inline constexpr double minimumPanelWidth = 620;
inline constexpr double minimumPanelHeight = 420;

// The isolated onboarding run's own suite, else the standard one (for every other test run too).
SettingsStore defaults();

// The standard combination when nothing usable is stored or the stored one has no modifier.
HotKeyCombo hotKey(const SettingsStore &store = defaults());
void setHotKey(const HotKeyCombo &combo, SettingsStore store = defaults());

// The saved frame when it parses and is at least the minimum size; nullopt removes it.
std::optional<QRectF> panelFrame(const SettingsStore &store = defaults());
void setPanelFrame(const std::optional<QRectF> &frame, SettingsStore store = defaults());

// Counts this launch and returns the count, 1 for the first.
qint64 bumpLaunchCount(SettingsStore store = defaults());

// Whether the notice about a desktop without a tray was shown; it is shown once.
bool noTrayNoticeShown(const SettingsStore &store = defaults());
void setNoTrayNoticeShown(SettingsStore store = defaults());

// The frame's text form "{{x, y}, {w, h}}", and back; nullopt for text of another shape.
QString frameText(const QRectF &frame);
std::optional<QRectF> frameFromText(const QString &text);

} // namespace Settings
