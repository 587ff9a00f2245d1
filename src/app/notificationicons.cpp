#include "app/notificationicons.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace NotificationIcons {

namespace {

constexpr int side = 128;

QImage draw(const QString &glyph, bool urgent)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::surface());
    painter.drawRoundedRect(QRectF(0, 0, side, side), 26, 26);
    if (urgent) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Theme::lit(), 4));
        painter.drawRoundedRect(QRectF(2, 2, side - 4, side - 4), 24, 24);
    }
    QFont font = Theme::icon(10);
    font.setPixelSize(66);
    font.setWeight(QFont::Medium);
    painter.setFont(font);
    painter.setPen(urgent ? Theme::lit() : Theme::litSoft());
    painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, glyph);
    return image;
}

} // namespace

QString folder()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    // Relative values are invalid per the XDG base directory rules and are ignored.
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + u"/.cache"_s;
    return cache + u"/Quorvane/notification-icons"_s;
}

std::optional<QString> file(const QString &symbol, bool urgent)
{
    // Only catalogue names reach the file system, so a name from the hub can never make a path.
    const std::optional<QString> glyph = SymbolCatalog::find(symbol);
    if (!glyph)
        return std::nullopt;
    const QString path = folder() + u'/' + symbol + (urgent ? u"-urgent.png"_s : u"-normal.png"_s);
    if (QFileInfo(path).isFile())
        return path;
    static const bool fontLoaded = SymbolCatalog::loadFont();
    if (!fontLoaded)
        return std::nullopt;
    QDir().mkpath(folder());
    if (!draw(*glyph, urgent).save(path, "PNG"))
        return std::nullopt;
    return path;
}

} // namespace NotificationIcons
