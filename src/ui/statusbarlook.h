#pragma once

#include "homey/model/connectionstate.h"
#include "homey/model/energystate.h"
#include "ui/statusdotlook.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>
#include <QVariantList>

// One energy figure of the status bar: an optional symbol, the value and its unit.
struct StatusFigure {
    Q_GADGET
    QML_VALUE_TYPE(statusFigure)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QString value MEMBER value CONSTANT)
    Q_PROPERTY(QString unit MEMBER unit CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QColor valueColor MEMBER valueColor CONSTANT)
    Q_PROPERTY(QColor unitColor MEMBER unitColor CONSTANT)

public:
    // symbolName: a name of the symbol catalogue, or empty for none. warm: drawn in the accent.
    static StatusFigure make(const QString &symbolName, const QString &value, const QString &unit, bool warm);
    bool operator==(const StatusFigure &) const = default;

    QString symbolName;
    QString symbol; // glyph; empty for none
    QString value;
    QString unit;
    bool warm = false;
    QColor symbolColor;
    QColor valueColor;
    QColor unitColor;
};

// The palette's status bar: connection dot and label, the overview's headline, live energy figures.
struct StatusBarLook {
    Q_GADGET
    QML_VALUE_TYPE(statusBarLook)
    Q_PROPERTY(StatusDotLook dot MEMBER dot CONSTANT)
    Q_PROPERTY(QString label MEMBER label CONSTANT)
    Q_PROPERTY(QColor labelColor MEMBER labelColor CONSTANT)
    Q_PROPERTY(QString headline MEMBER headline CONSTANT)
    Q_PROPERTY(QString separator MEMBER separator CONSTANT)
    Q_PROPERTY(QVariantList figures READ figureList CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)

public:
    static StatusBarLook make(const ConnectionState &connection, const QString &headline,
                              const EnergyState &energy);

    QVariantList figureList() const;
    bool operator==(const StatusBarLook &) const = default;

    StatusDotLook dot;
    QString label;
    QColor labelColor;
    QString headline; // empty: no separator, no headline
    QString separator;
    QList<StatusFigure> figures;
    QString accessibleName;
};
