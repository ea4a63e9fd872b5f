// SPDX-License-Identifier: GPL-3.0-or-later
// The worked examples as the report tests print them: each the state a completed run of the
// window leaves, in the mode of that run.
#pragma once

#include "../engine/engine_test_support.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"

namespace zhuheng_test {

// 25号, Ⅱ级, flange 1.0 x 0.15, web 0.2, height 0.8, cover 0.05: first type at 500 KN.m, second
// type at 1300 KN.m.
inline CalcState designed(double mj = 500.0) {
    CalcState s = prepared(kConcrete25, kSteelII, design_example_section(mj));
    s.mode = CalcMode::Design;
    EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    return s;
}

// 15号, Ⅰ级, no overhang, h0 1.0, 40 KN.m: the area raised to the minimum ratio.
inline CalcState designed_at_minimum_ratio() {
    CalcState s = prepared(kConcrete15, kSteelI, min_ratio_example_section(40.0));
    s.mode = CalcMode::Design;
    EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    return s;
}

// 20号, Ⅱ级, flange 1.6 x 0.12, web 0.18, height 1.3, cover 0.07: 50 cm2 at 1500 KN.m passes in
// the first type; 80 cm2 passes at 2500 and fails at 3000 KN.m in the second.
inline CalcState checked(double ag_cm2, double mj) {
    CalcState s = prepared(kConcrete20, kSteelII, check_example_section(ag_cm2, mj));
    s.mode = CalcMode::Check;
    strength_check(s);
    return s;
}

} // namespace zhuheng_test
