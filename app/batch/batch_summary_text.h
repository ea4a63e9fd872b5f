// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"

#include <QString>

// The line zhuheng-batch ends with: the rows, how they ended, and the lines of the rows that
// had an error or a result differing from the table's.
QString summary_line(const zhuheng::batch::BatchSummary& summary);

// The exit status of a run that wrote its files: 0 when every row ran and agreed, 1 when a row
// had an error in a cell or a differing result.
int run_status(const zhuheng::batch::BatchSummary& summary);
