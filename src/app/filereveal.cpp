#include "app/filereveal.h"

#include "ports/filemanager.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace FileReveal {

void reveal(std::shared_ptr<FileManager> files, const QString &filePath, Unshown unshown)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    if (!files) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)) && unshown)
            unshown({});
        return;
    }
    FileManager *manager = files.get();
    // The file manager lives as long as its answer is awaited: the folder may still have to open then.
    manager->showItem(filePath, [files = std::move(files), folder, unshown](bool shown) {
        if (shown)
            return;
        files->openFolder(folder, [unshown](const QString &failure) {
            if (!failure.isEmpty() && unshown)
                unshown(failure);
        });
    });
}

} // namespace FileReveal
