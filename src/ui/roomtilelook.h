#pragma once

#include "homey/model/room.h"
#include "ui/glowbarlook.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// One room of the idle overview: lit like a lamp when its lights are on.
struct RoomTileLook {
    Q_GADGET
    QML_VALUE_TYPE(roomTileLook)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(bool selected MEMBER selected CONSTANT)
    Q_PROPERTY(bool lit MEMBER lit CONSTANT)
    Q_PROPERTY(QColor plateColor MEMBER plateColor CONSTANT)
    Q_PROPERTY(double glowLevel MEMBER glowLevel CONSTANT)
    Q_PROPERTY(GlowBarLook bar MEMBER bar CONSTANT)
    Q_PROPERTY(double barOpacity MEMBER barOpacity CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QColor nameColor MEMBER nameColor CONSTANT)
    Q_PROPERTY(bool showsMotion MEMBER showsMotion CONSTANT)
    Q_PROPERTY(QString temperature MEMBER temperature CONSTANT)
    Q_PROPERTY(QColor temperatureColor MEMBER temperatureColor CONSTANT)
    Q_PROPERTY(QString statusLine MEMBER statusLine CONSTANT)
    Q_PROPERTY(QColor statusColor MEMBER statusColor CONSTANT)
    Q_PROPERTY(QString deviceCount MEMBER deviceCount CONSTANT)
    Q_PROPERTY(QColor deviceCountColor MEMBER deviceCountColor CONSTANT)
    Q_PROPERTY(double borderWidth MEMBER borderWidth CONSTANT)
    Q_PROPERTY(QColor borderColorIdle READ borderColorIdle CONSTANT)
    Q_PROPERTY(QColor borderColorHovered READ borderColorHovered CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleValue MEMBER accessibleValue CONSTANT)
    Q_PROPERTY(QString accessibleHint MEMBER accessibleHint CONSTANT)

public:
    static constexpr double height = 80;

    static RoomTileLook make(const Room &room, bool selected);

    Q_INVOKABLE QColor borderColor(bool hovering) const;
    QColor borderColorIdle() const { return borderColor(false); }
    QColor borderColorHovered() const { return borderColor(true); }

    QString name;
    QString symbol; // glyph
    bool selected = false;
    bool lit = false;
    QColor plateColor;
    double glowLevel = 0;
    GlowBarLook bar;
    double barOpacity = 1;
    QColor symbolColor;
    QColor nameColor;
    bool showsMotion = false; // the motion dot, which pulses while motion may repeat
    QString temperature;      // empty without a reading
    QColor temperatureColor;
    QString statusLine;
    QColor statusColor;
    QString deviceCount;
    QColor deviceCountColor;
    double borderWidth = 0.5;
    QString accessibleName;
    QString accessibleValue;
    QString accessibleHint;
};
