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

void BM_DesignRunSecondType(benchmark::State& bench) {
    CalcState state;
    select_concrete_grade(state, "25号");
    select_steel_grade(state, "Ⅱ级");
    state.mode = CalcMode::Design;
    SectionInput input{0.0, 0.05, 1.0, 0.15, 0.2, 0.8, 1300.0};
    for (auto _ : bench) {
        benchmark::DoNotOptimize(input);
        common_quantities(state, input, "");
        benchmark::DoNotOptimize(reinforcement_design(state));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DesignRunSecondType);

void BM_DesignRunFirstType(benchmark::State& bench) {
    CalcState state;
    select_concrete_grade(state, "25号");
    select_steel_grade(state, "Ⅱ级");
    state.mode = CalcMode::Design;
    SectionInput input{0.0, 0.05, 1.0, 0.15, 0.2, 0.8, 500.0};
    for (auto _ : bench) {
        benchmark::DoNotOptimize(input);
        common_quantities(state, input, "");
        benchmark::DoNotOptimize(reinforcement_design(state));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DesignRunFirstType);

void BM_CheckRunSecondType(benchmark::State& bench) {
    CalcState state;
    select_concrete_grade(state, "20号");
    select_steel_grade(state, "Ⅱ级");
    state.mode = CalcMode::Check;
    SectionInput input{80.0, 0.07, 1.6, 0.12, 0.18, 1.3, 2500.0};
    for (auto _ : bench) {
        benchmark::DoNotOptimize(input);
        common_quantities(state, input, "");
        strength_check(state);
        benchmark::DoNotOptimize(state);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CheckRunSecondType);

} // namespace

BENCHMARK_MAIN();
