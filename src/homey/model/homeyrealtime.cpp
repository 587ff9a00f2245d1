#include "homey/model/homeyrealtime.h"

HomeyRealtime::~HomeyRealtime() = default;
