// Applying the hub's realtime changes to the home, with the echo rule for our own writes.
#include "store/home/homestore.h"

// Not built yet.
void HomeStore::apply(const HomeyEvent &event)
{
    Q_UNUSED(event);
}
