// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// A completed run of the window, as the table of a batch would give it: the inputs as typed and
// picked, and the result boxes' texts as shown.
struct WindowRun {
    zhuheng::CalcMode mode = zhuheng::CalcMode::None;
    std::string concrete_grade; // the label picked last; "" when none was
    std::string steel_grade;
    std::string rg;
    std::array<std::string, 7> section; // ag, bc, bi, hi, b, h, mj as typed
    // The steel strength the run found in the state, and the minimum ratio it used.
    std::optional<zhuheng::SteelStrength> rg_before;
    double ratio_min = 0;
    // The result boxes in the order the run writes them: the design's fourteen, or the check's
    // height, moment and verdict.
    std::vector<std::string> shown;
};

// Runs `run`'s inputs as a one-row table through the batch and compares: the row's result cells
// must be the boxes' texts without their leading blank or, where an input is not a number as a
// whole (0.8m), the row must be an error naming that column. "" when they agree, else what
// differs.
std::string table_disagreement(const WindowRun& run);
