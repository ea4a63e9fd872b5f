// SPDX-License-Identifier: GPL-3.0-or-later
// Reinforcement design: worked examples, re-dimensioning, boundaries, bar counts and faults.

#include "engine/arithmetic_fault.h"
#include "engine/common_quantities.h"
#include "engine/reinforcement_design.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace zhuheng;
using namespace zhuheng_test;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

void expect_counts(const CalcState& s, const std::array<double, kBarDiameterCount>& counts) {
    for (int i = 0; i < kBarDiameterCount - 1; ++i) {
        EXPECT_EQ(s.bar_counts.d12_to_d32[i], std::optional<double>(counts[i]))
            << BarCountTable[i].label;
    }
    EXPECT_EQ(s.bar_counts.d34, counts[kBarDiameterCount - 1]) << "D34";
}

struct StoredCase {
    std::string name;
    std::string_view concrete;
    std::string_view steel;
    SectionInput input;
    double as_req;
    double ratio;
    double x;
    std::array<double, kBarDiameterCount> counts; // D12 .. D34
};

// clang-format off
const std::vector<StoredCase> kStoredCases{
    {"worked_example_first_type", kConcrete25, kSteelII, design_example_section(500.0),
     25.528, 1.701, 0.0598, {23, 17, 13, 10, 9, 7, 6, 5, 4, 4, 3}},
    {"worked_example_second_type", kConcrete25, kSteelII, design_example_section(1300.0),
     72.345, 4.823, 0.2481, {64, 47, 36, 29, 23, 19, 15, 12, 11, 9, 8}},
    {"worked_example_minimum_ratio", kConcrete15, kSteelI, min_ratio_example_section(40.0),
     7.5, 0.041, 0.0118, {7, 5, 4, 3, 3, 2, 2, 2, 1, 1, 1}},
    // Unfloored -1.2231515 cm2, -0.0815434 %, -0.0028681 m: the floor goes down.
    {"negative_moment_floors_down", kConcrete25, kSteelII, design_example_section(-25.0),
     -1.224, -0.082, -0.0029, {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    // 0.0327 % is below the minimum 0.15 %, but the first type keeps its own area.
    {"first_type_below_minimum_ratio", kConcrete25, kSteelII, design_example_section(10.0),
     0.49, 0.032, 0.0011, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
};
// clang-format on

TEST(ReinforcementDesign, StoredResultsOfCompletedRuns) {
    for (const StoredCase& c : kStoredCases) {
        SCOPED_TRACE(c.name);
        CalcState s = prepared(c.concrete, c.steel, c.input);
        ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
        EXPECT_EQ(s.as_req, std::optional<double>(c.as_req));
        EXPECT_EQ(s.ratio, c.ratio);
        EXPECT_EQ(s.x, std::optional<double>(c.x));
        expect_counts(s, c.counts);
    }
}

TEST(ReinforcementDesign, WorkedExampleFirstTypeIntermediates) {
    CalcState s = prepared(kConcrete25, kSteelII, design_example_section(500.0));
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    const double h0 = 0.8 - 0.05;
    const double a0 = ((((1.25 * 500.0) / 14500.0) / 1.0) / h0) / h0;
    const double gamma0 = (std::sqrt(1.0 - 2.0 * a0) + 1.0) * 0.5;
    expect_intermediates({
        {"flange_capacity", s.flange_capacity,
         (((14500.0 * 1.0) * 0.15) * (h0 - 0.15 / 2.0)) / 1.25, 1174.5, 1e-9},
        {"a0", *s.a0, a0, 0.0766284, 1e-7},
        {"gamma0", *s.gamma0, gamma0, 0.9600933, 1e-7},
    });
}

TEST(ReinforcementDesign, WorkedExampleSecondTypeIntermediates) {
    CalcState s = prepared(kConcrete25, kSteelII, design_example_section(1300.0));
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    const double h0 = 0.8 - 0.05;
    const double m_flange = ((((1.0 - 0.2) * 14500.0) * 0.15) * (h0 - 0.15 / 2.0)) / 1.25;
    const double m_web = 1300.0 - m_flange;
    const double a0_web = ((((1.25 * m_web) / 14500.0) / 0.2) / h0) / h0;
    const double gamma0_web = (std::sqrt(1.0 - 2.0 * a0_web) + 1.0) * 0.5;
    const double xi = 1.0 - std::sqrt(1.0 - 2.0 * a0_web);
    const double ag_flange = (((1.0 - 0.2) * 14500.0) * 0.15) / 340000.0;
    const double ag_web = (((1.25 * m_web) / 340000.0) / gamma0_web) / h0;
    expect_intermediates({
        {"m_flange", *s.m_flange, m_flange, 939.6, 1e-9},
        {"m_web", *s.m_web, m_web, 360.4, 1e-9},
        {"a0_web", *s.a0_web, a0_web, 0.2761686, 1e-7},
        {"gamma0_web", *s.gamma0_web, gamma0_web, 0.8345381, 1e-7},
        {"xi", s.xi, xi, 0.3309239, 1e-7},
        {"ag_flange", *s.ag_flange, ag_flange, 0.00511765, 1e-8},
        {"ag_web", *s.ag_web, ag_web, 0.00211694, 1e-8},
    });
}

TEST(ReinforcementDesign, WorkedExampleMinimumRatioIntermediates) {
    CalcState s = prepared(kConcrete15, kSteelI, min_ratio_example_section(40.0));
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    EXPECT_EQ(s.ratio_min, 0.15);
    const double h0 = 1.05 - 0.05;
    const double m_web = 40.0 - 0.0;
    const double a0_web = ((((1.25 * m_web) / 8500.0) / 0.5) / h0) / h0;
    const double root = std::sqrt(1.0 - 2.0 * a0_web);
    const double ag_web = (((1.25 * m_web) / 240000.0) / ((root + 1.0) * 0.5)) / h0;
    expect_intermediates({
        {"flange_capacity", s.flange_capacity, (((8500.0 * 0.5) * 0.01) * (h0 - 0.01 / 2.0)) / 1.25,
         33.83, 1e-9},
        {"m_flange", *s.m_flange, 0.0, 0.0, 0.0},
        {"a0_web", *s.a0_web, a0_web, 0.0117647, 1e-7},
        {"xi", s.xi, 1.0 - root, 0.0118347, 1e-7},
        {"ag_flange", *s.ag_flange, 0.0, 0.0, 0.0},
        {"ag_web", *s.ag_web, ag_web, 0.000209573, 1e-9},
    });
}

TEST(ReinforcementDesign, RedimensionAt1500KeepsTheLastCompletedResults) {
    CalcState s = prepared(kConcrete25, kSteelII, design_example_section(1300.0));
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    const CalcState completed = s;
    s.m_flange = kUntouched; // so that the rewrite of an equal value shows

    common_quantities(s, design_example_section(1500.0), "");
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Redimension);

    const double h0 = 0.8 - 0.05;
    const double m_web = 1500.0 - *completed.m_flange;
    const double a0_web = ((((1.25 * m_web) / 14500.0) / 0.2) / h0) / h0;
    const double root = std::sqrt(1.0 - 2.0 * a0_web);
    expect_intermediates({
        {"m_flange", *s.m_flange, *completed.m_flange, 939.6, 1e-9},
        {"m_web", *s.m_web, m_web, 560.4, 1e-9},
        {"a0_web", *s.a0_web, a0_web, 0.4294253, 1e-7},
        {"gamma0_web", *s.gamma0_web, (root + 1.0) * 0.5, 0.6878493, 1e-7},
        {"xi", s.xi, 1.0 - root, 0.6243015, 1e-7},
    });
    EXPECT_EQ(s.as_req, std::optional<double>(72.345));
    EXPECT_EQ(s.ratio, 4.823);
    EXPECT_EQ(s.x, std::optional<double>(0.2481));
    expect_counts(s, {64, 47, 36, 29, 23, 19, 15, 12, 11, 9, 8});
    EXPECT_EQ(s.ag_flange, completed.ag_flange);
    EXPECT_EQ(s.ag_web, completed.ag_web);
}

TEST(ReinforcementDesign, EachTypeKeepsTheFieldsOfTheOtherType) {
    CalcState s = prepared(kConcrete25, kSteelII, design_example_section(1300.0));
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    const CalcState second = s;
    common_quantities(s, design_example_section(500.0), "");
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    EXPECT_EQ(s.m_flange, second.m_flange);
    EXPECT_EQ(s.m_web, second.m_web);
    EXPECT_EQ(s.a0_web, second.a0_web);
    EXPECT_EQ(s.gamma0_web, second.gamma0_web);
    EXPECT_EQ(s.xi, second.xi);
    EXPECT_EQ(s.ag_flange, second.ag_flange);
    EXPECT_EQ(s.ag_web, second.ag_web);
    const CalcState first = s;
    common_quantities(s, design_example_section(1300.0), "");
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    EXPECT_EQ(s.a0, first.a0);
    EXPECT_EQ(s.gamma0, first.gamma0);
}

TEST(ReinforcementDesign, MomentEqualToFlangeCapacityIsFirstType) {
    const double capacity =
        prepared(kConcrete25, kSteelII, design_example_section(0.0)).flange_capacity;
    struct Row {
        const char* name;
        double mj;
        bool first_type;
    };
    for (const Row& row :
         {Row{"equal", capacity, true}, Row{"just_above", std::nextafter(capacity, kInf), false}}) {
        SCOPED_TRACE(row.name);
        CalcState s = prepared(kConcrete25, kSteelII, design_example_section(row.mj));
        ASSERT_EQ(s.flange_capacity, capacity);
        prime_results(s);
        ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
        EXPECT_EQ(*s.a0 != kUntouched, row.first_type);
        EXPECT_EQ(*s.m_flange != kUntouched, !row.first_type);
    }
}

// ra 14500, bi 1, h0 1, hi 1 and mj 5800 give a0 = 7250 / 14500 = 0.5 exactly, with mj at the
// flange capacity: first type, 1 - 2 a0 = 0 passes and gamma0 is 0.5.
TEST(ReinforcementDesign, MomentCoefficientOfOneHalfPassesFirstType) {
    SectionInput in = min_ratio_example_section(5800.0);
    in.bi = 1.0;
    in.b = 0.2;
    in.hi = 1.0;
    CalcState s = prepared(kConcrete25, kSteelII, in);
    ASSERT_LE(*s.mj, s.flange_capacity);
    ASSERT_EQ(((((1.25 * 5800.0) / 14500.0) / 1.0) / *s.h0) / *s.h0, 0.5);
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    EXPECT_EQ(s.a0, std::optional<double>(0.5));
    EXPECT_EQ(s.gamma0, std::optional<double>(0.5));
}

// The same numbers on the web of a section without overhang: 1 - 2 a0_web = 0 passes the first
// test, but xi = 1 lies above every limit, so the section is re-dimensioned.
TEST(ReinforcementDesign, WebMomentCoefficientOfOneHalfRedimensions) {
    SectionInput in = min_ratio_example_section(5800.0);
    in.bi = 1.0;
    in.b = 1.0;
    in.hi = 0.5;
    CalcState s = prepared(kConcrete25, kSteelI, in);
    ASSERT_GT(*s.mj, s.flange_capacity);
    ASSERT_EQ(((((1.25 * 5800.0) / 14500.0) / 1.0) / *s.h0) / *s.h0, 0.5);
    prime_results(s);
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Redimension);
    EXPECT_EQ(s.a0_web, std::optional<double>(0.5));
    EXPECT_EQ(s.gamma0_web, std::optional<double>(0.5));
    EXPECT_EQ(s.xi, 1.0);
    EXPECT_EQ(s.ag_flange, std::optional<double>(kUntouched));
    EXPECT_EQ(s.as_req, std::optional<double>(kUntouched));
    EXPECT_EQ(s.x, std::optional<double>(kUntouched));
}

TEST(ReinforcementDesign, RelativeHeightEqualToTheLimitPasses) {
    CalcState s = prepared(kConcrete25, kSteelII, design_example_section(1300.0));
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    const double xi = s.xi;
    s.xi_jg = xi;
    EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    EXPECT_EQ(s.as_req, std::optional<double>(72.345));
    s.xi_jg = std::nextafter(xi, 0.0);
    EXPECT_EQ(reinforcement_design(s), DesignOutcome::Redimension);
}

TEST(ReinforcementDesign, NoSteelGradeButTypedStrengthRedimensionsSecondType) {
    CalcState s = prepared(kConcrete25, "", design_example_section(1300.0), "340");
    ASSERT_FALSE(s.xi_jg.has_value());
    EXPECT_EQ(reinforcement_design(s), DesignOutcome::Redimension);
    EXPECT_GT(s.xi, 0.0);
    EXPECT_FALSE(s.as_req.has_value());
}

// At this moment the area at a ratio equal to the computed one, ((ratio * b) * h0) / 100, lies
// one rounding step below the computed area and floors to 72.309 instead of 72.31; so the stored
// area tells whether the minimum ratio was applied.
TEST(ReinforcementDesign, SecondTypeRatioEqualToMinimumIsNotRaised) {
    const SectionInput in = design_example_section(1299.5102439172413);
    CalcState s = prepared(kConcrete25, kSteelII, in);
    ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    const double area_m2 = *s.ag_flange + *s.ag_web;
    const double ratio = ((area_m2 / 0.2) / *s.h0) * 100.0;
    const auto floored = [](double v) { return std::floor(v * 1000.0) / 1000.0; };
    const auto raised = [&](double ratio_min) {
        return floored((((ratio_min * 0.2) * *s.h0) / 100.0) * 10000.0);
    };
    ASSERT_EQ(floored(area_m2 * 10000.0), 72.31);
    ASSERT_EQ(raised(ratio), 72.309);

    struct Row {
        const char* name;
        double ratio_min;
        double as_req;
    };
    for (const Row& row :
         {Row{"equal", ratio, 72.31},
          Row{"just_above", std::nextafter(ratio, kInf), raised(std::nextafter(ratio, kInf))}}) {
        SCOPED_TRACE(row.name);
        common_quantities(s, in, "");
        s.ratio_min = row.ratio_min;
        ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
        EXPECT_EQ(s.as_req, std::optional<double>(row.as_req));
    }
}

// The minimum-ratio section (computed ratio 0.0419 %) raised to a chosen minimum gives an exact
// area; the D12 count is then ⌊area / 1.131 + 0.9⌋.
TEST(ReinforcementDesign, BarCountDropsLessThanATenthOfABar) {
    struct Row {
        const char* name;
        double ratio_min;
        double as_req;
        double d12;
    };
    const std::vector<Row> rows{
        {"two_bars_exactly", 0.04524, 2.262, 2},
        {"remainder_above_a_tenth", 0.048, 2.4, 3},
        {"remainder_below_a_tenth", 0.046, 2.3, 2},
        {"seven_and_a_half", 0.15, 7.5, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CalcState s = prepared(kConcrete15, kSteelI, min_ratio_example_section(40.0));
        s.ratio_min = row.ratio_min;
        ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
        ASSERT_LT(s.ratio, row.ratio_min);
        EXPECT_EQ(s.as_req, std::optional<double>(row.as_req));
        EXPECT_EQ(s.bar_counts.d12_to_d32[0], std::optional<double>(row.d12));
    }
}

struct FaultCase {
    std::string name;
    std::string_view concrete;
    std::string_view steel;
    SectionInput input;
    FaultKind kind;
    std::vector<std::pair<OptionalField, double>> written;
};

// clang-format off
const std::vector<FaultCase> kFaultCases{
    {"no_concrete_grade_second_type", "", kSteelII, design_example_section(500.0),
     FaultKind::DivisionByZero, {{&CalcState::m_flange, 0.0}, {&CalcState::m_web, 500.0}}},
    {"no_concrete_grade_first_type", "", kSteelII, design_example_section(0.0),
     FaultKind::DivisionByZero, {}},
    {"no_steel_strength_first_type", kConcrete25, "", design_example_section(500.0),
     FaultKind::DivisionByZero,
     {{&CalcState::a0, 0.0766283525}, {&CalcState::gamma0, 0.9600932772}}},
    {"zero_web_width_second_type", kConcrete25, kSteelII,
     with(design_example_section(1300.0), &SectionInput::b, 0.0),
     FaultKind::DivisionByZero, {{&CalcState::m_flange, 1174.5}, {&CalcState::m_web, 125.5}}},
    {"zero_web_width_first_type", kConcrete25, kSteelII,
     with(design_example_section(500.0), &SectionInput::b, 0.0), FaultKind::DivisionByZero,
     {{&CalcState::a0, 0.0766283525}, {&CalcState::gamma0, 0.9600932772},
      {&CalcState::as_req, 0.00255285653}}}, // still in m2
    {"zero_flange_width_first_type", kConcrete25, kSteelII,
     with(design_example_section(-10.0), &SectionInput::bi, 0.0), FaultKind::DivisionByZero, {}},
    {"zero_effective_depth_second_type", kConcrete25, kSteelII,
     with(design_example_section(500.0), &SectionInput::h, 0.05),
     FaultKind::DivisionByZero, {{&CalcState::m_flange, -104.4}, {&CalcState::m_web, 604.4}}},
    {"zero_effective_depth_first_type", kConcrete25, kSteelII,
     with(design_example_section(-500.0), &SectionInput::h, 0.05), FaultKind::DivisionByZero, {}},
    {"moment_beyond_double_range", kConcrete25, kSteelII, design_example_section(1.5e308),
     FaultKind::Overflow, {{&CalcState::m_flange, 939.6}, {&CalcState::m_web, 1.5e308}}},
};
// clang-format on

TEST(ReinforcementDesign, FaultStopsAtItsStep) {
    for (const FaultCase& c : kFaultCases) {
        SCOPED_TRACE(c.name);
        CalcState s = prepared(c.concrete, c.steel, c.input);
        prime_results(s);
        EXPECT_EQ(fault_of([&] { reinforcement_design(s); }), c.kind);
        expect_only_written(s, c.written);
    }
}

// A flange 10 km wide keeps a moment of 6.12e6 KN.m in the first type; the area, 315567 cm2,
// needs 34758 bars of 34 mm, beyond a 16-bit count.
TEST(ReinforcementDesign, BarCountBeyondSixteenBitsIsAnOverflow) {
    CalcState s = prepared(kConcrete25, kSteelII,
                           with(design_example_section(6.12e6), &SectionInput::bi, 10000.0));
    ASSERT_LE(*s.mj, s.flange_capacity);
    prime_results(s);
    EXPECT_EQ(fault_of([&] { reinforcement_design(s); }), FaultKind::Overflow);
    // Written and not yet floored.
    EXPECT_NEAR(*s.a0, 0.0937931, 1e-7);
    EXPECT_NEAR(*s.gamma0, 0.9506700, 1e-7);
    EXPECT_NEAR(*s.as_req, 315566.9161944, 1e-6);
    EXPECT_NEAR(s.ratio, 21037.7944130, 1e-6);
    EXPECT_NEAR(*s.x, 0.0739950010, 1e-10);
    const std::array<double, 10> counts{279016, 205047, 156921, 123995, 100435,
                                        83022,  64284,  51245,  44641,  39240};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(s.bar_counts.d12_to_d32[i], std::optional<double>(counts[i]))
            << BarCountTable[i].label;
    }
    EXPECT_EQ(s.bar_counts.d34, kUntouchedD34);
    EXPECT_EQ(s.m_flange, std::optional<double>(kUntouched));
}

TEST(ReinforcementDesign, BarCountRangeOfSixteenBits) {
    struct Row {
        const char* name;
        double mj;
        bool faults;
        std::int16_t d34; // when it completes
    };
    const std::vector<Row> rows{
        {"within_range", 2.8e6, false, 15457}, {"below_range", -7e6, true, 0}, // -35959 bars
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CalcState s = prepared(kConcrete25, kSteelII,
                               with(design_example_section(row.mj), &SectionInput::bi, 10000.0));
        prime_results(s);
        if (row.faults) {
            EXPECT_EQ(fault_of([&] { reinforcement_design(s); }), FaultKind::Overflow);
            EXPECT_EQ(s.bar_counts.d34, kUntouchedD34);
        } else {
            ASSERT_EQ(reinforcement_design(s), DesignOutcome::Completed);
            EXPECT_EQ(s.bar_counts.d34, row.d34);
        }
    }
}

} // namespace
