// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/table_writer.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A table written as an Excel workbook (.xlsx) with libxlsxwriter, row by row in flat memory:
// one sheet, its header bold and frozen, each column as wide as its widest cell, numbers as
// number cells showing the digits they are shown with elsewhere.
namespace zhuheng::batch {

// The sheet of a results workbook, and that of a template.
inline constexpr std::string_view kResultsSheetName = "结果";
inline constexpr std::string_view kTemplateSheetName = "模板";

// A workbook that cannot be written: what() says why in Chinese; error() is the errno of the
// failing file operation where there was one (0 otherwise), for the caller's own wording.
class WorkbookError : public std::runtime_error {
public:
    WorkbookError(const std::string& what, int error) : std::runtime_error(what), error_(error) {}
    int error() const { return error_; }

private:
    int error_;
};

// The number format that shows a number with the digits of `shown`: "0" for 4, "0.000" for
// 25.528, "0.0E+00" for 1.5E-05 (as %g writes a number beyond its plain range, the exponent
// with its sign and at least two digits, which is how Excel and WPS show this format); "" (the
// general format) for a text that is not a plain ASCII number.
std::string number_format(std::string_view shown);

class WorkbookWriter : public TableWriter {
public:
    // Starts the workbook `path` (UTF-8). Nothing is on disk until finish(); a writer destroyed
    // before it leaves no file at `path`. Throws WorkbookError.
    WorkbookWriter(const std::string& path, std::string_view sheet_name);
    ~WorkbookWriter() override;
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // These throw WorkbookError for a row beyond the sheet's last or a text longer than a cell
    // holds.
    void text(std::string_view text) override;
    void number(double value, std::string_view shown) override;
    void end_row() override;
    // Writes the workbook to its path; throws WorkbookError when it cannot, which may leave part
    // of the file there for the caller to remove.
    void finish() override;

private:
    struct Library;
    void fit_column(std::string_view shown);

    std::unique_ptr<Library> library_;
    std::string path_;
    std::size_t row_ = 0;
    std::size_t column_ = 0;
    std::vector<double> widths_; // each column's width, in widths of a digit
};

} // namespace zhuheng::batch
