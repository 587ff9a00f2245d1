#pragma once

#include "ports/filemanager.h"

#include <QDBusConnection>

// The file manager that owns org.freedesktop.FileManager1 on the session bus, or is started for it.
class FreedesktopFileManager final : public FileManager {
public:
    explicit FreedesktopFileManager(QDBusConnection bus = QDBusConnection::sessionBus());

    void showItem(const QString &filePath, Done done) override;

private:
    QDBusConnection m_bus;
};
