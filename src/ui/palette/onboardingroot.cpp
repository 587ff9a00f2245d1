#include "ui/palette/onboardingroot.h"

#include "store/home/homestore.h"
#include "ui/palette/keypress.h"
#include "ui/palette/problemkeys.h"

#include <QDesktopServices>

using namespace Qt::StringLiterals;

OnboardingRoot::OnboardingRoot(HomeStore *store, Actions actions, bool isolated, QObject *parent)
    : QObject(parent), m_store(store), m_actions(std::move(actions)), m_isolated(isolated)
{
    if (store)
        connect(store, &HomeStore::connectionChanged, this, &OnboardingRoot::refresh);
    refresh();
}

OnboardingRoot::Screen OnboardingRoot::choose(const Facts &facts, const ConnectionState &connection)
{
    if (facts.showing)
        return Screen::Token;
    if (facts.connectionProblem)
        return Screen::Problem;
    if (facts.busy)
        return Screen::Connecting;
    if (connection.kind() == ConnectionState::Kind::failed)
        return Screen::Problem;
    return Screen::Palette;
}

std::optional<QString> OnboardingRoot::problemMessage(const Facts &facts, const ConnectionState &connection)
{
    switch (choose(facts, connection)) {
    case Screen::Problem:
        if (facts.connectionProblem)
            return facts.connectionProblem;
        return connection.text() + u' ' + connection.hint();
    case Screen::Token:
    case Screen::Connecting:
    case Screen::Palette:
        break;
    }
    return std::nullopt;
}

void OnboardingRoot::setFacts(const Facts &facts)
{
    if (facts == m_facts)
        return;
    m_facts = facts;
    refresh();
    Q_EMIT tokenScreenChanged();
}

TokenScreenLook OnboardingRoot::tokenScreen() const
{
    return TokenScreenLook::make(m_facts.checking, m_facts.hasToken, m_facts.message, m_token, m_isolated);
}

ConnectionProblemLook OnboardingRoot::problem() const
{
    return ConnectionProblemLook::make(
        problemMessage(m_facts, m_store ? m_store->connection() : ConnectionState()), m_facts.retrying);
}

void OnboardingRoot::setToken(const QString &token)
{
    if (token == m_token)
        return;
    m_token = token;
    Q_EMIT tokenChanged();
    Q_EMIT tokenScreenChanged();
}

bool OnboardingRoot::handleKey(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    const KeyPress press{key, modifiers, QString(), autoRepeat};
    // Ctrl+Q ends the program as the tray menu says, from the pairing and connection screens too; the
    // palette's key map does it where the palette is on show.
    if (m_screen != Screen::Palette && press.quits()) {
        if (m_actions.onQuit)
            m_actions.onQuit();
        return true;
    }
    if (m_confirmsForget && key == Qt::Key_Escape) {
        dismissForget();
        return true;
    }
    if (m_screen == Screen::Problem) {
        const ProblemKeys::Outcome outcome = ProblemKeys::handle(press, m_focusedButton);
        if (outcome.focus != Button::None)
            setFocusedButton(outcome.focus);
        if (outcome.press != Button::None)
            pressButton(outcome.press);
        return outcome.used;
    }
    if (m_focusedButton != Button::None &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        pressButton(m_focusedButton);
        return true;
    }
    return false;
}

void OnboardingRoot::submit()
{
    if (m_facts.checking)
        return;
    // Unchanged, blanks and all: the model answers a blank key with its own message.
    save(this, m_token);
}

void OnboardingRoot::pressSave()
{
    if (tokenScreen().saveEnabled)
        submit();
}

QCoro::Task<> OnboardingRoot::save(QPointer<OnboardingRoot> self, QString token)
{
    const std::function<QCoro::Task<bool>(QString)> onSave = self->m_actions.onSave;
    if (!onSave)
        co_return;
    bool accepted = false;
    try {
        accepted = co_await onSave(std::move(token));
    } catch (...) {
        // The shell reports its own failures through the model's message; the field keeps the key.
    }
    if (self && accepted)
        self->setToken(QString());
}

void OnboardingRoot::askForget()
{
    if (m_facts.hasToken && !m_facts.checking)
        setConfirmsForget(true);
}

void OnboardingRoot::confirmForget()
{
    if (!m_confirmsForget)
        return;
    setConfirmsForget(false);
    setToken(QString());
    if (m_actions.onForget)
        m_actions.onForget();
}

void OnboardingRoot::dismissForget()
{
    setConfirmsForget(false);
}

void OnboardingRoot::cancel()
{
    if (!m_facts.checking && m_actions.onCancel)
        m_actions.onCancel();
}

void OnboardingRoot::retry()
{
    if (m_actions.onRetry)
        m_actions.onRetry();
}

void OnboardingRoot::configure()
{
    if (m_actions.onConfigure)
        m_actions.onConfigure();
}

void OnboardingRoot::openWebApp()
{
    QDesktopServices::openUrl(TokenScreenLook::webAppURL());
}

void OnboardingRoot::pressButton(Button button)
{
    switch (button) {
    case Button::Save:
        pressSave();
        break;
    case Button::Cancel:
        cancel();
        break;
    case Button::Forget:
        askForget();
        break;
    case Button::ConfirmForget:
        confirmForget();
        break;
    case Button::DismissForget:
        dismissForget();
        break;
    case Button::Retry:
        retry();
        break;
    case Button::Configure:
        configure();
        break;
    case Button::None:
        break;
    }
}

void OnboardingRoot::focusButton(Button button, bool focused)
{
    if (focused)
        setFocusedButton(button);
    else if (m_focusedButton == button)
        setFocusedButton(Button::None);
}

void OnboardingRoot::setFocusedButton(Button button)
{
    if (button == m_focusedButton)
        return;
    m_focusedButton = button;
    if (m_screen == Screen::Problem)
        m_hintModel.setHints(ProblemKeys::hints(button));
    Q_EMIT focusedButtonChanged();
}

void OnboardingRoot::refresh()
{
    const Screen screen = choose(m_facts, m_store ? m_store->connection() : ConnectionState());
    const bool tokenLeft = m_screen == Screen::Token && screen != Screen::Token;
    const bool problemShown = screen == Screen::Problem;
    if (screen == m_screen && !problemShown)
        return;
    // The buttons of a screen that goes go with it, the one with the keyboard too. The problem screen's
    // keyboard starts on its main button, which Return presses.
    const bool changed = screen != m_screen;
    m_screen = screen;
    if (changed) {
        setFocusedButton(screen == Screen::Problem ? Button::Retry : Button::None);
        m_hintModel.setHints(screen == Screen::Problem ? ProblemKeys::hints(m_focusedButton)
                                                       : QList<KeyHint>());
    }
    // The token screen comes back with an empty field and no confirmation.
    if (tokenLeft) {
        setToken(QString());
        setConfirmsForget(false);
    }
    Q_EMIT screenChanged();
}

void OnboardingRoot::setConfirmsForget(bool confirms)
{
    if (confirms == m_confirmsForget)
        return;
    m_confirmsForget = confirms;
    Q_EMIT confirmsForgetChanged();
}
