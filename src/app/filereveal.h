#pragma once

#include <functional>
#include <QString>

class FileManager;

// Shows a file in the desktop's file manager, selected; where no file manager answers (or none is
// given), opens its folder. Where nothing opens that either, unshown is called.
namespace FileReveal {

void reveal(FileManager *files, const QString &filePath, std::function<void()> unshown = {});

} // namespace FileReveal
