#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// One keyboard key drawn as a little key cap, plain or filled.
struct KeyCapLook {
    Q_GADGET
    QML_VALUE_TYPE(keyCapLook)
    Q_PROPERTY(QString text MEMBER text CONSTANT)
    Q_PROPERTY(QColor inkColor MEMBER inkColor CONSTANT)
    Q_PROPERTY(QColor fillColor MEMBER fillColor CONSTANT)
    Q_PROPERTY(QColor strokeColor MEMBER strokeColor CONSTANT)

public:
    // key in the notation of the views ("⌘R", "⏎"); it is shown the desktop's way.
    static KeyCapLook make(const QString &key, bool filled = false);

    QString text;
    QColor inkColor;
    QColor fillColor;
    QColor strokeColor;
};
