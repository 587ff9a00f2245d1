#include "ports/port.h"
#include "store/home/homestore.h"
