#include "ports/port.h"
