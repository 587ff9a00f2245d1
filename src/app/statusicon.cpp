#include "app/statusicon.h"

#include "app/statusbadge.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <memory>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
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
        StatusBadge::draw(painter, size, badge);
    }
    return QPixmap::fromImage(std::move(image));
}

// The icon of one look. Each size is drawn when something first asks for it: a tray shows one size,
// and drawing all of them at every new count was most of the work of a notification. The sizes on offer
// and the one picked for a request are those of an icon holding all of them, so every tray gets the same
// pixels as before.
class LazyEngine : public QIconEngine {
public:
    struct Look {
        std::optional<QString> glyph;
        double opacity = 1.0;
        QString badge;
        // Drawn so far, by place in StatusIcon::sizes; shared by the copies Qt makes of the icon.
        std::array<QIcon, StatusIcon::sizes.size()> drawn;
    };

    explicit LazyEngine(std::shared_ptr<Look> look) : m_look(std::move(look)) {}

    QIconEngine *clone() const override { return new LazyEngine(m_look); }
    QString key() const override { return u"QuorvaneStatusIcon"_s; }
    bool isNull() override { return false; }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        // As an icon of added pixmaps: those were all added for the normal mode and the off state.
        if (mode != QIcon::Normal || state != QIcon::Off)
            return {};
        QList<QSize> all;
        for (const int size : StatusIcon::sizes)
            all << QSize(size, size);
        return all;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        QSize actual = QSize(1, 1) * StatusIcon::sizes[place(size)];
        if (actual.width() > size.width() || actual.height() > size.height())
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        // The one drawn size goes through an icon of Qt's own, which scales it and makes the disabled
        // and active looks as an icon holding all sizes would.
        return one(place(size)).pixmap(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal) override
    {
        return pixmap(size, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice *device = painter->device();
        const qreal ratio = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

private:
    // Where the size an icon of all sizes would use is: the smallest that covers the request, or else
    // the largest.
    static qsizetype place(const QSize &wanted)
    {
        const qint64 area = qint64(wanted.width()) * wanted.height();
        for (qsizetype i = 0; i < qsizetype(StatusIcon::sizes.size()); ++i)
            if (qint64(StatusIcon::sizes[i]) * StatusIcon::sizes[i] >= area)
                return i;
        return qsizetype(StatusIcon::sizes.size()) - 1;
    }

    const QIcon &one(qsizetype at)
    {
        QIcon &icon = m_look->drawn[at];
        if (icon.isNull())
            icon = QIcon(drawOne(StatusIcon::sizes[at], m_look->glyph, m_look->opacity, m_look->badge));
        return icon;
    }

    std::shared_ptr<Look> m_look;
};

std::optional<QString> glyphOf(const QString &symbol)
{
    return iconFontLoaded() ? SymbolCatalog::find(symbol) : std::nullopt;
}

} // namespace

namespace StatusIcon {

Drawn draw(const QString &symbol, double opacity, const QString &badge)
{
    auto look = std::make_shared<LazyEngine::Look>();
    look->glyph = glyphOf(symbol);
    look->opacity = opacity;
    look->badge = badge;
    Drawn drawn;
    drawn.hasSymbol = look->glyph.has_value();
    drawn.icon = QIcon(new LazyEngine(std::move(look)));
    return drawn;
}

QPixmap drawAt(const QString &symbol, double opacity, const QString &badge, int size)
{
    return drawOne(size, glyphOf(symbol), opacity, badge);
}

} // namespace StatusIcon
