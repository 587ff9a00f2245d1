#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The placeholder of a room tile while the home loads.
struct SkeletonTileLook {
    Q_GADGET
    QML_VALUE_TYPE(skeletonTileLook)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)

public:
    static SkeletonTileLook make();

    QString accessibleName;
};
