#include "app/logreveal.h"

#include "app/filereveal.h"
#include "base/log.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace LogReveal {

void reveal(std::shared_ptr<FileManager> files, const std::function<void(const QString &text)> &tell)
{
    FileReveal::reveal(std::move(files), Log::fileURL(), [tell](const QString &why) {
        QString line = u"!! logboek tonen: geen bestandsbeheer en niets dat de map "_s +
                       QFileInfo(Log::fileURL()).absolutePath() + u" opent"_s;
        if (!why.isEmpty())
            line += u" ("_s + why + u")"_s;
        log(line);
        if (tell)
            tell(unshownText());
    });
}

QString unshownText()
{
    return u"Er is geen bestandsbeheer dat het logboek kan tonen. Het logboek staat in:\n"_s + Log::fileURL();
}

} // namespace LogReveal
