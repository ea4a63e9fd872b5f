// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <QString>

namespace Ui {
class MainForm;
}
class MessageBoxes;

extern const QString kNoModeMessage;
extern const QString kRedimensionMessage;

// How a run of the Calculate command ended. Only a completed run (a design that reached its
// results, or a check) gives the window a new report to print.
enum class RunOutcome { NoMode, Redimension, Fault, Completed };

// The Calculate command: the mode gate, reading the seven input boxes, the common quantities,
// the calculation of the chosen mode, then the result boxes. An arithmetic fault leaves the state
// and every box exactly as they were before the press and is reported in a warning box; the
// window stays usable.
RunOutcome calculate(zhuheng::CalcState& state, Ui::MainForm& ui, MessageBoxes& messages);
