#pragma once

#include "ui/keycaplook.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQmlIntegration>
#include <QVariantList>

// One key hint of the palette's footer: the keys and what they do.
struct KeyHint {
    Q_GADGET
    QML_VALUE_TYPE(keyHint)
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QVariantList caps READ caps CONSTANT)
    Q_PROPERTY(QString what MEMBER what CONSTANT)

public:
    KeyHint() = default;
    // The identity is the keys run together, then what: two equal hints are one hint in a list.
    KeyHint(const QStringList &keys, const QString &what);

    QVariantList caps() const;

    QString id;
    QStringList keys;
    QString what;

    bool operator==(const KeyHint &) const = default;
};

// The palette's footer: what the keys do in the current state, with an optional trailing text.
struct KeyHintBarLook {
    Q_GADGET
    QML_VALUE_TYPE(keyHintBarLook)
    Q_PROPERTY(QVariantList hints READ hintList CONSTANT)
    Q_PROPERTY(QString trailing MEMBER trailing CONSTANT)

public:
    QVariantList hintList() const;

    QList<KeyHint> hints;
    QString trailing; // empty: none shown
};
