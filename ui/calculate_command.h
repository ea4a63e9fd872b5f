// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"
#include "engine/calculation_run.h"

namespace Ui {
class MainForm;
}
class MessageBoxes;

// The Calculate command: the boxes' texts to the engine's run, then the result boxes or the
// run's message. An arithmetic fault leaves the state and every box exactly as they were before
// the press and is reported in a warning box; the window stays usable.
zhuheng::RunOutcome calculate(zhuheng::CalcState& state, Ui::MainForm& ui, MessageBoxes& messages);
