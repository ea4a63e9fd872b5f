// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

namespace zhuheng {

struct SteelGrade {
    std::string_view label; // UTF-8, exactly as listed
    std::int32_t rg;        // KPa
    double xi_jg;
};

struct ConcreteGrade {
    std::string_view label;
    std::int16_t ra; // KPa
};

// Rows 1 to 4 begin with the Roman numerals U+2160..U+2163, not Latin letters.
inline constexpr std::array<SteelGrade, 5> SteelGradeTable{{
    {"\u2160\u7ea7", 240000, 0.65}, // Ⅰ级
    {"\u2161\u7ea7", 340000, 0.55}, // Ⅱ级
    {"\u2162\u7ea7", 380000, 0.55}, // Ⅲ级
    {"\u2163\u7ea7", 550000, 0.45}, // Ⅳ级
    {"5\u53f7", 280000, 0.6},       // 5号
}};

inline constexpr std::array<ConcreteGrade, 7> ConcreteGradeTable{{
    {"15\u53f7", 8500},
    {"20\u53f7", 11000},
    {"25\u53f7", 14500},
    {"30\u53f7", 17500},
    {"40\u53f7", 23000},
    {"50\u53f7", 28500},
    {"60\u53f7", 32500},
}};

// The concrete bands of the minimum reinforcement ratio, by ra in KPa, bounds included. There
// is no band between them: strengths strictly between two bands select none.
struct ConcreteBand {
    double ra_from;
    double ra_to;
};
inline constexpr std::array<ConcreteBand, 3> kRatioMinBands{{
    {-std::numeric_limits<double>::infinity(), 11000}, // 15号, 20号
    {14500, 23000},                                    // 25号, 30号, 40号
    {28500, std::numeric_limits<double>::infinity()},  // 50号, 60号
}};

// Minimum reinforcement ratio in %: a row per steel class (rg exactly 240000, any other rg), a
// column per concrete band.
inline constexpr std::int32_t kRatioMinClassRg = 240000;
inline constexpr double kRatioMinTable[2][kRatioMinBands.size()] = {
    {0.15, 0.2, 0.25}, // rg = 240000
    {0.1, 0.15, 0.2},  // rg != 240000
};

// Exact look-ups of a list's text (UTF-8); a text that matches no label changes nothing.
void select_steel_grade(CalcState& state, std::string_view text);
void select_concrete_grade(CalcState& state, std::string_view text);

// Minimum reinforcement ratio from ra and rg as they stand; keeps the old value when no band fits.
void update_ratio_min(CalcState& state);

} // namespace zhuheng
