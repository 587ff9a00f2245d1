#include "ui/palette/notificationsscreen.h"

#include "store/home/homestore.h"
#include "ui/hovergate.h"
#include "ui/keytext.h"
#include "ui/screens/rowactions.h"
#include "ui/symbolcatalog.h"
#include "ui/whileshown.h"

using namespace Qt::StringLiterals;

NotificationsScreen::NotificationsScreen(HomeStore *store, HoverGate *gate, Actions actions, QObject *parent)
    : RowScreen(store, gate, nullptr, parent), m_follow(new WhileShown(
                                                   store, [this] { refresh(); }, this)),
      m_actions(std::move(actions))
{
    for (const auto signal : {&HomeStore::queryChanged, &HomeStore::showsNotificationsChanged})
        connect(store, signal, m_follow, &WhileShown::changed);
    connect(store->notifications(), &NotificationFeed::itemsChanged, m_follow, &WhileShown::changed);
    connect(store, &HomeStore::selectionChanged, this, &NotificationsScreen::selectionMoved);
    refresh();
}

void NotificationsScreen::setPermission(Permission permission)
{
    if (permission == m_permission)
        return;
    m_permission = permission;
    Q_EMIT changed();
}

QString NotificationsScreen::count() const
{
    return isEmpty() ? QString() : QString::number(m_rows.rows().size());
}

QString NotificationsScreen::title() const
{
    return u"MELDINGEN"_s;
}

QString NotificationsScreen::permissionSymbol() const
{
    return SymbolCatalog::glyph(u"bell.slash"_s);
}

QString NotificationsScreen::permissionText() const
{
    return u"Je bureaublad toont geen banners"_s;
}

QString NotificationsScreen::permissionTooltip() const
{
    return u"Zet meldingen aan in de systeeminstellingen, Meldingen, Quorvane"_s;
}

QString NotificationsScreen::filtersText() const
{
    return u"filters"_s;
}

QString NotificationsScreen::clearText() const
{
    return u"wis alles"_s;
}

KeyCapLook NotificationsScreen::clearCap() const
{
    return KeyCapLook::make(u"\u2318\u232b"_s);
}

QString NotificationsScreen::emptySymbol() const
{
    return SymbolCatalog::glyph(u"bell.slash"_s);
}

QString NotificationsScreen::emptyTitle() const
{
    return u"Geen meldingen"_s;
}

QString NotificationsScreen::emptyText() const
{
    return u"Wat je Homey meldt komt hier binnen, en verschijnt rechtsboven op je scherm."_s;
}

void NotificationsScreen::activate(int index)
{
    if (m_store && m_store->selection() != index)
        m_store->setSelection(index);
}

void NotificationsScreen::clear()
{
    if (m_store)
        m_store->notifications()->clear();
}

void NotificationsScreen::openSettings()
{
    if (m_actions.openSettings)
        m_actions.openSettings();
}

void NotificationsScreen::requestPermission()
{
    if (m_actions.requestPermission)
        m_actions.requestPermission();
}

void NotificationsScreen::refresh()
{
    if (!m_store)
        return;
    const bool wasEmpty = isEmpty();
    const qsizetype wasCount = m_rows.rows().size();
    QList<NotificationsModel::Row> rows;
    // Only the list on screen is kept up to date; it is built afresh when it opens.
    if (m_store->showsNotifications()) {
        const QList<HomeyNotification> items = m_store->notificationRows();
        const QDateTime now = QDateTime::currentDateTime();
        const int selection = m_store->selection();
        rows.reserve(items.size());
        for (qsizetype i = 0; i < items.size(); ++i)
            rows.append(
                {items.at(i).id, NotificationRowLook::make(int(i), items.at(i), i == selection, now)});
    }
    m_rows.setRows(std::move(rows));
    if (wasEmpty != isEmpty() || wasCount != m_rows.rows().size())
        Q_EMIT changed();
}

void NotificationsScreen::selectionMoved()
{
    m_follow->changed();
    if (!m_follow->isShown() || !m_store || !m_store->showsNotifications())
        return;
    if (!keyboardMoved())
        return;
    const int selection = m_store->selection();
    if (selection >= 0 && selection < m_rows.rows().size())
        Q_EMIT scrollRequested(selection);
}

void NotificationsScreen::followBeat(const Motion *motion)
{
    m_follow->followBeat(motion);
}
