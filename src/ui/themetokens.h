#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QtQmlIntegration>

// The theme's tokens for QML, so no QML file holds a colour, a font or a size of its own.
class ThemeTokens : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Theme)
    QML_SINGLETON
    Q_PROPERTY(double panelWidth READ panelWidth CONSTANT)
    Q_PROPERTY(double panelHeight READ panelHeight CONSTANT)
    Q_PROPERTY(double corner READ corner CONSTANT)
    Q_PROPERTY(double rowHeight READ rowHeight CONSTANT)
    Q_PROPERTY(double rowHeightCompact READ rowHeightCompact CONSTANT)
    Q_PROPERTY(double rowCorner READ rowCorner CONSTANT)
    Q_PROPERTY(double pad READ pad CONSTANT)
    Q_PROPERTY(double tileHeight READ tileHeight CONSTANT)
    Q_PROPERTY(QColor lit READ lit CONSTANT)
    Q_PROPERTY(QColor litSoft READ litSoft CONSTANT)
    Q_PROPERTY(QColor litDeep READ litDeep CONSTANT)
    Q_PROPERTY(QColor surface READ surface CONSTANT)
    Q_PROPERTY(QColor surfaceHi READ surfaceHi CONSTANT)
    Q_PROPERTY(QColor surfaceTile READ surfaceTile CONSTANT)
    Q_PROPERTY(QColor surfaceLit READ surfaceLit CONSTANT)
    Q_PROPERTY(QColor text READ text CONSTANT)
    Q_PROPERTY(QColor textDim READ textDim CONSTANT)
    Q_PROPERTY(QColor textFaint READ textFaint CONSTANT)
    Q_PROPERTY(QColor hairline READ hairline CONSTANT)
    Q_PROPERTY(QColor selection READ selection CONSTANT)
    Q_PROPERTY(QColor alarm READ alarm CONSTANT)
    Q_PROPERTY(QColor clear READ clear CONSTANT)

public:
    using QObject::QObject;

    double panelWidth() const;
    double panelHeight() const;
    double corner() const;
    double rowHeight() const;
    double rowHeightCompact() const;
    double rowCorner() const;
    double pad() const;
    double tileHeight() const;
    QColor lit() const;
    QColor litSoft() const;
    QColor litDeep() const;
    QColor surface() const;
    QColor surfaceHi() const;
    QColor surfaceTile() const;
    QColor surfaceLit() const;
    QColor text() const;
    QColor textDim() const;
    QColor textFaint() const;
    QColor hairline() const;
    QColor selection() const;
    QColor alarm() const;
    QColor clear() const;

    Q_INVOKABLE QColor fade(const QColor &colour, double opacity) const;
    Q_INVOKABLE QColor white(double opacity) const;
    Q_INVOKABLE QFont title(double size) const;
    Q_INVOKABLE QFont label(double size) const;
    Q_INVOKABLE QFont body(double size) const;
    Q_INVOKABLE QFont mono(double size) const;
    Q_INVOKABLE QFont section() const;
    Q_INVOKABLE QFont icon(double size) const;
};
