#pragma once

// The house's energy totals, in watts.
struct EnergyState {
    double consumptionW = 0;
    double generationW = 0;
    double netW = 0;

    // Whole watts, halves away from zero. With a grid meter the consumption is what the house makes
    // plus what it draws; without one the fallback figure stands in.
    static EnergyState house(double generationW, double netW, bool hasGridMeter, double fallbackConsumptionW);

    bool operator==(const EnergyState &) const = default;
};
