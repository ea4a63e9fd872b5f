// SPDX-License-Identifier: GPL-3.0-or-later
// First stage of every run: stored inputs, effective depth, steel strength of the run, minimum
// ratio and flange capacity.

#include "engine/arithmetic_fault.h"
#include "engine/common_quantities.h"
#include "engine/reinforcement_design.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace zhuheng;
using namespace zhuheng_test;

namespace {

struct SectionCase {
    std::string name;
    std::string_view concrete;
    SectionInput input;
    double ag_m2;
    double h0;
    double flange_capacity;
};

const std::vector<SectionCase> kSectionCases{
    {"design_example", kConcrete25, with(design_example_section(500.0), &SectionInput::ag, 25.0),
     0.0025, 0.75, 1174.5},
    {"check_example", kConcrete20, check_example_section(50.0, 1500.0), 0.005, 1.23, 1976.832},
    {"minimum_ratio_example", kConcrete15, min_ratio_example_section(40.0), 0.0, 1.0, 33.83},
    {"flange_thicker_than_twice_the_depth", kConcrete25,
     with(design_example_section(500.0), &SectionInput::hi, 1.6), 0.0, 0.75, -928.0},
    {"no_concrete_grade", "", design_example_section(500.0), 0.0, 0.75, 0.0},
    {"all_boxes_empty", kConcrete25, SectionInput{}, 0.0, 0.0, 0.0},
};

TEST(CommonQuantities, StoresInputsAndFormsDepthAndFlangeCapacity) {
    for (const SectionCase& c : kSectionCases) {
        SCOPED_TRACE(c.name);
        CalcState s = picked(c.concrete, kSteelII);
        common_quantities(s, c.input, "");
        EXPECT_EQ(s.bc, c.input.bc);
        EXPECT_EQ(s.bi, c.input.bi);
        EXPECT_EQ(s.hi, c.input.hi);
        EXPECT_EQ(s.b, c.input.b);
        EXPECT_EQ(s.h, c.input.h);
        EXPECT_EQ(s.mj, c.input.mj);
        EXPECT_EQ(s.ag, std::optional<double>(c.ag_m2));
        EXPECT_EQ(s.h0, std::optional<double>(c.h0));
        EXPECT_NEAR(s.flange_capacity, c.flange_capacity, 1e-9);
    }
}

TEST(CommonQuantities, EmptyBoxesLeadToDivisionByZeroInTheDesign) {
    CalcState s = picked(kConcrete25, kSteelII);
    common_quantities(s, SectionInput{}, "");
    EXPECT_EQ(fault_of([&] { reinforcement_design(s); }), FaultKind::DivisionByZero);
}

struct StrengthCase {
    std::string name;
    std::string_view steel;
    std::string_view concrete;
    std::vector<std::string> strength_texts; // one run per text, in order
    std::optional<SteelStrength> rg;         // after the last run
    double ratio_min;                        // after the last run
};

// clang-format off
const std::vector<StrengthCase> kStrengthCases{
    {"grade_strength_when_box_empty", kSteelI, kConcrete20, {""}, SteelStrength{240000}, 0.15},
    {"typed_300_first_run", kSteelI, kConcrete20, {"300"}, SteelStrength{300000.0}, 0.1},
    {"typed_300_twice", kSteelI, kConcrete20, {"300", "300"}, SteelStrength{300000.0}, 0.1},
    {"emptied_returns_to_grade_I", kSteelI, kConcrete20, {"300", ""}, SteelStrength{240000}, 0.15},
    {"typed_240_classes_as_grade_I", kSteelII, kConcrete20, {"240"}, SteelStrength{240000.0}, 0.15},
    {"emptied_returns_to_grade_II", kSteelII, kConcrete20, {"240", ""}, SteelStrength{340000}, 0.1},
    {"decimal_megapascals", kSteelII, kConcrete25, {"335.5"}, SteelStrength{335500.0}, 0.15},
    {"full_width", kSteelII, kConcrete50, {"\uff12\uff14\uff10"}, SteelStrength{240000.0}, 0.25},
    {"blanks_only_count_as_empty", kSteelII, kConcrete20, {"  "}, SteelStrength{340000}, 0.1},
    {"tab_and_ideographic_blank_after_typed", kSteelI, kConcrete20, {"300", "\t\u3000 "},
     SteelStrength{240000}, 0.15},
    {"blank_then_number_reads_the_number", kSteelI, kConcrete20, {"\u3000300"},
     SteelStrength{300000.0}, 0.1},
    {"text_without_number_reads_as_zero", kSteelI, kConcrete20, {"abc"}, SteelStrength{0.0}, 0.1},
    {"no_grade_and_empty_box", "", kConcrete25, {""}, std::nullopt, 0.15},
    {"no_grade_typed_strength", "", kConcrete25, {"240"}, SteelStrength{240000.0}, 0.2},
    {"no_grade_typed_then_emptied", "", kConcrete25, {"240", ""}, std::nullopt, 0.15},
    {"grade_I_without_concrete", kSteelI, "", {""}, SteelStrength{240000}, 0.15},
    {"neither_grade", "", "", {""}, std::nullopt, 0.1},
};
// clang-format on

TEST(CommonQuantities, SteelStrengthOfTheRunAndItsMinimumRatio) {
    for (const StrengthCase& c : kStrengthCases) {
        SCOPED_TRACE(c.name);
        CalcState s = picked(c.concrete, c.steel);
        for (const std::string& text : c.strength_texts) {
            common_quantities(s, design_example_section(500.0), text);
        }
        EXPECT_EQ(s.rg, c.rg);
        EXPECT_EQ(s.ratio_min, c.ratio_min);
    }
}

// With 20号 and grade I, a typed 300 MPa puts the section on the minimum ratio of other steel
// (0.1 %, 5.0 cm2) on every run; emptying the box returns to grade I (0.15 %, 7.5 cm2).
TEST(CommonQuantities, SameInputsTwiceGiveTheSameDesign) {
    struct Run {
        const char* name;
        const char* strength_text;
        double ratio_min;
        double as_req;
    };
    const std::vector<Run> runs{
        {"first_run_typed_300", "300", 0.1, 5.0},
        {"second_run_typed_300", "300", 0.1, 5.0},
        {"box_emptied", "", 0.15, 7.5},
        {"typed_300_again", "300", 0.1, 5.0},
    };
    CalcState s = picked(kConcrete20, kSteelI);
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        common_quantities(s, min_ratio_example_section(60.0), run.strength_text);
        ASSERT_GT(*s.mj, s.flange_capacity); // second type, where the minimum ratio applies
        ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
        EXPECT_EQ(s.ratio_min, run.ratio_min);
        EXPECT_LT(s.ratio, s.ratio_min);
        EXPECT_EQ(s.as_req, std::optional<double>(run.as_req));
    }
}

struct OverflowCase {
    std::string name;
    SectionInput input;
    std::string strength_text;
    std::optional<SteelStrength> rg; // held after the fault
    double ratio_min;                // held after the fault
};

const std::vector<OverflowCase> kOverflowCases{
    {"flange_capacity", with(design_example_section(500.0), &SectionInput::bi, 1e308), "",
     SteelStrength{340000}, 0.15},
    {"typed_strength_in_kilopascals", design_example_section(500.0), "1e306", SteelStrength{340000},
     0.77},
    {"typed_strength_beyond_double", design_example_section(500.0), "1e999", SteelStrength{340000},
     0.77},
};

TEST(CommonQuantities, OverflowKeepsEarlierStepsAndLeavesLaterOnes) {
    for (const OverflowCase& c : kOverflowCases) {
        SCOPED_TRACE(c.name);
        CalcState s = picked(kConcrete25, kSteelII);
        s.ratio_min = 0.77;
        s.flange_capacity = 123.0;
        EXPECT_EQ(fault_of([&] { common_quantities(s, c.input, c.strength_text); }),
                  FaultKind::Overflow);
        EXPECT_EQ(s.bi, c.input.bi);
        EXPECT_EQ(s.h0, std::optional<double>(0.75));
        EXPECT_EQ(s.rg, c.rg);
        EXPECT_EQ(s.ratio_min, c.ratio_min);
        EXPECT_EQ(s.flange_capacity, 123.0);
    }
}

} // namespace
