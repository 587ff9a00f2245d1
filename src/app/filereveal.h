#pragma once

#include <functional>
#include <memory>
#include <QString>

class FileManager;

// Shows a file in the desktop's file manager, selected; where no file manager answers, opens its folder.
// Where nothing opens that either, unshown hears why (empty when nothing said).
namespace FileReveal {

using Unshown = std::function<void(const QString &why)>;

// files: none where no desktop is given; the folder then opens through QDesktopServices, which can only
// tell whether an opener was found at all.
void reveal(std::shared_ptr<FileManager> files, const QString &filePath, Unshown unshown = {});

} // namespace FileReveal
