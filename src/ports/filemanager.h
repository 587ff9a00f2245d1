#pragma once

#include <functional>
#include <QString>

// The desktop's file manager, implemented over org.freedesktop.FileManager1 in src/platform.
class FileManager {
public:
    // Called once: true when the file manager took the request, false when none answered or it refused.
    using Done = std::function<void(bool shown)>;

    virtual ~FileManager() = default;

    // Shows the file, selected, in a file manager window. Asynchronous: a file manager that is slow to
    // start must not hold up the caller.
    virtual void showItem(const QString &filePath, Done done) = 0;
};
