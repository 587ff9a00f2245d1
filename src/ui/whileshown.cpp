#include "ui/whileshown.h"

#include "store/home/homestore.h"

WhileShown::WhileShown(HomeStore *store, std::function<void()> refresh, QObject *parent)
    : QObject(parent), m_store(store), m_refresh(std::move(refresh))
{
    connect(store, &HomeStore::panelVisibleChanged, this, [this] {
        if (m_stale && isShown()) {
            m_stale = false;
            m_refresh();
        }
    });
}

bool WhileShown::isShown() const
{
    return m_store && m_store->isPanelVisible();
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
