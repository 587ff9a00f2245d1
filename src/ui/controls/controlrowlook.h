#pragma once

#include "ui/controls/controlrow.h"
#include "ui/glowbarlook.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>
#include <QVariantList>

struct ControlRowView;

// How one row of the control strip is drawn: the row's texts with the colours, bar, key caps and chips
// of its state. Made from the row's view, so the QML only lays it out.
struct ControlRowLook {
    Q_GADGET
    QML_VALUE_TYPE(controlRowLook)
    Q_PROPERTY(ControlRow::Kind kind MEMBER kind CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QColor titleColor MEMBER titleColor CONSTANT)
    Q_PROPERTY(bool focused MEMBER focused CONSTANT)
    Q_PROPERTY(bool enabled MEMBER enabled CONSTANT)
    Q_PROPERTY(double controlOpacity MEMBER controlOpacity CONSTANT)
    Q_PROPERTY(bool on MEMBER on CONSTANT)
    Q_PROPERTY(QString glyph MEMBER glyph CONSTANT)
    Q_PROPERTY(QString stateText MEMBER stateText CONSTANT)
    Q_PROPERTY(QColor stateColor MEMBER stateColor CONSTANT)
    Q_PROPERTY(QColor trackColor MEMBER trackColor CONSTANT)
    Q_PROPERTY(QColor knobColor MEMBER knobColor CONSTANT)
    Q_PROPERTY(QColor knobGlow MEMBER knobGlow CONSTANT)
    Q_PROPERTY(bool hasBar MEMBER hasBar CONSTANT)
    Q_PROPERTY(GlowBarLook bar MEMBER bar CONSTANT)
    Q_PROPERTY(bool swatch MEMBER swatch CONSTANT)
    Q_PROPERTY(QColor swatchColor MEMBER swatchColor CONSTANT)
    Q_PROPERTY(QString readout MEMBER readout CONSTANT)
    Q_PROPERTY(QColor readoutColor MEMBER readoutColor CONSTANT)
    Q_PROPERTY(QString detail MEMBER detail CONSTANT)
    Q_PROPERTY(QString lowerText MEMBER lowerText CONSTANT)
    Q_PROPERTY(QString raiseText MEMBER raiseText CONSTANT)
    Q_PROPERTY(QString lowerGlyph MEMBER lowerGlyph CONSTANT)
    Q_PROPERTY(QString raiseGlyph MEMBER raiseGlyph CONSTANT)
    Q_PROPERTY(bool hasButton MEMBER hasButton CONSTANT)
    Q_PROPERTY(QString buttonText MEMBER buttonText CONSTANT)
    Q_PROPERTY(bool armed MEMBER armed CONSTANT)
    Q_PROPERTY(QString warningGlyph MEMBER warningGlyph CONSTANT)
    Q_PROPERTY(QColor buttonInk MEMBER buttonInk CONSTANT)
    Q_PROPERTY(QColor buttonFill MEMBER buttonFill CONSTANT)
    Q_PROPERTY(QColor buttonBorder MEMBER buttonBorder CONSTANT)
    Q_PROPERTY(QVariantList chips MEMBER chips CONSTANT)
    Q_PROPERTY(QVariantList keyCaps MEMBER keyCaps CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleDescription MEMBER accessibleDescription CONSTANT)

public:
    static ControlRowLook make(const ControlRowView &view);
    // A value and a hint as one description for a screen reader.
    static QString spoken(const QString &value, const QString &hint);

    ControlRow::Kind kind = ControlRow::Kind::Toggle;
    QString title;
    QColor titleColor;
    bool focused = false;
    // Takes taps and drags; a control that takes none is drawn faded.
    bool enabled = false;
    double controlOpacity = 1;
    // Switch on, lock locked, media playing, alarm armed, bar lit.
    bool on = false;
    // The glyph of the lock's or alarm's state, or of the media row's play button.
    QString glyph;
    QString stateText;
    QColor stateColor;
    // The switch.
    QColor trackColor;
    QColor knobColor;
    QColor knobGlow;
    // A level bar, or the hue row's colour swatch in place of the readout.
    bool hasBar = false;
    GlowBarLook bar;
    bool swatch = false;
    QColor swatchColor;
    QString readout;
    QColor readoutColor;
    QString detail;
    // The thermostat's step buttons.
    QString lowerText;
    QString raiseText;
    QString lowerGlyph;
    QString raiseGlyph;
    // The row's button: a guarded one (action, lock, opening), or the media row's play button.
    bool hasButton = false;
    QString buttonText;
    bool armed = false;
    // Shown in front of the button's text while it waits for its second press.
    QString warningGlyph;
    QColor buttonInk;
    QColor buttonFill;
    QColor buttonBorder;
    // Sensor chips (maps of title and value) or alarm modes (ArmModeChipLook).
    QVariantList chips;
    // KeyCapLook, filled; only on the focused row.
    QVariantList keyCaps;
    QString accessibleName;
    QString accessibleDescription;
};
