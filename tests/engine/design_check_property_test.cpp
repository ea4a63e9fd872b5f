// SPDX-License-Identifier: GPL-3.0-or-later
// Design, then check what was designed: over many generated sections of realistic size, every
// completed design with a positive area must pass the strength check with its own area and moment.
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"

#include <gtest/gtest.h>

#include <random>

using namespace zhuheng;

namespace {

constexpr int kCasesPerGradePair = 8000; // 35 pairs: 280 000 sections

struct Tally {
    int designed = 0;
    int redimensioned = 0;
    int checked = 0;
};

TEST(DesignThenCheck, EveryCompletedDesignPassesItsOwnCheck) {
    std::mt19937_64 random(20261207);
    auto uniform = [&random](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    Tally tally;
    for (const ConcreteGrade& concrete : ConcreteGradeTable) {
        for (const SteelGrade& steel : SteelGradeTable) {
            for (int i = 0; i < kCasesPerGradePair; ++i) {
                SectionInput in;
                in.bi = uniform(0.3, 3.0); // m
                in.b = uniform(0.15, std::min(0.6, in.bi));
                in.hi = uniform(0.08, 0.3);
                in.h = uniform(std::max(0.4, in.hi + 0.1), 2.5);
                in.bc = uniform(0.03, 0.1);
                in.mj = uniform(10.0, 20000.0); // KN.m

                CalcState design;
                select_concrete_grade(design, concrete.label);
                select_steel_grade(design, steel.label);
                common_quantities(design, in, "");
                if (reinforcement_design(design) == DesignOutcome::Redimension) {
                    ++tally.redimensioned;
                    continue;
                }
                ++tally.designed;
                ASSERT_GT(*design.as_req, 0.0);

                // The area shown in the design box, typed as the given area of a check.
                CalcState check = design;
                SectionInput given = in;
                given.ag = *design.as_req;
                common_quantities(check, given, "");
                strength_check(check);
                ++tally.checked;
                ASSERT_EQ(check.verdict, "通过验算")
                    << concrete.label << ' ' << steel.label << " bi=" << in.bi << " b=" << in.b
                    << " hi=" << in.hi << " h=" << in.h << " bc=" << in.bc << " mj=" << in.mj
                    << " as_req=" << *design.as_req << " m_ult=" << check.m_ult;
            }
        }
    }
    EXPECT_EQ(tally.designed + tally.redimensioned, 35 * kCasesPerGradePair);
    EXPECT_GE(tally.designed, 100000) << "too few sections were designable";
    RecordProperty("designed", tally.designed);
    RecordProperty("redimensioned", tally.redimensioned);
    std::printf("%d sections designed and checked, %d re-dimensioned\n", tally.designed,
                tally.redimensioned);
}

} // namespace
