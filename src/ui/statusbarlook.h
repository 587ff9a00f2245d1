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
    Q_PROPERTY(double amount MEMBER amount CONSTANT)
    Q_PROPERTY(bool shown MEMBER shown CONSTANT)

public:
    // symbolName: a name of the symbol catalogue, or empty for none. watts: the figure's power, shown as
    // its magnitude. warm: drawn in the accent.
    static StatusFigure make(const QString &symbolName, double watts, const QString &unit, bool warm);
    bool operator==(const StatusFigure &) const = default;

    // The value text for an amount on its way to this one (a figure counting to its new value).
    Q_INVOKABLE QString valueAt(double watts) const;

    bool shown = true; // false: a place kept for a figure that is not there now
    double amount = 0; // the magnitude in watts
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
    // The three places of the figures, each drawn only while shown: consumption always, generation above
    // a watt, the grid beyond a watt either way.
    Q_PROPERTY(StatusFigure consumption MEMBER consumption CONSTANT)
    Q_PROPERTY(StatusFigure generation MEMBER generation CONSTANT)
    Q_PROPERTY(StatusFigure net MEMBER net CONSTANT)
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
    QList<StatusFigure> figures; // the shown ones of the three, in order
    StatusFigure consumption;
    StatusFigure generation;
    StatusFigure net;
    QString accessibleName;
};
