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
// The glow behind the panel's top edge.
inline constexpr double panelGlowRadius = 460;
// A status dot, and the spinner of the onboarding screens and of the connection screen.
inline constexpr double statusDotSize = 6;
inline constexpr double spinnerSize = 16;
inline constexpr double spinnerSizeLarge = 22;

// The type scale: every text and glyph size, smallest first.
inline constexpr double typeNano = 8;
inline constexpr double typeMicro = 8.5;
inline constexpr double typeMini = 9;
inline constexpr double typeTiny = 9.5;
inline constexpr double typeXSmall = 10;
inline constexpr double typeSmall = 10.5;
inline constexpr double typeCaption = 11;
inline constexpr double typeNote = 11.5;
inline constexpr double typeBody = 12;
inline constexpr double typeBodyPlus = 12.5;
inline constexpr double typeLead = 13;
inline constexpr double typeSubtitle = 14;
inline constexpr double typeTitle = 15;
inline constexpr double typeHeading = 16;
inline constexpr double typeDisplay = 22;
inline constexpr double typeHero = 24;
inline constexpr double typeJumbo = 36;
// A glyph beside a text is drawn this much larger than the text.
inline constexpr double glyphLift = 2;
// The tracking of the small-capitals section titles.
inline constexpr double capsTracking = 1.1;

// Corner radii besides corner and rowCorner: hairline bars, ticks, key caps, controls, buttons, chips,
// tiles and dialogs.
inline constexpr double radiusHair = 2;
inline constexpr double radiusTick = 2.5;
inline constexpr double radiusBar = 3.5;
inline constexpr double radiusKey = 4;
inline constexpr double radiusControl = 5;
inline constexpr double radiusButton = 6;
inline constexpr double radiusChip = 7;
inline constexpr double radiusTile = 9;
inline constexpr double radiusDialog = 10;

// Line widths: the hairline of borders and dividers, a keyboard-focus ring, a mode chip's ring and the
// spinner's arc.
inline constexpr double hairlineWidth = 0.5;
inline constexpr double focusRingWidth = 1.5;
inline constexpr double ringWidth = 1.2;
inline constexpr double arcWidth = 2;

// The spacing scale: gaps between items, margins and paddings.
inline constexpr double space2 = 2;
inline constexpr double space3 = 3;
inline constexpr double space4 = 4;
inline constexpr double space5 = 5;
inline constexpr double space6 = 6;
inline constexpr double space7 = 7;
inline constexpr double space8 = 8;
inline constexpr double space9 = 9;
inline constexpr double space10 = 10;
inline constexpr double space11 = 11;
inline constexpr double space12 = 12;
inline constexpr double space14 = 14;
inline constexpr double space16 = 16;
inline constexpr double space18 = 18;
inline constexpr double space20 = 20;
inline constexpr double space22 = 22;

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
