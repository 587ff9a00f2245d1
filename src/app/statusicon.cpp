#include "app/statusicon.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace {

bool iconFontLoaded()
{
    static const bool loaded = SymbolCatalog::loadFont();
    return loaded;
}

void drawBadge(QPainter &painter, int size, const QString &badge)
{
    // One font per size, kept: a new font object is looked up in the font database again. Never
    // destroyed, as a font must not outlive the application's font database.
    static auto *const fonts = new QHash<int, QFont>;
    auto found = fonts->find(size);
    if (found == fonts->end()) {
        QFont made = Theme::label(10);
        made.setPixelSize(std::max(7, size * 9 / 22));
        made.setBold(true);
        found = fonts->insert(size, made);
    }
    const QFont &font = *found;
    const QFontMetricsF metrics(font);
    const double height = size * 0.5;
    const double width = std::max(height, metrics.horizontalAdvance(badge) + height * 0.4);
    const QRectF pill(size - width, size - height, width, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::lit());
    painter.drawRoundedRect(pill, height / 2, height / 2);
    painter.setFont(font);
    painter.setPen(Theme::surface());
    painter.drawText(pill, Qt::AlignCenter, badge);
}

// White with a dark rim, so the shape reads on light and dark panels alike.
void drawOutlined(QPainter &painter, const QFont &font, const QRectF &box, const QString &text)
{
    const QFontMetricsF metrics(font);
    const QRectF bounds = metrics.tightBoundingRect(text);
    QPainterPath path;
    path.addText(box.center() - bounds.center(), font, text);
    painter.setPen(QPen(QColor(0, 0, 0, 150), std::max(1.0, box.height() / 14), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(path);
}

// The symbol at its opacity, without the count. Drawing the outlined glyph is the costly part, and it
// changes only with the state, so each one is drawn once per size. Kept as images, which need no
// display and so may outlive the application.
QImage symbolLayer(int size, const std::optional<QString> &glyph, double opacity, bool withBadge)
{
    static QHash<QString, QImage> drawn;
    const QString key = QString::number(size) + u'|' + glyph.value_or(QString()) + u'|' +
                        QString::number(opacity) + u'|' + (withBadge ? u'b' : u'-');
    if (const auto found = drawn.constFind(key); found != drawn.constEnd())
        return *found;
    QImage symbol(size, size, QImage::Format_ARGB32_Premultiplied);
    symbol.fill(Qt::transparent);
    {
        QPainter painter(&symbol);
        painter.setRenderHint(QPainter::Antialiasing);
        if (glyph) {
            QFont font = Theme::icon(10);
            // With a count the symbol moves up and left to leave the corner to the badge.
            const double glyphSize = withBadge ? size * 0.8 : size;
            font.setPixelSize(int(glyphSize));
            drawOutlined(painter, font, QRectF(0, 0, glyphSize, glyphSize), *glyph);
        } else {
            QFont font = Theme::title(10);
            font.setPixelSize(size / 2);
            font.setBold(true);
            drawOutlined(painter, font, QRectF(0, 0, size, size), u"QV"_s);
        }
    }
    QImage layer(size, size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    // Faded as a whole: faded stroke by stroke, the rim would show through the fill at its edges.
    painter.setOpacity(opacity);
    painter.drawImage(0, 0, symbol);
    painter.end();
    drawn.insert(key, layer);
    return layer;
}

QPixmap drawOne(int size, const std::optional<QString> &glyph, double opacity, const QString &badge)
{
    QImage image = symbolLayer(size, glyph, opacity, !badge.isEmpty());
    if (!badge.isEmpty() && glyph) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawBadge(painter, size, badge);
    }
    return QPixmap::fromImage(std::move(image));
}

} // namespace

namespace StatusIcon {

Drawn draw(const QString &symbol, double opacity, const QString &badge)
{
    const std::optional<QString> glyph = iconFontLoaded() ? SymbolCatalog::find(symbol) : std::nullopt;
    Drawn drawn;
    drawn.hasSymbol = glyph.has_value();
    // Trays ask for different sizes; each gets its own drawing rather than a blurred scale.
    for (const int size : {16, 22, 24, 32, 48, 64})
        drawn.icon.addPixmap(drawOne(size, glyph, opacity, badge));
    return drawn;
}

} // namespace StatusIcon
