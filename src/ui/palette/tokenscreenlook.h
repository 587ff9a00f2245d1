#pragma once

#include <optional>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>
#include <QUrl>

// The token screen: where to make a key, the masked key field, the check-and-keep button and, once a
// key is kept, cancelling and forgetting it (behind a confirmation).
struct TokenScreenLook {
    Q_GADGET
    QML_VALUE_TYPE(tokenScreenLook)
    Q_PROPERTY(QString titleSymbol MEMBER titleSymbol CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString intro MEMBER intro CONSTANT)
    Q_PROPERTY(QString linkText MEMBER linkText CONSTANT)
    Q_PROPERTY(QString stepTwo MEMBER stepTwo CONSTANT)
    Q_PROPERTY(QString stepThree MEMBER stepThree CONSTANT)
    Q_PROPERTY(QString fieldLabel MEMBER fieldLabel CONSTANT)
    Q_PROPERTY(QString placeholder MEMBER placeholder CONSTANT)
    Q_PROPERTY(QString fieldAccessibleName MEMBER fieldAccessibleName CONSTANT)
    Q_PROPERTY(bool fieldEnabled MEMBER fieldEnabled CONSTANT)
    Q_PROPERTY(QString note MEMBER note CONSTANT)
    Q_PROPERTY(QString message MEMBER message CONSTANT)
    Q_PROPERTY(QString saveTitle MEMBER saveTitle CONSTANT)
    Q_PROPERTY(bool saveEnabled MEMBER saveEnabled CONSTANT)
    Q_PROPERTY(bool showsProgress MEMBER showsProgress CONSTANT)
    Q_PROPERTY(bool showsKeyButtons MEMBER showsKeyButtons CONSTANT)
    Q_PROPERTY(bool keyButtonsEnabled MEMBER keyButtonsEnabled CONSTANT)
    Q_PROPERTY(QString cancelText MEMBER cancelText CONSTANT)
    Q_PROPERTY(QString forgetText MEMBER forgetText CONSTANT)
    Q_PROPERTY(QString isolatedNote MEMBER isolatedNote CONSTANT)
    Q_PROPERTY(QString confirmTitle MEMBER confirmTitle CONSTANT)
    Q_PROPERTY(QString confirmMessage MEMBER confirmMessage CONSTANT)
    Q_PROPERTY(QString confirmForgetText MEMBER confirmForgetText CONSTANT)
    Q_PROPERTY(QString confirmCancelText MEMBER confirmCancelText CONSTANT)

public:
    // The web app where keys are made.
    static const QString webAppHost;
    static QUrl webAppURL();

    // checking: the person's own key is being checked; token: what the field holds; message: the latest
    // status or error of a save, a forget or a boot.
    static TokenScreenLook make(bool checking, bool hasToken, const std::optional<QString> &message,
                                const QString &token, bool isolated);

    bool operator==(const TokenScreenLook &) const = default;

    QString titleSymbol;
    QString title;
    QString intro;
    QString linkText;
    QString stepTwo;
    QString stepThree;
    QString fieldLabel;
    QString placeholder;
    QString fieldAccessibleName;
    bool fieldEnabled = true;
    QString note;
    QString message; // empty: none shown
    QString saveTitle;
    bool saveEnabled = false;
    bool showsProgress = false;
    // "Annuleren" and "Sleutel wissen", once a key is kept.
    bool showsKeyButtons = false;
    bool keyButtonsEnabled = true;
    QString cancelText;
    QString forgetText;
    QString isolatedNote; // empty: none shown
    QString confirmTitle;
    QString confirmMessage;
    QString confirmForgetText;
    QString confirmCancelText;
};
