#include "app/palettepanel.h"

#include "app/panelplacement.h"
#include "ui/theme.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

PalettePanel::PalettePanel(bool takesFocus)
{
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFlag(Qt::WindowDoesNotAcceptFocus, !takesFocus);
    setTitle(u"Quorvane"_s);
    setColor(Theme::surface());
    setMinimumSize(PanelPlacement::minimumSize.toSize());
    resize(PanelPlacement::defaultSize.toSize());
}

void PalettePanel::keyPressEvent(QKeyEvent *event)
{
    // The content sees every key first; Esc closes the panel only when it was left unused. Delivery
    // accepts the event for each item it reaches, so one that reaches no item stays unused.
    event->ignore();
    QQuickWindow::keyPressEvent(event);
    if (event->isAccepted())
        return;
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        Q_EMIT escapePressed();
    }
}

void PalettePanel::exposeEvent(QExposeEvent *event)
{
    QQuickWindow::exposeEvent(event);
    if (isExposed())
        Q_EMIT exposed();
}
