#pragma once

#include "homey/model/hit.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// A read-only line of a room's sensor section: symbol, name, place and reading. It takes no selection.
struct SensorRowLook {
    Q_GADGET
    QML_VALUE_TYPE(sensorRowLook)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QColor titleColor MEMBER titleColor CONSTANT)
    Q_PROPERTY(QString subtitle MEMBER subtitle CONSTANT)
    Q_PROPERTY(QColor subtitleColor MEMBER subtitleColor CONSTANT)
    Q_PROPERTY(QString value MEMBER value CONSTANT)
    Q_PROPERTY(QColor valueColor MEMBER valueColor CONSTANT)
    Q_PROPERTY(double height MEMBER height CONSTANT)

public:
    static SensorRowLook make(const Hit &hit);

    Hit hit;
    QString symbol;
    QColor symbolColor;
    QString title;
    QColor titleColor;
    QString subtitle; // empty: none shown
    QColor subtitleColor;
    QString value; // the reading; empty unless the accessory is a value
    QColor valueColor;
    double height = 32;
};
