#pragma once

#include <functional>
#include <QString>

// The desktop's file manager, implemented over org.freedesktop.FileManager1 and xdg-open in src/platform.
class FileManager {
public:
    // Called once: true when the file manager took the request, false when none answered or it refused.
    using Done = std::function<void(bool shown)>;
    // Called at most once, when the opener has ended: empty when it took the folder, else why nothing
    // opened it, for the log.
    using Opened = std::function<void(const QString &failure)>;

    virtual ~FileManager() = default;

    // Shows the file, selected, in a file manager window. Asynchronous: a file manager that is slow to
    // start must not hold up the caller.
    virtual void showItem(const QString &filePath, Done done) = 0;
    // Opens the folder with whatever the desktop opens folders with. Asynchronous as showItem. An opener
    // that keeps running as the folder's window is no failure: done hears of it only when it ends, and
    // not at all when this run ends first.
    virtual void openFolder(const QString &folderPath, Opened done) = 0;
};
