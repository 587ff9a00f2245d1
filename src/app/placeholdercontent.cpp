#include "app/placeholdercontent.h"

#include "app/onboarding.h"
#include "app/placeholderrows.h"
#include "store/home/homestore.h"

using namespace Qt::StringLiterals;

PlaceholderContent::PlaceholderContent(HomeStore *store, Onboarding *onboarding, Actions actions,
                                       QObject *parent)
    : QObject(parent), m_store(store), m_onboarding(onboarding), m_actions(std::move(actions)),
      m_rows(new PlaceholderRows(this))
{
    connect(store, &HomeStore::queryChanged, this, &PlaceholderContent::queryChanged);
    for (auto changed : {&HomeStore::hitsChanged, &HomeStore::restChanged, &HomeStore::selectionChanged,
                         &HomeStore::queryChanged})
        connect(store, changed, this, &PlaceholderContent::refreshRows);
    connect(store, &HomeStore::connectionChanged, this, &PlaceholderContent::screenChanged);
    for (auto changed : {&Onboarding::showingChanged, &Onboarding::busyChanged, &Onboarding::hasTokenChanged,
                         &Onboarding::messageChanged, &Onboarding::connectionProblemChanged})
        connect(onboarding, changed, this, &PlaceholderContent::screenChanged);
    refreshRows();
}

QString PlaceholderContent::query() const
{
    return m_store ? m_store->query() : QString();
}

void PlaceholderContent::setQuery(const QString &query)
{
    if (m_store)
        m_store->setQuery(query);
}

QAbstractItemModel *PlaceholderContent::rows() const
{
    return m_rows;
}

QString PlaceholderContent::screen() const
{
    if (!m_onboarding || !m_store)
        return u"palette"_s;
    if (m_onboarding->showing())
        return u"pairing"_s;
    if (m_onboarding->connectionProblem())
        return u"problem"_s;
    if (m_onboarding->busy())
        return u"connecting"_s;
    if (m_store->connection().kind() == ConnectionState::Kind::failed)
        return u"problem"_s;
    return u"palette"_s;
}

QString PlaceholderContent::problem() const
{
    if (!m_onboarding || !m_store)
        return {};
    if (const std::optional<QString> advice = m_onboarding->connectionProblem())
        return *advice;
    const ConnectionState &state = m_store->connection();
    return state.text() + u" "_s + state.hint();
}

QString PlaceholderContent::message() const
{
    return m_onboarding ? m_onboarding->messageText() : QString();
}

bool PlaceholderContent::busy() const
{
    return m_onboarding && m_onboarding->busy();
}

bool PlaceholderContent::hasToken() const
{
    return m_onboarding && m_onboarding->hasToken();
}

void PlaceholderContent::save(const QString &key)
{
    if (m_actions.save && !busy())
        m_actions.save(key);
}

void PlaceholderContent::forget()
{
    if (m_actions.forget)
        m_actions.forget();
}

void PlaceholderContent::retry()
{
    if (m_actions.retry)
        m_actions.retry();
}

void PlaceholderContent::refreshRows()
{
    if (!m_store)
        return;
    if (!m_store->query().trimmed().isEmpty()) {
        m_rows->setRows(m_store->hits(), m_store->selection());
        return;
    }
    QList<Hit> rooms;
    for (const Room &room : m_store->rest().rooms)
        rooms.append(m_store->roomHit(room));
    m_rows->setRows(rooms, -1);
}
