#include "app/filereveal.h"

#include "ports/filemanager.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace FileReveal {

namespace {

// Through the desktop's opener (xdg-open and the like); unshown hears when there is none.
void openFolder(const QUrl &folder, const std::function<void()> &unshown)
{
    if (!QDesktopServices::openUrl(folder) && unshown)
        unshown();
}

} // namespace

void reveal(FileManager *files, const QString &filePath, std::function<void()> unshown)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(filePath).absolutePath());
    if (!files) {
        openFolder(folder, unshown);
        return;
    }
    files->showItem(filePath, [folder, unshown](bool shown) {
        if (!shown)
            openFolder(folder, unshown);
    });
}

} // namespace FileReveal
