#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The design tokens of the panel: a dark surface with an amber accent. Sizes are in device-independent
// pixels; colours are sRGB.
namespace Theme {

inline constexpr double panelWidth = 760;
inline constexpr double panelHeight = 540;
inline constexpr double corner = 14;
inline constexpr double rowHeight = 42;
inline constexpr double rowHeightCompact = 34;
inline constexpr double rowCorner = 8;
inline constexpr double pad = 14;

QColor lit();
QColor litSoft();
QColor litDeep();
QColor surface();
QColor surfaceHi();
QColor surfaceTile();
QColor surfaceLit();
QColor text();
QColor textDim();
QColor textFaint();
QColor hairline();
QColor selection();
QColor alarm();

// colour at the given opacity (0...1), multiplied into its own alpha.
QColor fade(const QColor &colour, double opacity);
QColor white(double opacity);

// The two standard animations: quick (hover, small state changes) and smooth (levels and glows).
inline constexpr int quickMs = 140;
inline constexpr int smoothMs = 280;
// A changed figure of the status bar counts to its new value.
inline constexpr int countMs = 180;

// The families every font below uses. By default the desktop's sans-serif and monospace families;
// the gallery and the screenshot tests pin one installed family so pictures do not depend on the machine.
void useFamilies(const QString &sans, const QString &mono);
QString sansFamily();
QString monoFamily();

QFont title(double size);
QFont label(double size);
QFont body(double size);
QFont mono(double size);
QFont section();
// The icon font at a size, for the glyphs of the symbol catalogue.
QFont icon(double size);

} // namespace Theme
