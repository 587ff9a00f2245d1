#include "app/paneltoggle.h"

using namespace Qt::StringLiterals;

PanelToggle::PanelToggle(Panel panel, std::shared_ptr<Clock> clock)
    : m_panel(std::move(panel)), m_clock(std::move(clock))
{}

void PanelToggle::noteHidden()
{
    m_lastHide = m_clock->now();
}

void PanelToggle::toggle()
{
    if (m_panel.isVisible()) {
        m_panel.hide(u"toggle"_s);
        return;
    }
    if (!m_lastHide || m_clock->now() - *m_lastHide > reopenDelay)
        m_panel.show();
}
