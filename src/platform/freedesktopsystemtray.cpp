#include "platform/freedesktopsystemtray.h"

#include <cstdlib>
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace {

const QString watcherService = u"org.kde.StatusNotifierWatcher"_s;
const QString watcherPath = u"/StatusNotifierWatcher"_s;
const QString watcherInterface = u"org.kde.StatusNotifierWatcher"_s;

// The start waits this long at most for a watcher's answer; one that takes longer counts as none until
// it says otherwise.
constexpr int startAnswerMs = 3000;

QDBusMessage askHost()
{
    QDBusMessage call = QDBusMessage::createMethodCall(watcherService, watcherPath,
                                                       u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    call << watcherInterface << u"IsStatusNotifierHostRegistered"_s;
    return call;
}

bool saysHost(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

xcb_atom_t atom(xcb_connection_t *connection, const QByteArray &name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

} // namespace

FreedesktopSystemTray::FreedesktopSystemTray(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    watchBus();
    watchDisplay();
}

FreedesktopSystemTray::~FreedesktopSystemTray()
{
    if (m_connection && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void FreedesktopSystemTray::watchBus()
{
    if (!m_bus.isConnected())
        return;
    // Watching first: a watcher that comes between the question and the watch is not missed.
    m_watcher = new QDBusServiceWatcher(
        watcherService, m_bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &FreedesktopSystemTray::askForHost);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setHost(false); });
    // A watcher often comes before the panel that hosts the icons, and says when the host is there.
    m_bus.connect(watcherService, watcherPath, watcherInterface, u"StatusNotifierHostRegistered"_s, this,
                  SLOT(hostRegistered()));
    m_host = saysHost(m_bus.call(askHost(), QDBus::Block, startAnswerMs));
}

void FreedesktopSystemTray::watchDisplay()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    // The screen Qt's connection opened with, as the tray icon uses it.
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    std::free(host);
    m_connection = x11->connection();
    m_selection = atom(m_connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
    m_manager = atom(m_connection, "MANAGER");
    // Qt listens to the root window's structure events already, which the MANAGER message is sent with.
    QCoreApplication::instance()->installNativeEventFilter(this);
}

SystemTray::Kind FreedesktopSystemTray::kind() const
{
    if (m_host)
        return Kind::statusNotifier;
    if (!m_connection || m_selection == XCB_ATOM_NONE)
        return Kind::none;
    xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
    const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned ? Kind::xembed : Kind::none;
}

void FreedesktopSystemTray::setOnChange(std::function<void()> onChange)
{
    m_onChange = std::move(onChange);
}

bool FreedesktopSystemTray::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    // The tray sends it, so the event carries the sent flag.
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
    if (client->type == m_manager && client->format == 32 && client->data.data32[1] == m_selection)
        changed();
    // Qt's own tray icon reads the message too.
    return false;
}

void FreedesktopSystemTray::hostRegistered()
{
    setHost(true);
}

void FreedesktopSystemTray::askForHost()
{
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(askHost()), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (saysHost(w->reply()))
            setHost(true);
    });
}

void FreedesktopSystemTray::setHost(bool host)
{
    if (host == m_host)
        return;
    m_host = host;
    changed();
}

void FreedesktopSystemTray::changed()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            // A copy: the callback may replace itself.
            const std::function<void()> onChange = m_onChange;
            if (onChange)
                onChange();
        },
        Qt::QueuedConnection);
}
