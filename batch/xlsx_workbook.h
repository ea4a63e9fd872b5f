// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/record_source.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A table kept as an Excel workbook (.xlsx, as Excel, WPS and LibreOffice save it), read as it is
// saved: the rows of its sheet named 批量计算, or else of its first worksheet, each number at the
// precision the workbook holds.
namespace zhuheng::batch {

// The rows of the workbook at `path`, for run_batch(RecordSource&, ...); nullptr for a file that
// does not begin as a zip archive (a CSV table, or whatever the CSV reading then refuses). Throws
// TableError for a workbook that is damaged or holds no worksheet.
std::unique_ptr<RecordSource> open_workbook(const QString& path);

// The same for a workbook's bytes.
std::unique_ptr<RecordSource> open_workbook_bytes(const QByteArray& bytes);

} // namespace zhuheng::batch
