#pragma once

#include "ui/keycaplook.h"

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The alarm-coloured banner with an error, its recovery hint and optional retry and close buttons.
struct ErrorBarLook {
    Q_GADGET
    QML_VALUE_TYPE(errorBarLook)
    Q_PROPERTY(QString warning MEMBER warning CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString recovery MEMBER recovery CONSTANT)
    Q_PROPERTY(bool canRetry MEMBER canRetry CONSTANT)
    Q_PROPERTY(QString retryText MEMBER retryText CONSTANT)
    Q_PROPERTY(KeyCapLook retryCap MEMBER retryCap CONSTANT)
    Q_PROPERTY(bool canDismiss MEMBER canDismiss CONSTANT)
    Q_PROPERTY(QString cross MEMBER cross CONSTANT)
    Q_PROPERTY(QString dismissLabel MEMBER dismissLabel CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)

public:
    // canRetry, canDismiss: whether the owner handles the button; without a handler it is not shown.
    static ErrorBarLook make(const QString &title, const QString &recovery, bool canRetry, bool canDismiss);

    QString warning;
    QString title;
    QString recovery;
    bool canRetry = false;
    QString retryText;
    KeyCapLook retryCap; // labels the button only; the palette binds the key
    bool canDismiss = false;
    QString cross;
    QString dismissLabel;
    QString accessibleName;
};
