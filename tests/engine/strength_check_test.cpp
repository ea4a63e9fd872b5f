// SPDX-License-Identifier: GPL-3.0-or-later
// Strength check: worked example, type boundary, verdict boundary, flooring and faults.

#include "engine/arithmetic_fault.h"
#include "engine/common_quantities.h"
#include "engine/strength_check.h"
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

struct CheckCase {
    std::string name;
    std::string_view steel;
    double ag_cm2;
    double mj;
    double x;
    double m_ult;
    std::string_view verdict;
};

const std::vector<CheckCase> kCheckCases{
    {"worked_example_first_type", kSteelII, 50.0, 1500.0, 0.0965, 1607.118, kVerdictPass},
    {"worked_example_second_type_passes", kSteelII, 80.0, 2500.0, 0.427, 2442.056, kVerdictPass},
    {"worked_example_second_type_fails", kSteelII, 80.0, 3000.0, 0.427, 2442.056, kVerdictFail},
    // Unfloored x -0.0000019 m and m_ult -0.0334560 KN.m: both floor down.
    {"negative_area_floors_down", kSteelII, -0.001, 1500.0, -0.0001, -0.034, kVerdictFail},
    // chk_xi 1.94 lies far above the 0.45 of grade IV; only the moment decides.
    {"web_zone_beyond_grade_limit", kSteelIV, 120.0, 1980.0, 2.3866, 1893.055, kVerdictPass},
};

TEST(StrengthCheck, StoredResults) {
    for (const CheckCase& c : kCheckCases) {
        SCOPED_TRACE(c.name);
        CalcState s = prepared(kConcrete20, c.steel, check_example_section(c.ag_cm2, c.mj));
        strength_check(s);
        EXPECT_EQ(s.x, std::optional<double>(c.x));
        EXPECT_EQ(s.m_ult, c.m_ult);
        EXPECT_EQ(s.verdict, c.verdict);
    }
}

TEST(StrengthCheck, WorkedExampleSecondTypeIntermediates) {
    CalcState s = prepared(kConcrete20, kSteelII, check_example_section(80.0, 2500.0));
    strength_check(s);
    const double h0 = 1.3 - 0.07;
    const double ag = 80.0 / 10000.0;
    const double ag_flange = ((11000.0 * (1.6 - 0.18)) * 0.12) / 340000.0;
    const double ag_web = ag - ag_flange;
    const double ratio_web = (ag_web / 0.18) / h0;
    const double xi = (ratio_web * 340000.0) / 11000.0;
    expect_intermediates({
        {"flange_capacity", s.flange_capacity,
         (((11000.0 * 1.6) * 0.12) * (h0 - 0.12 / 2.0)) / 1.25, 1976.832, 1e-9},
        {"chk_ag_flange", *s.chk_ag_flange, ag_flange, 0.00551294, 1e-8},
        {"chk_ag_web", *s.chk_ag_web, ag_web, 0.00248706, 1e-8},
        {"chk_ratio_web", *s.chk_ratio_web, ratio_web, 0.0112333, 1e-7},
        {"chk_xi", *s.chk_xi, xi, 0.347212, 1e-6},
        {"m_web", *s.m_web, (((340000.0 * ag_web) * (1.0 - 0.5 * xi)) * h0) / 1.25, 687.618004,
         1e-6},
        {"m_flange", *s.m_flange, ((340000.0 * ag_flange) * (h0 - 0.12 / 2.0)) / 1.25, 1754.4384,
         1e-9},
        // The verdict's limit, from the unfloored m_ult.
        {"m_limit", s.m_limit, (*s.m_web + *s.m_flange) * 1.05, 2564.159, 1e-3},
    });
}

TEST(StrengthCheck, MomentEqualToFlangeCapacityIsFirstType) {
    const double capacity =
        prepared(kConcrete20, kSteelII, check_example_section(50.0, 0.0)).flange_capacity;
    struct Row {
        const char* name;
        double mj;
        bool first_type;
    };
    for (const Row& row :
         {Row{"equal", capacity, true}, Row{"just_above", std::nextafter(capacity, kInf), false}}) {
        SCOPED_TRACE(row.name);
        CalcState s = prepared(kConcrete20, kSteelII, check_example_section(50.0, row.mj));
        ASSERT_EQ(s.flange_capacity, capacity);
        prime_results(s);
        strength_check(s);
        EXPECT_NE(*s.x, kUntouched);
        EXPECT_EQ(*s.chk_ag_flange != kUntouched, !row.first_type);
        EXPECT_EQ(*s.m_flange != kUntouched, !row.first_type);
    }
}

TEST(StrengthCheck, FirstTypeLeavesTheSecondTypeFields) {
    CalcState s = prepared(kConcrete20, kSteelII, check_example_section(80.0, 2500.0));
    strength_check(s);
    const CalcState second = s;
    common_quantities(s, check_example_section(50.0, 1500.0), "");
    strength_check(s);
    ASSERT_EQ(s.m_ult, 1607.118);
    EXPECT_EQ(s.chk_ag_flange, second.chk_ag_flange);
    EXPECT_EQ(s.chk_ag_web, second.chk_ag_web);
    EXPECT_EQ(s.chk_ratio_web, second.chk_ratio_web);
    EXPECT_EQ(s.chk_xi, second.chk_xi);
    EXPECT_EQ(s.m_web, second.m_web);
    EXPECT_EQ(s.m_flange, second.m_flange);
}

// The verdict compares mj with 1.05 times the unfloored m_ult: at that limit the section passes
// although 1.05 times the stored m_ult lies below mj; one step above it fails.
TEST(StrengthCheck, VerdictAtTheToleranceLimit) {
    struct Row {
        const char* name;
        double ag_cm2;
        double mj;
    };
    const std::vector<Row> rows{
        {"first_type", 50.0, 1500.0},
        {"second_type", 80.0, 2500.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CalcState s = prepared(kConcrete20, kSteelII, check_example_section(row.ag_cm2, row.mj));
        strength_check(s);
        double m_ult = 0.0;
        if (row.mj <= s.flange_capacity) {
            const double h0 = *s.h0;
            const double x = ((340000.0 * *s.ag) / 11000.0) / 1.6;
            m_ult = (((11000.0 * 1.6) * x) * (h0 - x / 2.0)) / 1.25;
        } else {
            m_ult = *s.m_web + *s.m_flange; // stored unfloored
        }
        ASSERT_EQ(std::floor(m_ult * 1000.0) / 1000.0, s.m_ult);
        const double limit = m_ult * 1.05;
        ASSERT_LT(s.m_ult * 1.05, limit);

        common_quantities(s, check_example_section(row.ag_cm2, limit), "");
        strength_check(s);
        EXPECT_EQ(s.verdict, kVerdictPass);

        common_quantities(s, check_example_section(row.ag_cm2, std::nextafter(limit, kInf)), "");
        strength_check(s);
        EXPECT_EQ(s.verdict, kVerdictFail);
    }
}

struct FaultCase {
    std::string name;
    std::string_view concrete;
    std::string strength_text;
    SectionInput input;
    FaultKind kind;
    std::vector<std::pair<OptionalField, double>> written;
};

// clang-format off
const std::vector<FaultCase> kFaultCases{
    {"no_concrete_grade_first_type", "", "", check_example_section(50.0, 0.0),
     FaultKind::DivisionByZero, {}},
    {"no_concrete_grade_second_type", "", "", check_example_section(50.0, 1500.0),
     FaultKind::DivisionByZero, {{&CalcState::chk_ag_flange, 0.0}, {&CalcState::chk_ag_web, 0.005},
                                 {&CalcState::chk_ratio_web, 0.0225835592}}},
    {"zero_flange_width_first_type", kConcrete20, "",
     with(check_example_section(50.0, 0.0), &SectionInput::bi, 0.0), FaultKind::DivisionByZero, {}},
    {"zero_web_width_second_type", kConcrete20, "",
     with(check_example_section(80.0, 2500.0), &SectionInput::b, 0.0), FaultKind::DivisionByZero,
     {{&CalcState::chk_ag_flange, 0.00621176471}, {&CalcState::chk_ag_web, 0.00178823529}}},
    {"zero_effective_depth_second_type", kConcrete20, "",
     with(check_example_section(80.0, 2500.0), &SectionInput::h, 0.07), FaultKind::DivisionByZero,
     {{&CalcState::chk_ag_flange, 0.00551294118}, {&CalcState::chk_ag_web, 0.00248705882}}},
    {"strength_without_number_second_type", kConcrete20, "MPa",
     check_example_section(80.0, 2500.0), FaultKind::DivisionByZero, {}},
    {"area_beyond_double_range", kConcrete20, "", check_example_section(1e308, 1500.0),
     FaultKind::Overflow, {}},
};
// clang-format on

TEST(StrengthCheck, FaultStopsAtItsStep) {
    for (const FaultCase& c : kFaultCases) {
        SCOPED_TRACE(c.name);
        CalcState s = prepared(c.concrete, kSteelII, c.input, c.strength_text);
        prime_results(s);
        EXPECT_EQ(fault_of([&] { strength_check(s); }), c.kind);
        expect_only_written(s, c.written);
    }
}

} // namespace
