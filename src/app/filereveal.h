#pragma once

#include <QString>

// Shows a file in the desktop's file manager, selected (org.freedesktop.FileManager1.ShowItems); where no
// file manager answers, opens its folder.
namespace FileReveal {

void reveal(const QString &filePath);

} // namespace FileReveal
