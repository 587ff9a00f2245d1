#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The pill in the search field naming the room the palette is zoomed into, with a cross that leaves it.
struct ScopeChipLook {
    Q_GADGET
    QML_VALUE_TYPE(scopeChipLook)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QString cross MEMBER cross CONSTANT)
    Q_PROPERTY(QString removeLabel MEMBER removeLabel CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleHint MEMBER accessibleHint CONSTANT)

public:
    // symbol: a symbol name of the catalogue.
    static ScopeChipLook make(const QString &name, const QString &symbol);

    Q_INVOKABLE QColor fillColor(bool hovering) const;
    Q_INVOKABLE QColor crossColor(bool hovering) const;

    QString name;
    QString symbol;
    QString cross;
    QString removeLabel;
    QString accessibleName;
    QString accessibleHint;
};
