// SPDX-License-Identifier: GPL-3.0-or-later
// Grade look-ups and the minimum reinforcement ratio.

#include "engine/material_tables.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

using namespace zhuheng;
using namespace zhuheng_test;

namespace {

struct SteelRow {
    std::string name;
    std::string_view label;
    std::int32_t rg;
    double xi_jg;
    std::array<double, 7> ratio_min; // with 15号, 20号, 25号, 30号, 40号, 50号, 60号
};

struct ConcreteRow {
    std::string_view label;
    std::int16_t ra;
};

const std::array<ConcreteRow, 7> kConcreteRows{{
    {"15\u53f7", 8500},
    {"20\u53f7", 11000},
    {"25\u53f7", 14500},
    {"30\u53f7", 17500},
    {"40\u53f7", 23000},
    {"50\u53f7", 28500},
    {"60\u53f7", 32500},
}};

const std::vector<SteelRow> kSteelRows{
    {"grade_I", kSteelI, 240000, 0.65, {0.15, 0.15, 0.2, 0.2, 0.2, 0.25, 0.25}},
    {"grade_II", kSteelII, 340000, 0.55, {0.1, 0.1, 0.15, 0.15, 0.15, 0.2, 0.2}},
    {"grade_III", kSteelIII, 380000, 0.55, {0.1, 0.1, 0.15, 0.15, 0.15, 0.2, 0.2}},
    {"grade_IV", kSteelIV, 550000, 0.45, {0.1, 0.1, 0.15, 0.15, 0.15, 0.2, 0.2}},
    {"grade_5", kSteel5, 280000, 0.6, {0.1, 0.1, 0.15, 0.15, 0.15, 0.2, 0.2}},
};

TEST(MaterialTables, EveryGradePairGivesItsStrengthsAndMinimumRatio) {
    for (const SteelRow& steel : kSteelRows) {
        for (std::size_t c = 0; c < kConcreteRows.size(); ++c) {
            SCOPED_TRACE(steel.name + " with concrete row " + std::to_string(c + 1));
            CalcState s = picked(kConcreteRows[c].label, steel.label);
            ASSERT_TRUE(s.ra.has_value());
            EXPECT_EQ(*s.ra, kConcreteRows[c].ra);
            ASSERT_TRUE(s.rg.has_value());
            ASSERT_TRUE(std::holds_alternative<std::int32_t>(*s.rg));
            EXPECT_EQ(std::get<std::int32_t>(*s.rg), steel.rg);
            EXPECT_EQ(s.xi_jg, std::optional<double>(steel.xi_jg));
            update_ratio_min(s);
            EXPECT_EQ(s.ratio_min, steel.ratio_min[c]);
        }
    }
}

struct PickCase {
    std::string name;
    std::vector<std::string_view> steel_picks;
    std::vector<std::string_view> concrete_picks;
    std::optional<std::int32_t> rg;
    std::optional<double> xi_jg;
    std::optional<std::int16_t> ra;
};

// clang-format off
const std::vector<PickCase> kPickCases{
    {"nothing_picked", {}, {}, std::nullopt, std::nullopt, std::nullopt},
    {"later_pick_replaces_earlier", {kSteelII, kSteelIII}, {}, 380000, 0.55, std::nullopt},
    {"latin_capital_I_matches_nothing", {kSteelII, "I\u7ea7"}, {}, 340000, 0.55, std::nullopt},
    {"trailing_space_matches_nothing", {kSteelII, "\u2160\u7ea7 "}, {}, 340000, 0.55, std::nullopt},
    {"initial_blank_list_text", {" "}, {" "}, std::nullopt, std::nullopt, std::nullopt},
    {"concrete_label_in_steel_list", {kSteelIV, kConcrete15}, {}, 550000, 0.45, std::nullopt},
    {"digits_without_hao", {}, {"50\u53f7", "15"}, std::nullopt, std::nullopt, 28500},
    {"steel_5_is_no_concrete_grade", {}, {kConcrete20, kSteel5}, std::nullopt, std::nullopt, 11000},
    {"no_35_grade", {}, {kConcrete25, "35\u53f7"}, std::nullopt, std::nullopt, 14500},
    {"full_width_15", {}, {kConcrete20, "\uff11\uff15\u53f7"}, std::nullopt, std::nullopt, 11000},
};
// clang-format on

TEST(MaterialTables, GradeLookUpIsExactAndIgnoresUnknownText) {
    for (const PickCase& c : kPickCases) {
        SCOPED_TRACE(c.name);
        CalcState s;
        for (std::string_view text : c.steel_picks) {
            select_steel_grade(s, text);
        }
        for (std::string_view text : c.concrete_picks) {
            select_concrete_grade(s, text);
        }
        ASSERT_EQ(s.rg.has_value(), c.rg.has_value());
        if (c.rg) {
            EXPECT_EQ(std::get<std::int32_t>(*s.rg), *c.rg);
        }
        EXPECT_EQ(s.xi_jg, c.xi_jg);
        EXPECT_EQ(s.ra, c.ra);
    }
}

struct RatioRuleCase {
    std::string name;
    std::optional<std::int16_t> ra;
    std::optional<SteelStrength> rg;
    double ratio_min_before;
    double ratio_min_after;
};

const std::vector<RatioRuleCase> kRatioRuleCases{
    {"neither_grade_picked", std::nullopt, std::nullopt, 0.0, 0.1},
    {"only_grade_I_picked", std::nullopt, SteelStrength{240000}, 0.0, 0.15},
    {"only_grade_II_picked", std::nullopt, SteelStrength{340000}, 0.0, 0.1},
    {"typed_240_classes_as_grade_I", 23000, SteelStrength{240000.0}, 0.0, 0.2},
    {"just_off_240000_is_other_steel", 23000, SteelStrength{240000.0001}, 0.0, 0.15},
    {"between_low_bands_keeps_old_value", 12000, SteelStrength{240000}, 0.77, 0.77},
    {"between_high_bands_keeps_old_value", 25000, SteelStrength{340000}, 0.77, 0.77},
    {"band_edge_11000", 11000, SteelStrength{340000}, 0.77, 0.1},
    {"band_edge_14500", 14500, SteelStrength{240000}, 0.77, 0.2},
    {"band_edge_28500", 28500, SteelStrength{240000}, 0.77, 0.25},
};

TEST(MinimumRatioRule, BandsUnsetValuesAndGaps) {
    for (const RatioRuleCase& c : kRatioRuleCases) {
        SCOPED_TRACE(c.name);
        CalcState s;
        s.ra = c.ra;
        s.rg = c.rg;
        s.ratio_min = c.ratio_min_before;
        update_ratio_min(s);
        EXPECT_EQ(s.ratio_min, c.ratio_min_after);
    }
}

TEST(MinimumRatioRule, PickingGradeIAgainRestoresTheIntegerStrength) {
    CalcState s = picked(kConcrete20, kSteelI);
    common_quantities(s, design_example_section(500.0), "300");
    ASSERT_EQ(value_or_zero(s.rg), 300000.0);
    select_steel_grade(s, kSteelI);
    ASSERT_TRUE(std::holds_alternative<std::int32_t>(*s.rg));
    EXPECT_EQ(std::get<std::int32_t>(*s.rg), 240000);
    update_ratio_min(s);
    EXPECT_EQ(s.ratio_min, 0.15);
}

} // namespace
