#pragma once

#include "app/hotkeycombo.h"
#include "app/settingstexts.h"
#include "store/notifications/notificationsettings.h"

#include <functional>
#include <memory>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQmlIntegration>
#include <QVariantList>
#include <QVariantMap>

class FileManager;
class HotKeyRecorder;
class HotKeyTester;
class NotificationFeed;
class Notifier;

// Everything the settings window shows and does: its texts, the notification settings (each change goes
// to the feed at once), the hot key with its recorder and tester, the panel size reset, the connection
// line and the log. The window's QML only draws these properties and calls these functions.
class SettingsModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the settings window's controller")
    Q_PROPERTY(SettingsTexts texts READ texts CONSTANT)

    Q_PROPERTY(QString permissionText READ permissionText NOTIFY permissionChanged)
    Q_PROPERTY(QString permissionSymbol READ permissionSymbol NOTIFY permissionChanged)
    Q_PROPERTY(QColor permissionColor READ permissionColor NOTIFY permissionChanged)

    Q_PROPERTY(bool pushEnabled READ pushEnabled WRITE setPushEnabled NOTIFY settingsChanged)
    // One entry per source, in their fixed order: {title, symbol}.
    Q_PROPERTY(QVariantList sources READ sources CONSTANT)
    // Whether each of those is collected, in the same order.
    Q_PROPERTY(QVariantList sourcesEnabled READ sourcesEnabled NOTIFY settingsChanged)
    Q_PROPERTY(QStringList priorityChoices READ priorityChoices CONSTANT)
    Q_PROPERTY(int priorityIndex READ priorityIndex WRITE setPriorityIndex NOTIFY settingsChanged)
    Q_PROPERTY(QString regionText READ regionText WRITE setRegionText NOTIFY regionTextChanged)
    Q_PROPERTY(QString cityText READ cityText WRITE setCityText NOTIFY cityTextChanged)
    Q_PROPERTY(bool timeSensitive READ timeSensitive WRITE setTimeSensitive NOTIFY settingsChanged)

    // False where the desktop lets no program have a global hot key: the hot-key section then says what
    // opens the panel instead, and offers nothing to record or test.
    Q_PROPERTY(bool globalHotKey READ globalHotKey CONSTANT)
    Q_PROPERTY(QString panelNote READ panelNote CONSTANT)
    Q_PROPERTY(QString chipText READ chipText NOTIFY hotKeyChanged)
    Q_PROPERTY(QColor chipColor READ chipColor NOTIFY hotKeyChanged)
    Q_PROPERTY(QString recordButtonText READ recordButtonText NOTIFY hotKeyChanged)
    Q_PROPERTY(bool registerFailed READ registerFailed NOTIFY hotKeyChanged)

    Q_PROPERTY(QString testButtonText READ testButtonText NOTIFY testChanged)
    Q_PROPERTY(bool canTest READ canTest NOTIFY testChanged)
    // "Werkt" after a press arrived, "Druk nu ..." while waiting for one, else empty (nothing shown).
    Q_PROPERTY(QString testResultText READ testResultText NOTIFY testChanged)
    Q_PROPERTY(QString testResultSymbol READ testResultSymbol NOTIFY testChanged)
    Q_PROPERTY(QColor testResultColor READ testResultColor NOTIFY testChanged)

    Q_PROPERTY(QString connectionText READ connectionText NOTIFY connectionTextChanged)
    // Said under the bottom row when "Toon logboek" found nothing to show the log with; else empty.
    Q_PROPERTY(QString logNotice READ logNotice NOTIFY logNoticeChanged)

public:
    struct Hooks {
        // The one-line connection summary as it stands now.
        std::function<QString()> connectionText;
        // Opens the pairing screen in the panel.
        std::function<void()> onConfigure;
        // Registers a new hot key; true when it is registered afterwards. On false the one registered
        // before is still registered.
        std::function<bool(const HotKeyCombo &)> onHotKeyChange;
        // The desktop allows a global hot key (not so under Wayland).
        bool globalHotKey = true;
        // Shows the log file for "Toon logboek"; none: only its folder can open.
        std::shared_ptr<FileManager> fileManager = nullptr;
    };

    SettingsModel(HotKeyTester &tester, NotificationFeed &feed, Notifier &notifier, Hooks hooks,
                  QObject *parent = nullptr);
    ~SettingsModel() override;

    static SettingsTexts texts();

    QString permissionText() const;
    QString permissionSymbol() const;
    QColor permissionColor() const;

    bool pushEnabled() const;
    void setPushEnabled(bool on);
    static QVariantList sources();
    QVariantList sourcesEnabled() const;
    Q_INVOKABLE void setSourceEnabled(int index, bool on);
    static QStringList priorityChoices();
    int priorityIndex() const;
    void setPriorityIndex(int index);
    // What the two fields hold: the stored places, sorted, whenever they change; while typing, the
    // typed text as long as it says the same.
    QString regionText() const { return m_regionText; }
    void setRegionText(const QString &text);
    QString cityText() const { return m_cityText; }
    void setCityText(const QString &text);
    bool timeSensitive() const;
    void setTimeSensitive(bool on);

    bool globalHotKey() const { return m_hooks.globalHotKey; }
    QString panelNote() const;
    HotKeyCombo combo() const { return m_combo; }
    bool isRecording() const;
    QString chipText() const;
    QColor chipColor() const;
    QString recordButtonText() const;
    bool registerFailed() const { return m_registerFailed; }
    // The recorder takes every key press while it records; true when it took this one.
    bool handleKey(int qtKey, Qt::KeyboardModifiers modifiers);
    // Escape, and Ctrl+W as in the desktop's other windows, close the window: without a window manager
    // there is no other way to close it. While a combo box's list is open, Escape is the list's. Not
    // asked while recording: the recorder takes every key.
    static bool closesWindow(int qtKey, Qt::KeyboardModifiers modifiers, bool listOpen);

    QString testButtonText() const;
    bool canTest() const;
    QString testResultText() const;
    QString testResultSymbol() const;
    QColor testResultColor() const;

    QString connectionText() const { return m_connectionText; }
    QString logNotice() const { return m_logNotice; }
    // Reads the connection line again at each change source announces, from now on; following another
    // source ends following the one before.
    template <typename Source> void follow(Source *source, void (Source::*changed)())
    {
        disconnect(m_connectionLink);
        if (source)
            m_connectionLink = connect(source, changed, this, &SettingsModel::refreshConnection);
        refreshConnection();
    }
    // Reads the connection summary again.
    void refreshConnection();

    // The window came into view: the two text fields are filled from the settings, and the notification
    // service is asked again whether it is there.
    void appeared();
    // The window went away: recording ends and a pending test is abandoned.
    void disappeared();

    Q_INVOKABLE void configure();
    Q_INVOKABLE void toggleRecording();
    Q_INVOKABLE void useStandard();
    Q_INVOKABLE void armTest();
    Q_INVOKABLE void resetPanelSize();
    Q_INVOKABLE void revealLog();

Q_SIGNALS:
    void permissionChanged();
    void settingsChanged();
    void regionTextChanged();
    void cityTextChanged();
    void hotKeyChanged();
    void testChanged();
    void connectionTextChanged();
    void logNoticeChanged();

private:
    void change(const std::function<void(NotificationSettings &)> &edit);
    void apply(const HotKeyCombo &combo);
    void captured();
    void setLogNotice(const QString &text);
    void showPlaces(const QString &regions, const QString &cities);
    void storedPlacesChanged();

    HotKeyTester &m_tester;
    NotificationFeed &m_feed;
    Notifier &m_notifier;
    Hooks m_hooks;
    HotKeyRecorder *m_recorder;
    HotKeyCombo m_combo;
    bool m_registerFailed = false;
    QString m_regionText;
    QString m_cityText;
    QString m_connectionText;
    QString m_logNotice;
    QMetaObject::Connection m_connectionLink;
};
