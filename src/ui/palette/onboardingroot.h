#pragma once

#include "homey/model/connectionstate.h"
#include "ui/keyhintsmodel.h"
#include "ui/palette/connectionproblemlook.h"
#include "ui/palette/tokenscreenlook.h"

#include <functional>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

class HomeStore;

// The panel's root: the token screen, the connection screen (connecting, or failed with advice) or the
// palette, chosen anew whenever the onboarding facts or the store's connection change. It also holds
// the token screen's state: the key in the field, which leaves it only through the save action and is
// never logged, and the forget confirmation.
class OnboardingRoot : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(Screen screen READ screen NOTIFY screenChanged)
    Q_PROPERTY(TokenScreenLook tokenScreen READ tokenScreen NOTIFY tokenScreenChanged)
    Q_PROPERTY(ConnectionProblemLook problem READ problem NOTIFY screenChanged)
    Q_PROPERTY(QString token READ token WRITE setToken NOTIFY tokenChanged)
    Q_PROPERTY(bool confirmsForget READ confirmsForget NOTIFY confirmsForgetChanged)
    Q_PROPERTY(Button focusedButton READ focusedButton NOTIFY focusedButtonChanged)
    // The keys of the connection-problem screen, for its hint bar; empty on the other screens.
    Q_PROPERTY(KeyHintsModel *hintModel READ hintModel CONSTANT)

public:
    enum class Screen { Token, Problem, Connecting, Palette };
    Q_ENUM(Screen)
    // The push buttons of the token and connection screens and of the forget question.
    enum class Button { None, Save, Cancel, Forget, ConfirmForget, DismissForget, Retry, Configure };
    Q_ENUM(Button)

    // What the onboarding model says; the app shell keeps it current.
    struct Facts {
        bool showing = false;
        // A boot, a key check or a deletion runs.
        bool busy = false;
        // The person's own key is being checked: the only work the token screen shows.
        bool checking = false;
        bool hasToken = false;
        std::optional<QString> message;
        std::optional<QString> connectionProblem;
        // The failed connection is tried again by itself.
        bool retrying = false;
        bool operator==(const Facts &) const = default;
    };

    struct Actions {
        // The pasted key checked and kept; true when it was accepted.
        std::function<QCoro::Task<bool>(QString key)> onSave;
        std::function<void()> onForget;
        std::function<void()> onCancel;
        std::function<void()> onRetry;
        std::function<void()> onConfigure;
        // Ctrl+Q on a screen of the root's own; the palette has its own.
        std::function<void()> onQuit;
    };

    // isolated: a test run with its own key store and settings, which the token screen says.
    OnboardingRoot(HomeStore *store, Actions actions, bool isolated, QObject *parent = nullptr);

    // The screen for these facts and connection, and the advice of the connection screen.
    static Screen choose(const Facts &facts, const ConnectionState &connection);
    static std::optional<QString> problemMessage(const Facts &facts, const ConnectionState &connection);

    void setFacts(const Facts &facts);
    const Facts &facts() const { return m_facts; }

    Screen screen() const { return m_screen; }
    TokenScreenLook tokenScreen() const;
    ConnectionProblemLook problem() const;
    QString token() const { return m_token; }
    void setToken(const QString &token);
    bool confirmsForget() const { return m_confirmsForget; }
    // The button that has the keyboard. On the connection-problem screen the root moves it itself
    // (see ProblemKeys), starting on "Opnieuw proberen"; elsewhere it follows the focus of the window.
    Button focusedButton() const { return m_focusedButton; }
    KeyHintsModel *hintModel() { return &m_hintModel; }

    // A key press of the panel's window while this root's own screen shows: the connection-problem
    // screen's keys (ProblemKeys); Escape answers the forget question as its harmless button does;
    // Return, Enter and Space press the button that has the keyboard. True when it was used.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);

    // Return in the key field: saves whatever it holds, unless a check of the person's is under way.
    Q_INVOKABLE void submit();
    // The save button: only while it is enabled.
    Q_INVOKABLE void pressSave();
    Q_INVOKABLE void askForget();
    // "Wis de sleutel": the field is emptied before the key is forgotten.
    Q_INVOKABLE void confirmForget();
    Q_INVOKABLE void dismissForget();
    Q_INVOKABLE void cancel();
    Q_INVOKABLE void retry();
    Q_INVOKABLE void configure();
    Q_INVOKABLE void openWebApp();
    // A button pressed by the pointer, or by the keyboard while it has the focus.
    Q_INVOKABLE void pressButton(OnboardingRoot::Button button);
    // The button that took the keyboard (focused) or gave it up.
    Q_INVOKABLE void focusButton(OnboardingRoot::Button button, bool focused);

Q_SIGNALS:
    void screenChanged();
    void tokenScreenChanged();
    void tokenChanged();
    void confirmsForgetChanged();
    void focusedButtonChanged();

private:
    void refresh();
    void setConfirmsForget(bool confirms);
    void setFocusedButton(Button button);
    static QCoro::Task<> save(QPointer<OnboardingRoot> self, QString token);

    QPointer<HomeStore> m_store;
    Actions m_actions;
    const bool m_isolated;
    Facts m_facts;
    Screen m_screen = Screen::Palette;
    QString m_token;
    bool m_confirmsForget = false;
    Button m_focusedButton = Button::None;
    KeyHintsModel m_hintModel;
};
