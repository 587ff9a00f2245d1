#include "base/log.h"
#include "homey/model/device.h"
