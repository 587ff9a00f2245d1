#include "platform/adapter.h"
#include "ports/port.h"
#include "ui/look.h"
