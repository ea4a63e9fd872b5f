// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/record_source.h"

#include <string>
#include <string_view>
#include <vector>

// A worksheet's rows and cells as its XML gives them, made into the batch's records: each cell
// put in its column by its reference, a number as the very double the workbook holds, a shared
// string looked up, an error value or a formula without its result a fault naming the cell.
namespace zhuheng::batch {

// One <c> of a row.
struct SheetCell {
    std::string_view reference; // its r: C12; "" where the workbook leaves it out
    std::string_view type;      // its t: s, inlineStr, str, b, e, n, d; "" for a number
    bool has_value = false;     // it has a <v> (an inline string: an <is>)
    bool has_formula = false;   // it has an <f>
    std::string value;          // the <v>'s or the inline string's text, escapes read
};

class SheetRows {
public:
    explicit SheetRows(std::vector<std::string> shared_strings)
        : shared_(std::move(shared_strings)) {}

    // A <row> with its r ("" where left out) begins: `record` is emptied and takes its line.
    void start_row(std::string_view reference, Record& record);
    // Puts the cell in `record`. Throws TableError for a reference that is no cell's or a shared
    // string that the workbook lacks.
    void add_cell(const SheetCell& cell, Record& record);

private:
    std::vector<std::string> shared_;
    std::size_t row_ = 0;         // the row begun last, from 1
    std::size_t next_column_ = 0; // where a cell without a reference goes
};

// True for a record that holds a cell that is not blank, or a fault.
bool holds_something(const Record& record);

// The text of a number the workbook stores: the fewest digits that read back as the very double
// (0.145, not the 0.15 a cell may show), "." as the decimal separator, an exponent ("E") only
// below 1E-7 and from 1E+21. A text that is no number stays as it is.
std::string number_cell_text(std::string_view stored);

// A string of the workbook with its escapes (_x000D_ for a character XML cannot hold, _x005F_
// for a "_" that starts one) read.
std::string unescaped_text(std::string_view text);

// The TableError of a workbook that cannot be read: `what` says where.
[[noreturn]] void damaged_workbook(const std::string& what);

} // namespace zhuheng::batch
