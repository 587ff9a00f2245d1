#pragma once

#include "app/settingsmodel.h"

#include <memory>
#include <QObject>

class HubSession;
class QQmlEngine;
class QQuickWindow;

// The settings window: built on the first show() and kept for the process, so its state (a refused
// combination, what the fields hold) survives closing and opening it again. There is only ever one.
// While the hot-key recorder records, every key press of the window goes to it and no further;
// otherwise Escape and Ctrl+W close the window, and Ctrl+Q asks to end the program.
class SettingsWindowController : public QObject {
    Q_OBJECT

public:
    static constexpr int windowWidth = 500;
    static constexpr int windowHeight = 660;
    // The content's minimum width and its inset on every side.
    static constexpr int minimumWidth = 430 + 2 * 20;

    // The engine must know the Quorvane.Ui module; it outlives the controller.
    SettingsWindowController(QQmlEngine &engine, HotKeyTester &tester, NotificationFeed &feed,
                             Notifier &notifier, SettingsModel::Hooks hooks, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    // Builds the window the first time, then brings it forward with key focus.
    void show();
    // The connection line follows what the session says of the connection.
    void follow(HubSession *session);

    SettingsModel *model() const { return m_model; }
    // Nullptr before the first show(), or when the window could not be built.
    QQuickWindow *window() const { return m_window.get(); }

Q_SIGNALS:
    void quitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    // A combo box's list is open over the window.
    bool listOpen() const;
    // Scrolls the settings so that the control with the keyboard is in view.
    void showFocused();

    QQmlEngine &m_engine;
    SettingsModel *m_model;
    std::unique_ptr<QQuickWindow> m_window;
};
