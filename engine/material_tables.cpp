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
    // The class is decided by the strength itself, exactly: a typed 240 MPa is in the first.
    const int steel_class = value_or_zero(state.rg) == kRatioMinClassRg ? 0 : 1;
    // The bands do not overlap, so at most one holds; with none, ratio_min keeps its value.
    for (std::size_t band = 0; band < kRatioMinBands.size(); ++band) {
        if (ra >= kRatioMinBands[band].ra_from && ra <= kRatioMinBands[band].ra_to) {
            state.ratio_min = kRatioMinTable[steel_class][band];
        }
    }
}

} // namespace zhuheng
