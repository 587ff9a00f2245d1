#include "ui/screens/rowscreen.h"

#include "store/home/homestore.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/hovergate.h"
#include "ui/screens/rowactions.h"

#include <utility>

RowScreen::RowScreen(HomeStore *store, HoverGate *gate, LevelCoalescer *coalescer, QObject *parent)
    : QObject(parent), m_store(store), m_gate(gate), m_coalescer(coalescer)
{}

void RowScreen::hover(int index)
{
    if (m_store)
        RowActions::hover(m_store, m_gate, index);
}

void RowScreen::activate(int index)
{
    if (!m_store)
        return;
    RowActions::click(m_store, index, [self = QPointer(this)] {
        if (self)
            Q_EMIT self->dismissRequested();
    });
}

void RowScreen::scrub(const QString &deviceID, double level)
{
    if (m_store && !deviceID.isEmpty())
        RowActions::scrub(m_store, m_coalescer, deviceID, level, false);
}

void RowScreen::release(const QString &deviceID, double level)
{
    if (m_store && !deviceID.isEmpty())
        RowActions::scrub(m_store, m_coalescer, deviceID, level, true);
}

bool RowScreen::keyboardMoved()
{
    return RowActions::keyboardMoved(m_gate);
}

bool RowScreen::stayedOnRow(const std::optional<QString> &hitID)
{
    m_revealPending = hitID && hitID == m_selectedID;
    m_selectedID = hitID;
    return m_revealPending;
}

void RowScreen::viewResized()
{
    if (m_selectedLine >= 0)
        Q_EMIT revealRequested(m_selectedLine);
}

void RowScreen::rowsRefreshed(const std::optional<QString> &hitID, int line)
{
    m_selectedID = hitID;
    m_selectedLine = hitID ? line : -1;
    // Only once the rows are in place: the refresh may come a frame after the selection moved.
    if (std::exchange(m_revealPending, false) && hitID && line >= 0)
        Q_EMIT revealRequested(line);
}
