// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// Where a table goes, cell by cell and row by row: a CSV table or a workbook. The first row
// written is the header.
namespace zhuheng::batch {

class TableWriter {
public:
    virtual ~TableWriter() = default;
    virtual void text(std::string_view text) = 0;
    // A number, with the text it is shown as (the window's digits, or a number as typed): a CSV
    // table writes the text, a workbook the value in a format that shows those digits.
    virtual void number(double value, std::string_view shown) = 0;
    virtual void end_row() = 0;
    // After the last row: the table is complete.
    virtual void finish() = 0;
};

} // namespace zhuheng::batch
