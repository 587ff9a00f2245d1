#include "ui/palette/onboardingroot.h"

#include "store/home/homestore.h"
#include "ui/palette/keypress.h"

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
        return Screen::token;
    if (facts.connectionProblem)
        return Screen::problem;
    if (facts.busy)
        return Screen::connecting;
    if (connection.kind() == ConnectionState::Kind::failed)
        return Screen::problem;
    return Screen::palette;
}

std::optional<QString> OnboardingRoot::problemMessage(const Facts &facts, const ConnectionState &connection)
{
    switch (choose(facts, connection)) {
    case Screen::problem:
        if (facts.connectionProblem)
            return facts.connectionProblem;
        return connection.text() + u' ' + connection.hint();
    case Screen::token:
    case Screen::connecting:
    case Screen::palette:
        break;
    }
    return std::nullopt;
}

QString OnboardingRoot::screenName() const
{
    switch (m_screen) {
    case Screen::token:
        return u"token"_s;
    case Screen::problem:
        return u"problem"_s;
    case Screen::connecting:
        return u"connecting"_s;
    case Screen::palette:
        return u"palette"_s;
    }
    return {};
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
    return TokenScreenLook::make(m_facts.busy, m_facts.hasToken, m_facts.message, m_token, m_isolated);
}

ConnectionProblemLook OnboardingRoot::problem() const
{
    return ConnectionProblemLook::make(
        problemMessage(m_facts, m_store ? m_store->connection() : ConnectionState()));
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
    if (m_screen != Screen::problem || key != Qt::Key_R || !press.isCommandChord())
        return false;
    // A held chord tries once.
    if (!autoRepeat)
        retry();
    return true;
}

void OnboardingRoot::submit()
{
    if (m_facts.busy)
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
    if (m_facts.hasToken && !m_facts.busy)
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
    if (!m_facts.busy && m_actions.onCancel)
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

void OnboardingRoot::refresh()
{
    const Screen screen = choose(m_facts, m_store ? m_store->connection() : ConnectionState());
    const bool tokenLeft = m_screen == Screen::token && screen != Screen::token;
    const bool problemShown = screen == Screen::problem;
    if (screen == m_screen && !problemShown)
        return;
    m_screen = screen;
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
