// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"
#include "report/report_printer.h"
#include "working/working.h"

#include <string>
#include <variant>
#include <vector>

namespace zhuheng {

// What a document of the sheet holds, in order: a copy's lines, and after them the run's
// working.
using ReportBlock = std::variant<ReportLine, Working>;

// One copy of the calc sheet as printing prints it: the lines of `state`, followed by the run's
// working where it is asked for and `state` is the one a completed run left. Every way the sheet
// leaves the program (printing, the preview, PDF, document, clipboard) shows this.
std::vector<ReportBlock> calc_sheet(const CalcState& state, bool completed, bool with_working);

// The texts a line is printed in: each item with those joined to it, in order ("label value",
// or the title alone), a value's blanks kept as printed.
std::vector<std::string> line_groups(const ReportLine& line);

// The sheet as plain text, a line of text to each line of the sheet: a line's groups with their
// surrounding blanks dropped, separated by a tab; then the working's lines as printed.
std::vector<std::string> sheet_text(const std::vector<ReportBlock>& sheet);

} // namespace zhuheng
