// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/common_quantities.h"

#include "engine/material_tables.h"
#include "engine/text_to_number.h"

namespace zhuheng {

void common_quantities(CalcState& state, const SectionInput& input, std::string_view rg_text) {
    state.ag = input.ag;
    state.bc = input.bc;
    state.bi = input.bi;
    state.hi = input.hi;
    state.b = input.b;
    state.h = input.h;
    state.mj = input.mj;

    state.ag = (Checked(input.ag) / 10000.0).value(); // cm2 to m2
    state.h0 = (Checked(input.h) - input.bc).value();

    // The override is settled before the minimum-ratio rule, so that the rule sees the strength
    // of this run and two runs with the same inputs give the same result. A box holding only
    // blanks looks empty on screen and counts as empty.
    if (only_blanks(rg_text)) {
        state.rg.reset();
        if (state.rg_grade) {
            state.rg = SteelStrength{*state.rg_grade};
        }
    } else {
        state.rg = SteelStrength{(Checked(text_to_number(rg_text)) * 1000.0).value()}; // MPa to KPa
    }
    update_ratio_min(state);

    const Checked ra = value_or_zero(state.ra);
    const Checked hi = input.hi;
    const Checked h0 = *state.h0;
    state.flange_capacity = ((((ra * input.bi) * hi) * (h0 - hi / 2.0)) / kGammaC).value();
}

RunValues run_values(const CalcState& s) {
    return {value_or_zero(s.ra), value_or_zero(s.rg), value_or_zero(s.ag), value_or_zero(s.bi),
            value_or_zero(s.hi), value_or_zero(s.b),  value_or_zero(s.mj), value_or_zero(s.h0)};
}

} // namespace zhuheng
