#include "cursorname.h"

#include <X11/extensions/Xfixes.h>
#include <X11/Xlib.h>

QString cursorName()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    QString name;
    if (XFixesCursorImage *image = XFixesGetCursorImage(display)) {
        name = QString::fromLatin1(image->name ? image->name : "");
        XFree(image);
    }
    XCloseDisplay(display);
    return name;
}
