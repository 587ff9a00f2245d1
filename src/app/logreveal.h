#pragma once

#include <functional>
#include <memory>
#include <QString>

class FileManager;

// "Toon logboek": the log file in the file manager, else its folder opened the desktop's way. Where
// nothing on this computer can do either, the failure is logged with the reason and tell() receives what
// to say to the person who asked, in the window where they asked.
namespace LogReveal {

// files: the desktop's file manager; none: only the folder can open.
void reveal(std::shared_ptr<FileManager> files, const std::function<void(const QString &text)> &tell);
// What is said then: that nothing could show it, and where it is.
QString unshownText();

} // namespace LogReveal
