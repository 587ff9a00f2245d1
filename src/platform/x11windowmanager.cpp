#include "platform/x11windowmanager.h"

#include "platform/x11windowframe.h"
#include "platform/x11windowstate.h"

void X11WindowManager::skipTaskbar(QWindow *window)
{
    X11WindowState::skipTaskbar(window);
}

bool X11WindowManager::knowsFrames() const
{
    return X11WindowFrame::available();
}

std::optional<QRect> X11WindowManager::frame(QWindow *window) const
{
    return X11WindowFrame::frame(window);
}
