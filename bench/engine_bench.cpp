// SPDX-License-Identifier: GPL-3.0-or-later
// One complete Calculate run through the engine on a CalcState whose grades are picked: the
// common quantities from the section typed, then the design or the check.
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zhuheng;

struct Run {
    const char* concrete;
    const char* steel;
    CalcMode mode;
    SectionInput input;
};

void BM_CalculateRun(benchmark::State& bench, const Run& run) {
    CalcState state;
    select_concrete_grade(state, run.concrete);
    select_steel_grade(state, run.steel);
    state.mode = run.mode;
    SectionInput input = run.input;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(input);
        common_quantities(state, input, "");
        if (run.mode == CalcMode::Design) {
            benchmark::DoNotOptimize(reinforcement_design(state));
        } else {
            strength_check(state);
        }
        benchmark::DoNotOptimize(state);
        benchmark::ClobberMemory();
    }
}

// The worked examples: 25号 and Ⅱ级 designed at 1300 and 500 KN.m, 20号 and Ⅱ级 checked with
// 80 cm2 at 2500 KN.m.
BENCHMARK_CAPTURE(BM_CalculateRun, DesignSecondType,
                  Run{"25号", "Ⅱ级", CalcMode::Design, {0.0, 0.05, 1.0, 0.15, 0.2, 0.8, 1300.0}});
BENCHMARK_CAPTURE(BM_CalculateRun, DesignFirstType,
                  Run{"25号", "Ⅱ级", CalcMode::Design, {0.0, 0.05, 1.0, 0.15, 0.2, 0.8, 500.0}});
BENCHMARK_CAPTURE(BM_CalculateRun, CheckSecondType,
                  Run{"20号", "Ⅱ级", CalcMode::Check, {80.0, 0.07, 1.6, 0.12, 0.18, 1.3, 2500.0}});

} // namespace

BENCHMARK_MAIN();
