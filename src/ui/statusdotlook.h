#pragma once

#include "ui/statustone.h"

#include <QColor>
#include <QObject>
#include <QtQmlIntegration>

// A small glowing dot in the colour of a status tone; it breathes while the link is live or busy.
struct StatusDotLook {
    Q_GADGET
    QML_VALUE_TYPE(statusDotLook)
    Q_PROPERTY(QColor color MEMBER color CONSTANT)
    Q_PROPERTY(bool breathes MEMBER breathes CONSTANT)

public:
    static StatusDotLook make(StatusTone tone);

    bool operator==(const StatusDotLook &) const = default;

    QColor color;
    bool breathes = false;
};
