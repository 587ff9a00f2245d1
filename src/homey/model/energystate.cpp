#include "homey/model/energystate.h"

#include <cmath>

EnergyState EnergyState::house(double generationW, double netW, bool hasGridMeter,
                               double fallbackConsumptionW)
{
    // std::round rounds halves away from zero, and is exact where floor(x + 0.5) is not.
    const double consumption = hasGridMeter ? generationW + netW : fallbackConsumptionW;
    return EnergyState{std::round(consumption), std::round(generationW), std::round(netW)};
}
