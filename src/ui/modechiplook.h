#pragma once

#include "homey/model/hit.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// A mode button of the overview's mode row, with a ring that lights while the mode is on.
struct ModeChipLook {
    Q_GADGET
    QML_VALUE_TYPE(modeChipLook)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(bool isOn MEMBER isOn CONSTANT)
    Q_PROPERTY(bool selected MEMBER selected CONSTANT)
    Q_PROPERTY(QColor ringColor MEMBER ringColor CONSTANT)
    Q_PROPERTY(QColor borderColor MEMBER borderColor CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleValue MEMBER accessibleValue CONSTANT)

public:
    // A mode is on only when its accessory is a toggle that is on.
    static ModeChipLook make(const Hit &hit, bool selected);

    Q_INVOKABLE QColor titleColor(bool hovering) const;
    Q_INVOKABLE QColor fillColor(bool hovering) const;

    QString title;
    bool isOn = false;
    bool selected = false;
    QColor ringColor;
    QColor borderColor;
    QString accessibleName;
    QString accessibleValue;
};
