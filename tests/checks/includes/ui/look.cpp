#include "platform/adapter.h"
#include "ports/port.h"
