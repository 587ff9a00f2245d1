#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>
#include <QVariantMap>

// One mode of an alarm's mode row: lit while it is the current mode, ringed under the keyboard cursor,
// red while a press of it waits for its second press.
struct ArmModeChipLook {
    Q_GADGET
    QML_VALUE_TYPE(armModeChipLook)
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString text MEMBER text CONSTANT)
    Q_PROPERTY(bool armed MEMBER armed CONSTANT)
    Q_PROPERTY(QString warningGlyph MEMBER warningGlyph CONSTANT)
    Q_PROPERTY(QColor inkColor MEMBER inkColor CONSTANT)
    Q_PROPERTY(QColor fillColor MEMBER fillColor CONSTANT)
    Q_PROPERTY(QColor borderColor MEMBER borderColor CONSTANT)
    Q_PROPERTY(double borderWidth MEMBER borderWidth CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleDescription MEMBER accessibleDescription CONSTANT)

public:
    // From one chip of an alarm-mode row's view (id, title, text, current, cursor, armed, accessibleValue,
    // accessibleHint).
    static ArmModeChipLook make(const QVariantMap &chip);

    QString id;
    QString text;
    bool armed = false;
    // Shown in front of the text while the mode waits for its second press.
    QString warningGlyph;
    QColor inkColor;
    QColor fillColor;
    QColor borderColor;
    double borderWidth = 0.5;
    QString accessibleName;
    QString accessibleDescription;
};
