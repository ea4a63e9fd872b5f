// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/shown_results.h"

namespace zhuheng {

std::array<double, kDesignResultNames.size()> design_results(const CalcState& state) {
    const auto& counts = state.bar_counts.d12_to_d32;
    return {*state.as_req, state.ratio, *state.x,  *counts[0], *counts[1],
            *counts[2],    *counts[3],  *counts[4], *counts[5], *counts[6],
            *counts[7],    *counts[8],  *counts[9], static_cast<double>(state.bar_counts.d34)};
}

std::array<double, kCheckResultNames.size()> check_results(const CalcState& state) {
    return {*state.x, state.m_ult};
}

} // namespace zhuheng
