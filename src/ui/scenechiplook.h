#pragma once

#include "homey/model/hit.h"
#include "ui/keycaplook.h"

#include <optional>
#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// A scene (mood) button of the overview's scene row, labelled with its shortcut when it has one.
struct SceneChipLook {
    Q_GADGET
    QML_VALUE_TYPE(sceneChipLook)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(bool selected MEMBER selected CONSTANT)
    Q_PROPERTY(bool hasShortcut MEMBER hasShortcut CONSTANT)
    Q_PROPERTY(KeyCapLook shortcut MEMBER shortcut CONSTANT)
    Q_PROPERTY(QColor borderColor MEMBER borderColor CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleHint MEMBER accessibleHint CONSTANT)

public:
    static SceneChipLook make(const Hit &hit, std::optional<int> shortcut, bool selected);

    Q_INVOKABLE QColor symbolColor(bool hovering) const;
    Q_INVOKABLE QColor titleColor(bool hovering) const;
    Q_INVOKABLE QColor fillColor(bool hovering) const;

    QString symbol;
    QString title;
    bool selected = false;
    bool hasShortcut = false;
    KeyCapLook shortcut;
    QColor borderColor;
    QString accessibleName;
    QString accessibleHint;
};
