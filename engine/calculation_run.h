// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/arithmetic_fault.h"
#include "engine/calc_state.h"

#include <array>
#include <string>
#include <string_view>

namespace zhuheng {

// The texts of one run, as typed: the steel strength (MPa) and the seven section inputs in box
// order (ag in cm2, bc, bi, hi, b, h in m, mj in KN.m), each read with text_to_number.
struct RunTexts {
    std::string_view rg;
    std::array<std::string_view, 7> section;
};

// How a run ended. Only a completed run (a design that reached its results, or a check) leaves a
// new report to print.
enum class RunOutcome { NoMode, Redimension, Fault, Completed };

struct RunReport {
    RunOutcome outcome = RunOutcome::Completed;
    FaultKind fault = FaultKind::DivisionByZero; // for Fault: which one
};

// One run of the calculation, whoever reads the texts (the window's boxes, a table's cells): the
// mode gate, the seven inputs, the common quantities, then the design or the check of the state's
// mode. The run works on a copy of `state` that replaces it when the run reaches its end or the
// re-dimension (whose inputs and intermediates stay, its results unchanged); a fault or the gate
// leaves `state` exactly as it was.
RunReport run_calculation(CalcState& state, const RunTexts& texts);

// What the user is told, in UTF-8: the two refusals and an arithmetic fault.
inline constexpr std::string_view kNoModeMessage = "请选择配筋计算或强度验算";
inline constexpr std::string_view kRedimensionMessage = "请重新拟定构件的尺寸！";
std::string fault_message(FaultKind kind);

} // namespace zhuheng
