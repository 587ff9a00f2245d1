#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// What a list shows when nothing matches the typed text: a faint magnifying glass, a title naming the
// text and a line of help.
struct EmptyStateLook {
    Q_GADGET
    QML_VALUE_TYPE(emptyStateLook)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(double symbolSize MEMBER symbolSize CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString text MEMBER text CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)

public:
    // The results list found nothing for query.
    static EmptyStateLook forResults(const QString &query);
    // The filter typed in a room left none of its devices.
    static EmptyStateLook forRoom(const QString &roomName, const QString &query);

    bool operator==(const EmptyStateLook &) const = default;

    QString symbol;
    double symbolSize = 20;
    QColor symbolColor;
    QString title;
    QString text;
    QString accessibleName;
};
