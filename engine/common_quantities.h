// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <string_view>

namespace zhuheng {

constexpr double kGammaC = 1.25; // material safety divisor of every capacity formula

// First stage of every run: stores the section, converts ag to m2, forms h0, applies the
// strength typed in MPa (or the last picked grade's strength when that text is empty or only
// blanks), selects ratio_min for the strength this run uses, and forms flange_capacity.
void common_quantities(CalcState& state, const SectionInput& input, std::string_view rg_text);

} // namespace zhuheng
