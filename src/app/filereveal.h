#pragma once

#include <functional>
#include <QString>

// Shows a file in the desktop's file manager, selected (org.freedesktop.FileManager1.ShowItems); where no
// file manager answers, opens its folder. Where nothing opens that either, unshown is called.
namespace FileReveal {

void reveal(const QString &filePath, std::function<void()> unshown = {});

} // namespace FileReveal
