#include "platform/freedesktopfilemanager.h"

#include "platform/desktopopener.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QUrl>

using namespace Qt::StringLiterals;

FreedesktopFileManager::FreedesktopFileManager(QDBusConnection bus, QString opener)
    : m_bus(std::move(bus)), m_opener(std::move(opener))
{}

void FreedesktopFileManager::showItem(const QString &filePath, Done done)
{
    if (!m_bus.isConnected()) {
        if (done)
            done(false);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    // A URI as the protocol asks: a space or an accent in a home folder is percent-encoded.
    call << QStringList{QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded)} << QString();
    // The watcher owns itself: the answer may come after whoever asked is gone.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [done = std::move(done)](QDBusPendingCallWatcher *w) {
                         w->deleteLater();
                         if (done)
                             done(!w->isError());
                     });
}

void FreedesktopFileManager::openFolder(const QString &folderPath, Opened done)
{
    DesktopOpener::open(m_opener, folderPath, std::move(done));
}
