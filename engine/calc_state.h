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

    // The count of the i-th diameter of the bar table; an unset one counts as 0.
    double count(int i) const {
        return i + 1 < kBarDiameterCount ? value_or_zero(d12_to_d32[i]) : d34;
    }

    friend bool operator==(const BarCounts& a, const BarCounts& b) {
        return a.d12_to_d32 == b.d12_to_d32 && a.d34 == b.d34;
    }
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
    // 1.05 times m_ult before flooring: the limit the verdict compares mj with (KN.m).
    double m_limit = 0.0;
    std::string verdict;

    // The results of the last completed run as computed, before flooring: the design's as_req
    // (cm2, which the bar counts are taken from), ratio (%) and x (m), the check's x and m_ult.
    // They and m_limit are kept so that the printed working shows the numbers each formula gave.
    double as_unfloored = 0.0;
    double ratio_unfloored = 0.0;
    double x_unfloored = 0.0;
    double m_ult_unfloored = 0.0;

    // Strength of the steel grade picked last. A run whose strength box is empty uses it, so that
    // a strength typed once does not outlive the text that typed it.
    std::optional<std::int32_t> rg_grade;
};

// Every field of CalcState in its order, each by its name and its member:
// f("mode", &CalcState::mode), and so on. The one list of the fields: the scenario runner's
// state output, the window fuzzer's comparison and the engine tests' comparisons all read it,
// so that a field added to CalcState cannot be left out of them.
template <class F> constexpr void for_each_field(F&& f) {
    f("mode", &CalcState::mode);
    f("ra", &CalcState::ra);
    f("rg", &CalcState::rg);
    f("xi_jg", &CalcState::xi_jg);
    f("ratio_min", &CalcState::ratio_min);
    f("ag", &CalcState::ag);
    f("bc", &CalcState::bc);
    f("bi", &CalcState::bi);
    f("hi", &CalcState::hi);
    f("b", &CalcState::b);
    f("h", &CalcState::h);
    f("mj", &CalcState::mj);
    f("flange_capacity", &CalcState::flange_capacity);
    f("bar_counts", &CalcState::bar_counts);
    f("h0", &CalcState::h0);
    f("a0", &CalcState::a0);
    f("a0_web", &CalcState::a0_web);
    f("gamma0", &CalcState::gamma0);
    f("gamma0_web", &CalcState::gamma0_web);
    f("ratio", &CalcState::ratio);
    f("m_flange", &CalcState::m_flange);
    f("m_web", &CalcState::m_web);
    f("as_req", &CalcState::as_req);
    f("ag_flange", &CalcState::ag_flange);
    f("ag_web", &CalcState::ag_web);
    f("x", &CalcState::x);
    f("xi", &CalcState::xi);
    f("chk_ag_flange", &CalcState::chk_ag_flange);
    f("chk_ag_web", &CalcState::chk_ag_web);
    f("chk_ratio_web", &CalcState::chk_ratio_web);
    f("chk_xi", &CalcState::chk_xi);
    f("m_ult", &CalcState::m_ult);
    f("m_limit", &CalcState::m_limit);
    f("verdict", &CalcState::verdict);
    f("as_unfloored", &CalcState::as_unfloored);
    f("ratio_unfloored", &CalcState::ratio_unfloored);
    f("x_unfloored", &CalcState::x_unfloored);
    f("m_ult_unfloored", &CalcState::m_ult_unfloored);
    f("rg_grade", &CalcState::rg_grade);
}

constexpr int kCalcStateFieldCount = 39;

constexpr int listed_field_count() {
    int n = 0;
    for_each_field([&n](const char*, auto) { ++n; });
    return n;
}
static_assert(listed_field_count() == kCalcStateFieldCount, "a field is missing from the list");

// Compiles only while CalcState has exactly kCalcStateFieldCount fields: a field added to the
// struct must be added to for_each_field and counted there.
inline void check_calc_state_field_count(CalcState& s) {
    [[maybe_unused]] auto& [f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16,
                            f17, f18, f19, f20, f21, f22, f23, f24, f25, f26, f27, f28, f29, f30,
                            f31, f32, f33, f34, f35, f36, f37, f38, f39] = s;
}

// Field by field, through the one list.
inline bool operator==(const CalcState& a, const CalcState& b) {
    bool same = true;
    for_each_field([&](const char*, auto member) { same = same && a.*member == b.*member; });
    return same;
}
inline bool operator!=(const CalcState& a, const CalcState& b) {
    return !(a == b);
}

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
