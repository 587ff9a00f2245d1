#include "app/statusbadge.h"

#include "app/statusitemlook.h"
#include "ui/theme.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRectF>

namespace {

// Room around a digit's pen and baseline for whatever of it reaches past its advance or the line.
constexpr int margin = 3;
// Glyphs are drawn at a pen position's fraction of a pixel, in these steps.
constexpr int steps = 64;

// The count's digits for one size of badge.
struct Digits {
    QFont font;
    std::array<double, 10> advances{};
    // How much closer the font sets two digits than their advances say, by pair; NaN until first met.
    std::array<double, 100> kerning{};
    double ascent = 0;
    double lineHeight = 0;
    // Where the pen's baseline is in each image.
    int penY = 0;
    int height = 0;
    // Each digit at each fraction of a pixel a count puts its pen at.
    QHash<int, QImage> images;
};

double kerning(Digits &digits, int first, int second)
{
    double &kern = digits.kerning[first * 10 + second];
    if (std::isnan(kern)) {
        const QString pair = QString::number(first) + QString::number(second);
        kern = QFontMetricsF(digits.font).horizontalAdvance(pair) - digits.advances[first] -
               digits.advances[second];
    }
    return kern;
}

// Where each digit's pen stands, in 64ths of a pixel from the text's start, as the shaper sets them;
// the last is the text's width.
QList<long> pens(Digits &digits, const QString &text)
{
    QList<long> at{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int digit = text.at(i).unicode() - u'0';
        double advance = digits.advances[digit];
        if (i + 1 < text.size())
            advance += kerning(digits, digit, text.at(i + 1).unicode() - u'0');
        at << at.last() + std::lround(advance * steps);
    }
    return at;
}

const QImage &digitImage(Digits &digits, int digit, int fraction)
{
    const int key = digit * steps + fraction;
    if (const auto found = digits.images.constFind(key); found != digits.images.constEnd())
        return *found;
    QImage image(int(std::ceil(digits.advances[digit])) + 2 * margin + 1, digits.height,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(digits.font);
    painter.setPen(Theme::surface());
    painter.drawText(QPointF(margin + double(fraction) / steps, digits.penY), QString(QChar(u'0' + digit)));
    painter.end();
    return *digits.images.insert(key, image);
}

bool onlyDigits(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QRectF pillFor(Digits &digits, int size, const QString &text)
{
    const double textWidth = onlyDigits(text) ? double(pens(digits, text).last()) / steps
                                              : QFontMetricsF(digits.font).horizontalAdvance(text);
    const double height = size * 0.5;
    const double width = std::max(height, textWidth + height * 0.4);
    return {size - width, size - height, width, height};
}

// Hands each digit of text on its pill to place, with where it goes.
template <typename Place>
void placeDigits(Digits &digits, const QRectF &pill, const QString &text, Place place)
{
    // Where drawText puts a line centred in the rectangle: in 64ths of a pixel, cut off as its layout
    // cuts them.
    const QList<long> at = pens(digits, text);
    const long start = long((pill.left() + (pill.width() - double(at.last()) / steps) / 2) * steps);
    const double baseline = pill.top() + (pill.height() - digits.lineHeight) / 2 + digits.ascent;
    const int top = int(std::lround(baseline)) - digits.penY;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const long pen = start + at.at(i);
        const long whole = pen >= 0 ? pen / steps : (pen - steps + 1) / steps;
        place(QPoint(int(whole) - margin, top),
              digitImage(digits, text.at(i).unicode() - u'0', int(pen - whole * steps)));
    }
}

Digits &digitsFor(int size)
{
    // Never destroyed, as the fonts it holds must not outlive the application's font database; made for
    // the few sizes a tray asks for.
    static auto *const made = new QHash<int, Digits>;
    if (const auto found = made->find(size); found != made->end())
        return *found;
    Digits &digits = *made->insert(size, {});
    QFont font = Theme::label(10);
    font.setPixelSize(std::max(7, size * 9 / 22));
    font.setBold(true);
    digits.font = font;
    const QFontMetricsF metrics(font);
    digits.ascent = metrics.ascent();
    digits.lineHeight = metrics.ascent() + metrics.descent();
    digits.penY = margin + int(std::ceil(digits.ascent));
    digits.height = int(std::ceil(digits.lineHeight)) + 2 * margin;
    for (int digit = 0; digit < 10; ++digit)
        digits.advances[digit] = metrics.horizontalAdvance(QChar(u'0' + digit));
    digits.kerning.fill(std::numeric_limits<double>::quiet_NaN());
    // Every count's digits now, while the font is at hand: a later count needs no font at all.
    for (int count = 0; count <= StatusItemLook::maximumBadge; ++count) {
        const QString text = QString::number(count);
        placeDigits(digits, pillFor(digits, size, text), text, [](QPoint, const QImage &) {});
    }
    return digits;
}

} // namespace

namespace StatusBadge {

void draw(QPainter &painter, int size, const QString &text)
{
    Digits &digits = digitsFor(size);
    const QRectF pill = pillFor(digits, size, text);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::lit());
    painter.drawRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    if (!onlyDigits(text)) {
        painter.setFont(digits.font);
        painter.setPen(Theme::surface());
        painter.drawText(pill, Qt::AlignCenter, text);
        return;
    }
    placeDigits(digits, pill, text, [&](QPoint at, const QImage &image) { painter.drawImage(at, image); });
}

} // namespace StatusBadge
