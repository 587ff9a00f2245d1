#pragma once

#include "homey/model/homeynotification.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// One row of the notifications list: icon, title line with the unread dot and the subtitle, the body,
// an optional detail line, the time and the source; selected rows and urgent P2000 incidents carry a
// stripe along their leading edge.
struct NotificationRowLook {
    Q_GADGET
    QML_VALUE_TYPE(notificationRowLook)
    Q_PROPERTY(int index MEMBER index CONSTANT)
    Q_PROPERTY(bool selected MEMBER selected CONSTANT)
    Q_PROPERTY(QString icon MEMBER icon CONSTANT)
    Q_PROPERTY(QColor iconColor MEMBER iconColor CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QColor titleColor MEMBER titleColor CONSTANT)
    Q_PROPERTY(bool showsDot MEMBER showsDot CONSTANT)
    Q_PROPERTY(QString subtitle MEMBER subtitle CONSTANT)
    Q_PROPERTY(QString body MEMBER body CONSTANT)
    Q_PROPERTY(QString detail MEMBER detail CONSTANT)
    Q_PROPERTY(QString time MEMBER time CONSTANT)
    Q_PROPERTY(QString source MEMBER source CONSTANT)
    Q_PROPERTY(bool showsStripe MEMBER showsStripe CONSTANT)
    Q_PROPERTY(QColor stripeColor MEMBER stripeColor CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleValue MEMBER accessibleValue CONSTANT)

public:
    static NotificationRowLook make(int index, const HomeyNotification &item, bool selected,
                                    const QDateTime &now);
    // "prio 1" for a P2000 incident with a priority, else the source's title in lower case.
    static QString sourceLabel(const HomeyNotification &item);

    Q_INVOKABLE QColor fillColor(bool hovering) const;

    bool operator==(const NotificationRowLook &) const = default;

    int index = 0;
    bool selected = false;
    QString icon;
    QColor iconColor;
    QString title;
    QColor titleColor;
    bool showsDot = false;
    QString subtitle; // empty: none shown
    QString body;
    QString detail; // empty: none shown
    QString time;
    QString source;
    bool showsStripe = false;
    QColor stripeColor;
    QString accessibleName;
    QString accessibleValue;
};

// The bell in the search row with the unread count.
struct NotificationBellLook {
    Q_GADGET
    QML_VALUE_TYPE(notificationBellLook)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(bool showsBadge MEMBER showsBadge CONSTANT)
    Q_PROPERTY(QString count MEMBER count CONSTANT)
    Q_PROPERTY(QString tooltip MEMBER tooltip CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)

public:
    static NotificationBellLook make(int unread);

    Q_INVOKABLE QColor symbolColor(bool hovering) const;

    bool operator==(const NotificationBellLook &) const = default;

    bool lit = false;
    QString symbol;
    bool showsBadge = false;
    QString count;
    QString tooltip;
    QString accessibleName;
};
