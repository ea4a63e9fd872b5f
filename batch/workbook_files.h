// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"

#include <QString>

#include <functional>

// The workbooks that the window and the console save: the results of a table and the template,
// each written whole or not at all.
namespace zhuheng::batch {

// Runs the table read from `in` (as run_batch does) and writes the results as the workbook
// `path` (sheet 结果). Throws TableError for a table that cannot be run and zhuheng::PrintError,
// with the reason in Chinese, for a workbook that cannot be written; either way, and for a
// cancelled run, nothing is left at `path` and an earlier file there is unchanged.
BatchSummary run_batch_to_workbook(ByteSource& in, const QString& path, const BatchOptions& options);
// The same for any table's records. `before_keeping` runs after the last row, before the
// workbook is put in place, and may throw to drop it.
BatchSummary run_batch_to_workbook(RecordSource& records, const QString& path,
                                   const BatchOptions& options,
                                   const std::function<void()>& before_keeping = {});

// Writes the template of `row` as the workbook `path` (sheet 模板), whole or not at all;
// throws zhuheng::PrintError as above.
void save_template_workbook(const TemplateRow& row, const QString& path);

} // namespace zhuheng::batch
