#pragma once

#include "ports/filemanager.h"

#include <QDBusConnection>

// The file manager that owns org.freedesktop.FileManager1 on the session bus, or is started for it; a
// folder opens through the desktop's opener.
class FreedesktopFileManager final : public FileManager {
public:
    // opener: the program that opens a folder the desktop's way, found on PATH by name.
    explicit FreedesktopFileManager(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    QString opener = QStringLiteral("xdg-open"));

    void showItem(const QString &filePath, Done done) override;
    void openFolder(const QString &folderPath, Opened done) override;

private:
    QDBusConnection m_bus;
    QString m_opener;
};
