#pragma once

#include <optional>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The screen while the hub connection is made, or after it failed with advice and two ways on.
struct ConnectionProblemLook {
    Q_GADGET
    QML_VALUE_TYPE(connectionProblemLook)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(bool connecting MEMBER connecting CONSTANT)
    Q_PROPERTY(QString text MEMBER text CONSTANT)
    Q_PROPERTY(QString keepsTrying MEMBER keepsTrying CONSTANT)
    Q_PROPERTY(QString retryText MEMBER retryText CONSTANT)
    Q_PROPERTY(QString configureText MEMBER configureText CONSTANT)

public:
    // message: the advice of a failed connection; none while it is still being made. retrying: the
    // failed connection is tried again by itself.
    static ConnectionProblemLook make(const std::optional<QString> &message, bool retrying = false);

    bool operator==(const ConnectionProblemLook &) const = default;

    QString symbol;
    QString title;
    bool connecting = false;
    QString text;
    // Empty unless a failed connection is tried again.
    QString keepsTrying;
    QString retryText;
    QString configureText;
};
