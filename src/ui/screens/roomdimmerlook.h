#pragma once

#include "homey/model/roomscope.h"
#include "ui/glowbarlook.h"
#include "ui/keycaplook.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The room view's first row in a room with lights: "Alle lampen", the room dimmer and a button that
// switches every lamp of the room on or off.
struct RoomDimmerLook {
    Q_GADGET
    QML_VALUE_TYPE(roomDimmerLook)
    Q_PROPERTY(bool selected MEMBER selected CONSTANT)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QColor titleColor MEMBER titleColor CONSTANT)
    Q_PROPERTY(QFont titleFont READ titleFont CONSTANT)
    // The title's font while the row is selected: its width is the title's place either way.
    Q_PROPERTY(QFont selectedTitleFont READ selectedTitleFont CONSTANT)
    Q_PROPERTY(QString subtitle MEMBER subtitle CONSTANT)
    Q_PROPERTY(bool hasBar MEMBER hasBar CONSTANT)
    Q_PROPERTY(GlowBarLook bar MEMBER bar CONSTANT)
    Q_PROPERTY(QString percent MEMBER percent CONSTANT)
    Q_PROPERTY(QColor percentColor MEMBER percentColor CONSTANT)
    Q_PROPERTY(QString allText MEMBER allText CONSTANT)
    Q_PROPERTY(QColor allColor MEMBER allColor CONSTANT)
    Q_PROPERTY(QColor allFill MEMBER allFill CONSTANT)
    Q_PROPERTY(QColor allBorder MEMBER allBorder CONSTANT)
    Q_PROPERTY(QString allAccessibleName MEMBER allAccessibleName CONSTANT)
    Q_PROPERTY(bool showsDimKeys MEMBER showsDimKeys CONSTANT)
    Q_PROPERTY(KeyCapLook dimDown MEMBER dimDown CONSTANT)
    Q_PROPERTY(KeyCapLook dimUp MEMBER dimUp CONSTANT)
    Q_PROPERTY(QColor fillColor MEMBER fillColor CONSTANT)
    Q_PROPERTY(QColor borderColor MEMBER borderColor CONSTANT)
    Q_PROPERTY(QString accessibleHint MEMBER accessibleHint CONSTANT)
    Q_PROPERTY(QString barAccessibleName MEMBER barAccessibleName CONSTANT)

public:
    // dimLevel: the dimmer's position as the store reports it; the bar shows it within 0...1.
    static RoomDimmerLook make(const RoomScope &room, double dimLevel, bool selected);
    // One accessibility step up (dir 1) or down (dir -1) from level, within 0...1.
    static double stepped(double level, int dir);
    // Semibold while selected.
    QFont titleFont() const;
    static QFont selectedTitleFont();

    bool selected = false;
    QString symbol;
    QColor symbolColor;
    QString title;
    QColor titleColor;
    QString subtitle;
    bool hasBar = false; // only with a dimmable lamp
    GlowBarLook bar;
    QString percent;
    QColor percentColor;
    QString allText;
    QColor allColor;
    QColor allFill;
    QColor allBorder;
    QString allAccessibleName;
    // Ctrl+Left and Ctrl+Right, while selected in a room they can dim.
    bool showsDimKeys = false;
    KeyCapLook dimDown;
    KeyCapLook dimUp;
    QColor fillColor;
    QColor borderColor;
    QString accessibleHint;
    QString barAccessibleName;
};
