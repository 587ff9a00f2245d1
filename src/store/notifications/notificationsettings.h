#pragma once

#include "base/settingsstore.h"
#include "homey/model/homeynotification.h"

#include <functional>
#include <QSet>
#include <QString>
#include <QStringList>

// Which notifications the feed collects and how their banners are shown, stored under "notify.*".
struct NotificationSettings {
    bool pushEnabled = true;
    QSet<HomeyNotification::Source> enabledSources = standardSources();
    int p2000MaxPriority = 2;
    QSet<QString> p2000Regions;
    QSet<QString> p2000Cities;
    bool timeSensitiveForPrio1 = true;

    bool operator==(const NotificationSettings &) const = default;

    static NotificationSettings standard() { return {}; }
    static NotificationSettings load(const SettingsStore &store);
    void save(SettingsStore &store) const;

    // A comma-separated field into its trimmed, non-empty pieces.
    static QSet<QString> split(const QString &text);

    static bool regionsInitialised(const SettingsStore &store);
    static void markRegionsInitialised(SettingsStore &store);
    static QStringList shownIDs(const SettingsStore &store);
    static void saveShownIDs(const QStringList &ids, SettingsStore &store);
    // ids is asked for the list when the store needs it, on the thread that reads or writes.
    static void saveShownIDs(std::function<QStringList()> ids, SettingsStore &store);

    // Raw values (or texts) sorted by plain text comparison, as stored and logged.
    static QStringList sortedRaw(const QSet<HomeyNotification::Source> &sources);
    static QStringList sorted(const QSet<QString> &texts);

private:
    static QSet<HomeyNotification::Source> standardSources();
};
