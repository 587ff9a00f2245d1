#include "ui/whileshown.h"

#include "store/home/homestore.h"

WhileShown::WhileShown(HomeStore *store, std::function<void()> refresh, QObject *parent,
                       std::function<bool()> onScreen)
    : QObject(parent), m_store(store), m_refresh(std::move(refresh)), m_onScreen(std::move(onScreen))
{
    const auto catchUp = [this] {
        if (m_stale && isShown()) {
            m_stale = false;
            m_refresh();
        }
    };
    connect(store, &HomeStore::panelVisibleChanged, this, catchUp);
    if (m_onScreen)
        connect(store, &HomeStore::modeChanged, this, catchUp);
}

bool WhileShown::isShown() const
{
    return m_store && m_store->isPanelVisible() && (!m_onScreen || m_onScreen());
}

void WhileShown::changed()
{
    if (!isShown()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    m_refresh();
}
