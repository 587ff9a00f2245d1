#include "ui/theme.h"

#include "ui/symbolcatalog.h"

#include <algorithm>
#include <QFontDatabase>

namespace Theme {

namespace {

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b));
}

struct Families {
    QString sans = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QString mono = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
};

Families &families()
{
    static Families f;
    return f;
}

// Sizes are given in the panel's pixels; at Qt's reference 96 dpi a point is 4/3 pixel.
QFont font(const QString &family, double size, QFont::Weight weight)
{
    QFont f(family);
    f.setPointSizeF(size * 0.75);
    f.setWeight(weight);
    return f;
}

} // namespace

QColor lit()
{
    return rgb(1.0, 0.694, 0.235);
}
QColor litSoft()
{
    return rgb(1.0, 0.808, 0.478);
}
QColor litDeep()
{
    return rgb(0.788, 0.478, 0.086);
}
QColor surface()
{
    return rgb(0.063, 0.071, 0.09);
}
QColor surfaceHi()
{
    return rgb(0.094, 0.106, 0.129);
}
QColor surfaceTile()
{
    return rgb(0.133, 0.149, 0.18);
}
QColor surfaceLit()
{
    return rgb(0.165, 0.145, 0.098);
}
QColor text()
{
    return rgb(0.929, 0.941, 0.957);
}
QColor textDim()
{
    return rgb(0.604, 0.631, 0.675);
}
QColor textFaint()
{
    return rgb(0.373, 0.4, 0.439);
}
QColor hairline()
{
    return white(0.09);
}
QColor selection()
{
    return fade(lit(), 0.15);
}
QColor alarm()
{
    return rgb(0.95, 0.36, 0.3);
}

QColor fade(const QColor &colour, double opacity)
{
    QColor c = colour;
    c.setAlphaF(float(colour.alphaF() * std::clamp(opacity, 0.0, 1.0)));
    return c;
}

QColor white(double opacity)
{
    return fade(Qt::white, opacity);
}

void useFamilies(const QString &sans, const QString &mono)
{
    families() = Families{sans, mono};
}

QString sansFamily()
{
    return families().sans;
}
QString monoFamily()
{
    return families().mono;
}

QFont title(double size)
{
    return font(sansFamily(), size, QFont::DemiBold);
}
QFont label(double size)
{
    return font(sansFamily(), size, QFont::Medium);
}
QFont body(double size)
{
    return font(sansFamily(), size, QFont::Normal);
}
QFont mono(double size)
{
    return font(monoFamily(), size, QFont::Medium);
}
QFont section()
{
    return font(monoFamily(), 9.5, QFont::DemiBold);
}
QFont icon(double size)
{
    return font(SymbolCatalog::fontFamily(), size, QFont::Normal);
}

} // namespace Theme
