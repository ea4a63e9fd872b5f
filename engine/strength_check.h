// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <string_view>

namespace zhuheng {

inline constexpr std::string_view kVerdictPass = "通过验算";
inline constexpr std::string_view kVerdictFail = "未通过";
constexpr double kMomentTolerance = 1.05; // passes while mj <= 1.05 * m_ult

// The check stage of a run, after common_quantities: x (m), m_ult (KN.m, both floored) and the
// verdict, formed from the unfloored m_ult.
void strength_check(CalcState& state);

} // namespace zhuheng
