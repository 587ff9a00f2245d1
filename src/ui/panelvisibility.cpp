#include "ui/panelvisibility.h"

void PanelVisibility::set(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    Q_EMIT isVisibleChanged();
}
