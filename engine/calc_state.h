// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/checked_arithmetic.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>

namespace zhuheng {

enum class CalcMode { None, Design, Check };

// A steel strength is a whole number of KPa held as a 32-bit integer when a steel grade sets it,
// and a double when it comes from the strength typed in MPa.
using SteelStrength = std::variant<std::int32_t, double>;

// An unset optional field counts as 0 wherever it enters arithmetic or a comparison; a steel
// strength counts as its value, whichever way it is held.
template <class T> double value_or_zero(const std::optional<T>& v) {
    if (!v) {
        return 0.0;
    }
    if constexpr (std::is_same_v<T, SteelStrength>) {
        return std::visit([](auto s) { return static_cast<double>(s); }, *v);
    } else {
        return static_cast<double>(*v);
    }
}

constexpr int kBarDiameterCount = 11;

// Bars of 12 to 32 mm are counted in doubles, the 34 mm count in a 16-bit integer.
struct BarCounts {
    std::array<std::optional<double>, kBarDiameterCount - 1> d12_to_d32{};
    std::int16_t d34 = 0;
};

// The calculation state that the window keeps for its whole life. Lengths in m, moments in KN.m,
// strengths in KPa, ratios in %; steel areas in m2 during a run, as_req in cm2 after it.
struct CalcState {
    CalcMode mode = CalcMode::None;
    std::optional<std::int16_t> ra;
    std::optional<SteelStrength> rg;
    std::optional<double> xi_jg;
    double ratio_min = 0.0;
    std::optional<double> ag;
    std::optional<double> bc;
    std::optional<double> bi;
    std::optional<double> hi;
    std::optional<double> b;
    std::optional<double> h;
    std::optional<double> mj;
    double flange_capacity = 0.0;
    BarCounts bar_counts;
    std::optional<double> h0;
    std::optional<double> a0;
    std::optional<double> a0_web;
    std::optional<double> gamma0;
    std::optional<double> gamma0_web;
    double ratio = 0.0;
    std::optional<double> m_flange;
    std::optional<double> m_web;
    std::optional<double> as_req;
    std::optional<double> ag_flange;
    std::optional<double> ag_web;
    std::optional<double> x;
    double xi = 0.0;
    std::optional<double> chk_ag_flange;
    std::optional<double> chk_ag_web;
    std::optional<double> chk_ratio_web;
    std::optional<double> chk_xi;
    double m_ult = 0.0;
    std::string verdict;

    // Strength of the steel grade picked last. A run whose strength box is empty uses it, so that
    // a strength typed once does not outlive the text that typed it.
    std::optional<std::int32_t> rg_grade;
};

// The seven numbers typed for a section, in box order; ag in cm2 as typed.
struct SectionInput {
    double ag = 0.0;
    double bc = 0.0;
    double bi = 0.0;
    double hi = 0.0;
    double b = 0.0;
    double h = 0.0;
    double mj = 0.0;
};

} // namespace zhuheng
