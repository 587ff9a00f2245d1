#include "app/filereveal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace FileReveal {

namespace {

// Through the desktop's opener (xdg-open and the like); unshown hears when there is none.
void openFolder(const QUrl &folder, const std::function<void()> &unshown)
{
    if (!QDesktopServices::openUrl(folder) && unshown)
        unshown();
}

} // namespace

void reveal(const QString &filePath, std::function<void()> unshown)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(filePath).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(folder, unshown);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    // A URI as the protocol asks: a space or an accent in a home folder is percent-encoded.
    call << QStringList{QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: a file manager that is slow to start must not hold up the menu.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [folder, unshown](QDBusPendingCallWatcher *w) {
                         if (w->isError())
                             openFolder(folder, unshown);
                         w->deleteLater();
                     });
}

} // namespace FileReveal
