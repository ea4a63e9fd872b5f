// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"
#include "report/report_printer.h"

#include <string>
#include <vector>

namespace zhuheng {

// The lines of one copy of the report, from CalcState alone: the result lines of its mode.
std::vector<ReportLine> report_copy(const CalcState& state);

struct PrintOutcome {
    enum class Kind { Printed, Cancelled, Failed };
    Kind kind = Kind::Printed;
    std::string reason; // for Failed: why, in the user's language
};

// The print command: the printer dialog, then every copy in one document and one end of
// document. Cancel ends it silently; any other failure aborts the document begun and is
// reported as Failed, never as printed. CalcState is only read. `completed` says that the state
// is the one a completed run left: only then does each copy carry the run's working when the
// dialog asks for it.
PrintOutcome print_report(const CalcState& state, bool completed, PrinterDialog& dialog,
                          ReportPrinter& printer);

} // namespace zhuheng
