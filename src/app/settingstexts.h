#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The settings window's fixed texts, in Dutch.
struct SettingsTexts {
    Q_GADGET
    QML_VALUE_TYPE(settingsTexts)
    Q_PROPERTY(QString windowTitle MEMBER windowTitle CONSTANT)
    Q_PROPERTY(QString appName MEMBER appName CONSTANT)
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QString configure MEMBER configure CONSTANT)
    Q_PROPERTY(QString notifications MEMBER notifications CONSTANT)
    Q_PROPERTY(QString pushLabel MEMBER pushLabel CONSTANT)
    Q_PROPERTY(QString pushNote MEMBER pushNote CONSTANT)
    Q_PROPERTY(QString sourcesCaption MEMBER sourcesCaption CONSTANT)
    Q_PROPERTY(QString p2000Caption MEMBER p2000Caption CONSTANT)
    Q_PROPERTY(QString p2000Note MEMBER p2000Note CONSTANT)
    Q_PROPERTY(QString priorityLabel MEMBER priorityLabel CONSTANT)
    Q_PROPERTY(QString regionsLabel MEMBER regionsLabel CONSTANT)
    Q_PROPERTY(QString regionsPlaceholder MEMBER regionsPlaceholder CONSTANT)
    Q_PROPERTY(QString citiesLabel MEMBER citiesLabel CONSTANT)
    Q_PROPERTY(QString citiesPlaceholder MEMBER citiesPlaceholder CONSTANT)
    Q_PROPERTY(QString timeSensitiveLabel MEMBER timeSensitiveLabel CONSTANT)
    Q_PROPERTY(QString timeSensitiveNote MEMBER timeSensitiveNote CONSTANT)
    Q_PROPERTY(QString hotKey MEMBER hotKey CONSTANT)
    Q_PROPERTY(QString standard MEMBER standard CONSTANT)
    Q_PROPERTY(QString recordPrompt MEMBER recordPrompt CONSTANT)
    Q_PROPERTY(QString hotKeyElsewhere MEMBER hotKeyElsewhere CONSTANT)
    Q_PROPERTY(QString registerFailed MEMBER registerFailed CONSTANT)
    Q_PROPERTY(QString test MEMBER test CONSTANT)
    Q_PROPERTY(QString testNote MEMBER testNote CONSTANT)
    Q_PROPERTY(QString panel MEMBER panel CONSTANT)
    Q_PROPERTY(QString resetPanel MEMBER resetPanel CONSTANT)
    Q_PROPERTY(QString showLog MEMBER showLog CONSTANT)

public:
    static SettingsTexts make();

    QString windowTitle;
    QString appName;
    QString version;
    QString configure;
    QString notifications;
    QString pushLabel;
    QString pushNote;
    QString sourcesCaption;
    QString p2000Caption;
    QString p2000Note;
    QString priorityLabel;
    QString regionsLabel;
    QString regionsPlaceholder;
    QString citiesLabel;
    QString citiesPlaceholder;
    QString timeSensitiveLabel;
    QString timeSensitiveNote;
    QString hotKey;
    QString standard;
    // The chip's text while the recorder waits for a combination.
    QString recordPrompt;
    QString hotKeyElsewhere;
    QString registerFailed;
    QString test;
    QString testNote;
    QString panel;
    QString resetPanel;
    QString showLog;
};
