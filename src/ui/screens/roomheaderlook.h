#pragma once

#include "homey/model/roomscope.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The room view's header: symbol and name, a motion badge, and a line of figures (lamps on, devices,
// temperature), spoken as one sentence.
struct RoomHeaderLook {
    Q_GADGET
    QML_VALUE_TYPE(roomHeaderLook)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(bool showsMotion MEMBER showsMotion CONSTANT)
    Q_PROPERTY(QString motionText MEMBER motionText CONSTANT)
    Q_PROPERTY(QString lamps MEMBER lamps CONSTANT)
    Q_PROPERTY(QColor lampsColor MEMBER lampsColor CONSTANT)
    Q_PROPERTY(QString devices MEMBER devices CONSTANT)
    Q_PROPERTY(QString temperature MEMBER temperature CONSTANT)
    Q_PROPERTY(QString separator MEMBER separator CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)

public:
    static RoomHeaderLook make(const RoomScope &room);

    bool operator==(const RoomHeaderLook &) const = default;

    QString symbol;
    QColor symbolColor;
    QString name;
    bool showsMotion = false;
    QString motionText;
    QString lamps; // "2 van 5 aan"; empty in a room without lights
    QColor lampsColor;
    QString devices;
    QString temperature; // empty without a reading
    QString separator;
    QString accessibleName;
};
