#include "app/logreveal.h"

#include "app/filereveal.h"
#include "base/log.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace LogReveal {

void reveal(FileManager *files, const std::function<void(const QString &text)> &tell)
{
    FileReveal::reveal(files, Log::fileURL(), [tell] {
        log(u"!! logboek tonen: geen bestandsbeheer en niets dat de map "_s +
            QFileInfo(Log::fileURL()).absolutePath() + u" opent"_s);
        if (tell)
            tell(unshownText());
    });
}

QString unshownText()
{
    return u"Er is geen bestandsbeheer dat het logboek kan tonen. Het logboek staat in:\n"_s + Log::fileURL();
}

} // namespace LogReveal
