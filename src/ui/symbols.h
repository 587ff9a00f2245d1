#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The symbol catalogue for QML: a view that draws a fixed symbol names it here.
class Symbols : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString glyph(const QString &name) const;
};
