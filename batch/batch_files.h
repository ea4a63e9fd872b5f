// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"
#include "batch/platform_gbk.h"

#include <QString>

#include <functional>

// A table file run as a whole, the same from the window and from the console: the table read
// from its file (a workbook, or a CSV table with GBK decoded by the platform), the results
// written whole or not at all (a workbook where their name ends in .xlsx, else a CSV table), and
// the calc book of the completed rows where it is asked for.
namespace zhuheng::batch {

struct BatchFiles {
    QString table;          // the table to read
    QString results;        // the results table to write
    QString book_pdf;       // the calc book as a PDF; empty: none
    QString book_document;  // the calc book as an OpenDocument text; empty: none
    bool with_working = false; // each sheet of the book with its working and drawing
};

// <folder>/<name>-结果.csv beside a table <folder>/<name>.<ext>; -结果.xlsx beside a workbook.
QString results_path_for(const QString& table);
// Whether the file `table` is a workbook (a zip archive, as .xlsx is).
bool is_workbook(const QString& table);
// Whether results written to `path` are a workbook: its name ends in .xlsx.
bool is_workbook_name(const QString& path);
// <folder>/<name>-计算书.pdf and .odt beside the table.
QString book_path_for(const QString& table, const QString& suffix);

// Runs the table of `files`. Throws TableError for a table that cannot be run and
// zhuheng::PrintError (with the reason, in Chinese) for a file that cannot be written; either
// way no results file and no book is left behind, and an earlier one is unchanged. A cancelled run
// writes nothing either. `progress` as in BatchOptions.
BatchSummary run_batch_files(
    const BatchFiles& files,
    const std::function<bool(std::uint64_t read, std::uint64_t total)>& progress = {});

} // namespace zhuheng::batch
