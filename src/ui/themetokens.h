#pragma once

#include "ui/theme.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QtQmlIntegration>

// The theme's tokens for QML, so no QML file holds a colour, a font or a size of its own.
class ThemeTokens : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Theme)
    QML_SINGLETON
    Q_PROPERTY(double panelWidth READ panelWidth CONSTANT)
    Q_PROPERTY(double panelHeight READ panelHeight CONSTANT)
    Q_PROPERTY(double corner READ corner CONSTANT)
    Q_PROPERTY(double rowHeight READ rowHeight CONSTANT)
    Q_PROPERTY(double rowHeightCompact READ rowHeightCompact CONSTANT)
    Q_PROPERTY(double rowCorner READ rowCorner CONSTANT)
    Q_PROPERTY(double pad READ pad CONSTANT)
    Q_PROPERTY(double tileHeight READ tileHeight CONSTANT)
    Q_PROPERTY(double typeNano READ typeNano CONSTANT)
    Q_PROPERTY(double typeMicro READ typeMicro CONSTANT)
    Q_PROPERTY(double typeMini READ typeMini CONSTANT)
    Q_PROPERTY(double typeTiny READ typeTiny CONSTANT)
    Q_PROPERTY(double typeXSmall READ typeXSmall CONSTANT)
    Q_PROPERTY(double typeSmall READ typeSmall CONSTANT)
    Q_PROPERTY(double typeCaption READ typeCaption CONSTANT)
    Q_PROPERTY(double typeNote READ typeNote CONSTANT)
    Q_PROPERTY(double typeBody READ typeBody CONSTANT)
    Q_PROPERTY(double typeBodyPlus READ typeBodyPlus CONSTANT)
    Q_PROPERTY(double typeLead READ typeLead CONSTANT)
    Q_PROPERTY(double typeSubtitle READ typeSubtitle CONSTANT)
    Q_PROPERTY(double typeTitle READ typeTitle CONSTANT)
    Q_PROPERTY(double typeHeading READ typeHeading CONSTANT)
    Q_PROPERTY(double typeDisplay READ typeDisplay CONSTANT)
    Q_PROPERTY(double typeHero READ typeHero CONSTANT)
    Q_PROPERTY(double typeJumbo READ typeJumbo CONSTANT)
    Q_PROPERTY(double radiusHair READ radiusHair CONSTANT)
    Q_PROPERTY(double radiusTick READ radiusTick CONSTANT)
    Q_PROPERTY(double radiusBar READ radiusBar CONSTANT)
    Q_PROPERTY(double radiusKey READ radiusKey CONSTANT)
    Q_PROPERTY(double radiusControl READ radiusControl CONSTANT)
    Q_PROPERTY(double radiusButton READ radiusButton CONSTANT)
    Q_PROPERTY(double radiusChip READ radiusChip CONSTANT)
    Q_PROPERTY(double radiusTile READ radiusTile CONSTANT)
    Q_PROPERTY(double radiusDialog READ radiusDialog CONSTANT)
    Q_PROPERTY(double space2 READ space2 CONSTANT)
    Q_PROPERTY(double space3 READ space3 CONSTANT)
    Q_PROPERTY(double space4 READ space4 CONSTANT)
    Q_PROPERTY(double space5 READ space5 CONSTANT)
    Q_PROPERTY(double space6 READ space6 CONSTANT)
    Q_PROPERTY(double space7 READ space7 CONSTANT)
    Q_PROPERTY(double space8 READ space8 CONSTANT)
    Q_PROPERTY(double space9 READ space9 CONSTANT)
    Q_PROPERTY(double space10 READ space10 CONSTANT)
    Q_PROPERTY(double space11 READ space11 CONSTANT)
    Q_PROPERTY(double space12 READ space12 CONSTANT)
    Q_PROPERTY(double space14 READ space14 CONSTANT)
    Q_PROPERTY(double space16 READ space16 CONSTANT)
    Q_PROPERTY(double space18 READ space18 CONSTANT)
    Q_PROPERTY(double space20 READ space20 CONSTANT)
    Q_PROPERTY(double space22 READ space22 CONSTANT)
    Q_PROPERTY(double hairlineWidth READ hairlineWidth CONSTANT)
    Q_PROPERTY(double focusRingWidth READ focusRingWidth CONSTANT)
    Q_PROPERTY(double ringWidth READ ringWidth CONSTANT)
    Q_PROPERTY(double arcWidth READ arcWidth CONSTANT)
    Q_PROPERTY(double panelGlowRadius READ panelGlowRadius CONSTANT)
    Q_PROPERTY(double statusDotSize READ statusDotSize CONSTANT)
    Q_PROPERTY(double spinnerSize READ spinnerSize CONSTANT)
    Q_PROPERTY(double spinnerSizeLarge READ spinnerSizeLarge CONSTANT)
    Q_PROPERTY(double glyphLift READ glyphLift CONSTANT)
    Q_PROPERTY(double capsTracking READ capsTracking CONSTANT)
    Q_PROPERTY(QColor lit READ lit CONSTANT)
    Q_PROPERTY(QColor litSoft READ litSoft CONSTANT)
    Q_PROPERTY(QColor litDeep READ litDeep CONSTANT)
    Q_PROPERTY(QColor surface READ surface CONSTANT)
    Q_PROPERTY(QColor surfaceHi READ surfaceHi CONSTANT)
    Q_PROPERTY(QColor surfaceTile READ surfaceTile CONSTANT)
    Q_PROPERTY(QColor surfaceLit READ surfaceLit CONSTANT)
    Q_PROPERTY(QColor text READ text CONSTANT)
    Q_PROPERTY(QColor textDim READ textDim CONSTANT)
    Q_PROPERTY(QColor textFaint READ textFaint CONSTANT)
    Q_PROPERTY(QColor hairline READ hairline CONSTANT)
    Q_PROPERTY(QColor selection READ selection CONSTANT)
    Q_PROPERTY(QColor alarm READ alarm CONSTANT)
    Q_PROPERTY(QColor clear READ clear CONSTANT)

public:
    using QObject::QObject;

    double panelWidth() const;
    double panelHeight() const;
    double corner() const;
    double rowHeight() const;
    double rowHeightCompact() const;
    double rowCorner() const;
    double pad() const;
    double tileHeight() const;
    // The type, radius and spacing scales.
    double typeNano() const { return Theme::typeNano; }
    double typeMicro() const { return Theme::typeMicro; }
    double typeMini() const { return Theme::typeMini; }
    double typeTiny() const { return Theme::typeTiny; }
    double typeXSmall() const { return Theme::typeXSmall; }
    double typeSmall() const { return Theme::typeSmall; }
    double typeCaption() const { return Theme::typeCaption; }
    double typeNote() const { return Theme::typeNote; }
    double typeBody() const { return Theme::typeBody; }
    double typeBodyPlus() const { return Theme::typeBodyPlus; }
    double typeLead() const { return Theme::typeLead; }
    double typeSubtitle() const { return Theme::typeSubtitle; }
    double typeTitle() const { return Theme::typeTitle; }
    double typeHeading() const { return Theme::typeHeading; }
    double typeDisplay() const { return Theme::typeDisplay; }
    double typeHero() const { return Theme::typeHero; }
    double typeJumbo() const { return Theme::typeJumbo; }
    double radiusHair() const { return Theme::radiusHair; }
    double radiusTick() const { return Theme::radiusTick; }
    double radiusBar() const { return Theme::radiusBar; }
    double radiusKey() const { return Theme::radiusKey; }
    double radiusControl() const { return Theme::radiusControl; }
    double radiusButton() const { return Theme::radiusButton; }
    double radiusChip() const { return Theme::radiusChip; }
    double radiusTile() const { return Theme::radiusTile; }
    double radiusDialog() const { return Theme::radiusDialog; }
    double space2() const { return Theme::space2; }
    double space3() const { return Theme::space3; }
    double space4() const { return Theme::space4; }
    double space5() const { return Theme::space5; }
    double space6() const { return Theme::space6; }
    double space7() const { return Theme::space7; }
    double space8() const { return Theme::space8; }
    double space9() const { return Theme::space9; }
    double space10() const { return Theme::space10; }
    double space11() const { return Theme::space11; }
    double space12() const { return Theme::space12; }
    double space14() const { return Theme::space14; }
    double space16() const { return Theme::space16; }
    double space18() const { return Theme::space18; }
    double space20() const { return Theme::space20; }
    double space22() const { return Theme::space22; }
    double hairlineWidth() const { return Theme::hairlineWidth; }
    double focusRingWidth() const { return Theme::focusRingWidth; }
    double ringWidth() const { return Theme::ringWidth; }
    double arcWidth() const { return Theme::arcWidth; }
    double panelGlowRadius() const { return Theme::panelGlowRadius; }
    double statusDotSize() const { return Theme::statusDotSize; }
    double spinnerSize() const { return Theme::spinnerSize; }
    double spinnerSizeLarge() const { return Theme::spinnerSizeLarge; }
    double glyphLift() const { return Theme::glyphLift; }
    double capsTracking() const { return Theme::capsTracking; }
    QColor lit() const;
    QColor litSoft() const;
    QColor litDeep() const;
    QColor surface() const;
    QColor surfaceHi() const;
    QColor surfaceTile() const;
    QColor surfaceLit() const;
    QColor text() const;
    QColor textDim() const;
    QColor textFaint() const;
    QColor hairline() const;
    QColor selection() const;
    QColor alarm() const;
    QColor clear() const;

    Q_INVOKABLE QColor fade(const QColor &colour, double opacity) const;
    Q_INVOKABLE QColor white(double opacity) const;
    Q_INVOKABLE QFont title(double size) const;
    Q_INVOKABLE QFont label(double size) const;
    Q_INVOKABLE QFont body(double size) const;
    Q_INVOKABLE QFont mono(double size) const;
    Q_INVOKABLE QFont section() const;
    Q_INVOKABLE QFont icon(double size) const;
};
