#pragma once

#include "base/settingsstore.h"
#include "homey/model/homeynotification.h"
#include "homey/model/rawnotification.h"
#include "store/notifications/notificationsettings.h"
#include "store/notifications/p2000.h"

#include <functional>
#include <memory>
#include <mutex>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

// The home's notifications in one short list: timeline entries and P2000 incidents, filtered by the
// user's settings, newest first, with an unread count and a banner for each fresh arrival.
// Lives on the main thread.
class NotificationFeed : public QObject {
    Q_OBJECT
    // Read-only to QML: the list changes only through the operations below.
    Q_PROPERTY(QList<HomeyNotification> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(int unread READ unread NOTIFY unreadChanged)
    Q_PROPERTY(NotificationSettings settings READ settings NOTIFY settingsChanged)

public:
    using Push = std::function<void(const HomeyNotification &, bool timeSensitive)>;
    using Clock = std::function<QDateTime()>;

    static constexpr int maximumItems = 100;
    static constexpr qsizetype maximumShownIDs = 1000;
    static constexpr qint64 bannerAgeLimitSeconds = 300;

    explicit NotificationFeed(SettingsStore defaults, Push push = {}, QObject *parent = nullptr);

    QList<HomeyNotification> items() const { return m_items; }
    int unread() const { return m_unread; }
    // The list and count as they stand, replaced whole (a test's scene); each emits only on a real change.
    void setItems(const QList<HomeyNotification> &items);
    void setUnread(int unread);
    NotificationSettings settings() const { return m_settings; }

    // What "now" is for banner ages and incident dates; the system clock unless replaced.
    void setClock(Clock clock);

    void baseline(const QList<RawNotification> &entries);
    void ingest(const QList<RawNotification> &timeline);
    void ingest(const P2000::Incident &incident);
    void seedP2000(const P2000::Incident &incident);
    void apply(const NotificationSettings &settings);
    bool shouldCollect(const HomeyNotification &notification) const;
    void markAllRead();
    void clear();

Q_SIGNALS:
    void itemsChanged();
    void unreadChanged();
    void settingsChanged();

private:
    // Emits only on a real change; apply() is the public way, which also saves.
    void setSettings(const NotificationSettings &settings);

    QDateTime now() const;
    // Into the seen set; false when it was there already. persistShown() saves.
    bool remember(const QString &id);
    void persistShown();
    void add(const HomeyNotification &notification);

    QList<HomeyNotification> m_items;
    int m_unread = 0;
    NotificationSettings m_settings;
    bool m_armed = false;
    QSet<QString> m_shown;
    // The seen ids in the order seen. Shared with the settings, which read them when they write the
    // file (possibly on another thread), so that a notification costs no write of the whole list.
    struct ShownOrder {
        std::mutex mutex;
        QStringList ids;
        // A write of the list waits in the settings and reads it as it then stands: ids remembered
        // meanwhile need no write of their own.
        bool queued = false;
    };
    std::shared_ptr<ShownOrder> m_shownOrder = std::make_shared<ShownOrder>();
    SettingsStore m_defaults;
    Push m_push;
    Clock m_clock;
};
