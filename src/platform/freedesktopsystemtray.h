#pragma once

#include "ports/systemtray.h"

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QObject>

class QDBusServiceWatcher;
struct xcb_connection_t;

// The tray the way the toolkit's tray icon looks for one, watched for the whole run: a StatusNotifierItem
// host, which org.kde.StatusNotifierWatcher on the session bus reports, and the owner of the XEmbed tray
// selection (_NET_SYSTEM_TRAY_S<screen>), which announces itself with a MANAGER message to the root
// window on Qt's own X connection. Without a bus or an X display that half is simply never there.
class FreedesktopSystemTray final : public QObject, public SystemTray, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit FreedesktopSystemTray(QDBusConnection bus = QDBusConnection::sessionBus(),
                                   QObject *parent = nullptr);
    ~FreedesktopSystemTray() override;

    Kind kind() const override;
    void setOnChange(std::function<void()> onChange) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private Q_SLOTS:
    void hostRegistered();

private:
    void watchBus();
    void watchDisplay();
    void askForHost();
    void setHost(bool host);
    // The callback, on a later turn of the event loop: never from inside the X event or the D-Bus
    // reply that told of the change.
    void changed();

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_watcher = nullptr;
    bool m_host = false;
    xcb_connection_t *m_connection = nullptr;
    quint32 m_selection = 0;
    quint32 m_manager = 0;
    std::function<void()> m_onChange;
};
