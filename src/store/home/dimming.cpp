// Dimming lamps and rooms, with coalescing of quick steps, and thermostat targets.
#include "store/home/homestore.h"

// Not built yet.
void HomeStore::flushWaitingRoomDim() {}
