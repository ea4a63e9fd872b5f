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

// The material values, the section and the moment of a run as the formulas of the design and the
// check read them, after common_quantities; an unset field counts as 0.
struct RunValues {
    Checked ra, rg, ag, bi, hi, b, mj, h0;
};
RunValues run_values(const CalcState& state);

} // namespace zhuheng
