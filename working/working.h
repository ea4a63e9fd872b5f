// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"
#include "working/section_figure.h"
#include "working/working_line.h"

#include <optional>
#include <vector>

namespace zhuheng {

// The working of a completed run as a checker reads it: each formula of the run's path with its
// values substituted and its result, the comparisons that chose the path, the floors, as lines
// (headings, and body lines indented by four blanks); and the section drawn to scale unless it
// cannot be drawn (then a line says why). Every number is one the engine stored for that run, or
// a constant of the formulas: inputs and kept results as the boxes show them, intermediate values
// and results before flooring to 7 significant digits, and more where a line needs them so that
// it re-computes from its printed numbers and its comparisons read the way the run decided.
struct Working {
    std::vector<WorkingLine> lines;
    std::optional<SectionFigure> figure;

    bool operator==(const Working& o) const { return lines == o.lines && figure == o.figure; }
};

// The working of the completed run that `state` holds, in the mode of that run.
Working run_working(const CalcState& state);

} // namespace zhuheng
