// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <array>
#include <string_view>

namespace zhuheng {

struct BarSize {
    std::string_view label;
    int diameter_mm;
    double area_cm2; // pi * d^2 / 4, to the nearest thousandth, used exactly as listed
};

inline constexpr std::array<BarSize, kBarDiameterCount> BarCountTable{{
    {"D12", 12, 1.131},
    {"D14", 14, 1.539},
    {"D16", 16, 2.011},
    {"D18", 18, 2.545},
    {"D20", 20, 3.142},
    {"D22", 22, 3.801},
    {"D25", 25, 4.909},
    {"D28", 28, 6.158},
    {"D30", 30, 7.069},
    {"D32", 32, 8.042},
    {"D34", 34, 9.079},
}};

// The number of bars of one size that provide an area, both in cm2: the next whole number above
// the quotient, a remainder under a tenth of a bar dropped.
double bar_count(double as_req_cm2, double bar_area_cm2);

enum class DesignOutcome { Completed, Redimension };

// The design stage of a run, after common_quantities. Completed: as_req (cm2), ratio (%), x (m)
// and bar_counts are written and floored. Redimension: the section cannot carry the moment with
// tension steel alone, and the results of the last completed run stay.
DesignOutcome reinforcement_design(CalcState& state);

} // namespace zhuheng
