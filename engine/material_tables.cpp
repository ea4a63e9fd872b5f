// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/material_tables.h"

namespace zhuheng {

void select_steel_grade(CalcState& state, std::string_view text) {
    for (const SteelGrade& grade : SteelGradeTable) {
        if (grade.label == text) {
            state.rg = SteelStrength{grade.rg};
            state.rg_grade = grade.rg;
            state.xi_jg = grade.xi_jg;
            return;
        }
    }
}

void select_concrete_grade(CalcState& state, std::string_view text) {
    for (const ConcreteGrade& grade : ConcreteGradeTable) {
        if (grade.label == text) {
            state.ra = grade.ra;
            return;
        }
    }
}

void update_ratio_min(CalcState& state) {
    const double ra = value_or_zero(state.ra);
    const double rg = value_or_zero(state.rg);
    // Six independent tests in this order; the bands do not overlap, so at most one holds.
    if (rg == 240000 && ra >= 28500) {
        state.ratio_min = 0.25;
    }
    if (rg == 240000 && ra <= 11000) {
        state.ratio_min = 0.15;
    }
    if (rg == 240000 && ra >= 14500 && ra <= 23000) {
        state.ratio_min = 0.2;
    }
    if (rg != 240000 && ra >= 28500) {
        state.ratio_min = 0.2;
    }
    if (rg != 240000 && ra <= 11000) {
        state.ratio_min = 0.1;
    }
    if (rg != 240000 && ra >= 14500 && ra <= 23000) {
        state.ratio_min = 0.15;
    }
}

} // namespace zhuheng
