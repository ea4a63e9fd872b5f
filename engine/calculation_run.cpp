// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/calculation_run.h"

#include "engine/common_quantities.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "engine/text_to_number.h"

#include <iterator>
#include <tuple>

namespace zhuheng {

RunReport run_calculation(CalcState& state, const RunTexts& texts) {
    if (state.mode == CalcMode::None) {
        return {RunOutcome::NoMode};
    }
    // A faulted run leaves nothing half-written behind for the next printed report.
    CalcState run = state;
    try {
        // Read in box order; ag is read in both modes.
        SectionInput input;
        double* const fields[] = {&input.ag, &input.bc, &input.bi, &input.hi,
                                  &input.b,  &input.h,  &input.mj};
        static_assert(std::size(fields) == std::tuple_size_v<decltype(texts.section)>);
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            *fields[i] = text_to_number(texts.section[i]);
        }
        common_quantities(run, input, texts.rg);

        if (run.mode == CalcMode::Design) {
            const DesignOutcome outcome = reinforcement_design(run);
            state = run;
            // A re-dimension keeps the inputs and intermediates of this run; no result changes.
            return {outcome == DesignOutcome::Redimension ? RunOutcome::Redimension
                                                          : RunOutcome::Completed};
        }
        strength_check(run);
        state = run;
    } catch (const ArithmeticFault& fault) {
        return {RunOutcome::Fault, fault.kind()};
    }
    return {RunOutcome::Completed};
}

std::string fault_message(FaultKind kind) {
    const std::string what = kind == FaultKind::DivisionByZero ? "除数为零" : "数值溢出";
    return "计算出错：" + what +
           "。请检查混凝土标号和钢筋等级是否都已选择，各尺寸是否为零或超出范围。";
}

} // namespace zhuheng
