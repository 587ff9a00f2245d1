#include "ui/themetokens.h"

#include "ui/roomtilelook.h"
#include "ui/theme.h"

double ThemeTokens::panelWidth() const
{
    return Theme::panelWidth;
}
double ThemeTokens::panelHeight() const
{
    return Theme::panelHeight;
}
double ThemeTokens::corner() const
{
    return Theme::corner;
}
double ThemeTokens::rowHeight() const
{
    return Theme::rowHeight;
}
double ThemeTokens::rowHeightCompact() const
{
    return Theme::rowHeightCompact;
}
double ThemeTokens::rowCorner() const
{
    return Theme::rowCorner;
}
double ThemeTokens::pad() const
{
    return Theme::pad;
}
double ThemeTokens::tileHeight() const
{
    return RoomTileLook::height;
}
QColor ThemeTokens::lit() const
{
    return Theme::lit();
}
QColor ThemeTokens::litSoft() const
{
    return Theme::litSoft();
}
QColor ThemeTokens::litDeep() const
{
    return Theme::litDeep();
}
QColor ThemeTokens::surface() const
{
    return Theme::surface();
}
QColor ThemeTokens::surfaceHi() const
{
    return Theme::surfaceHi();
}
QColor ThemeTokens::surfaceTile() const
{
    return Theme::surfaceTile();
}
QColor ThemeTokens::surfaceLit() const
{
    return Theme::surfaceLit();
}
QColor ThemeTokens::text() const
{
    return Theme::text();
}
QColor ThemeTokens::textDim() const
{
    return Theme::textDim();
}
QColor ThemeTokens::textFaint() const
{
    return Theme::textFaint();
}
QColor ThemeTokens::hairline() const
{
    return Theme::hairline();
}
QColor ThemeTokens::selection() const
{
    return Theme::selection();
}
QColor ThemeTokens::alarm() const
{
    return Theme::alarm();
}
QColor ThemeTokens::clear() const
{
    return Qt::transparent;
}

QColor ThemeTokens::fade(const QColor &colour, double opacity) const
{
    return Theme::fade(colour, opacity);
}
QColor ThemeTokens::white(double opacity) const
{
    return Theme::white(opacity);
}
QFont ThemeTokens::title(double size) const
{
    return Theme::title(size);
}
QFont ThemeTokens::label(double size) const
{
    return Theme::label(size);
}
QFont ThemeTokens::body(double size) const
{
    return Theme::body(size);
}
QFont ThemeTokens::mono(double size) const
{
    return Theme::mono(size);
}
QFont ThemeTokens::section() const
{
    return Theme::section();
}
QFont ThemeTokens::icon(double size) const
{
    return Theme::icon(size);
}
