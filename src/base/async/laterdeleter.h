#pragma once

#include <QObject>

// Deletes a QObject through the event loop. For an object made for one call whose signals may still be on
// the stack when the call lets go of it: a network manager whose reply is still emitting, the reply itself.
struct LaterDeleter {
    void operator()(QObject *object) const
    {
        if (object)
            object->deleteLater();
    }
};
