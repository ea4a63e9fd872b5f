// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/table_columns.h"
#include "engine/calc_state.h"
#include "engine/calculation_run.h"

#include <string>
#include <string_view>
#include <vector>

// The cells of one row read strictly: every value as the window's lists and boxes take it, or
// the row's error naming its line, the column and the cell.
namespace zhuheng::batch {

struct RowInput {
    CalcMode mode = CalcMode::None;
    std::string_view concrete_grade; // the list's label
    std::string_view steel_grade;
    RunTexts texts; // the cells without the blanks around them; views into the row's cells
};

// The cell of `column` in `cells`; a row shorter than the header has empty cells at its end.
std::string_view cell_at(const std::vector<std::string>& cells, std::size_t column);

// Reads the row that begins on `line`. Returns "" and fills `input`, or returns the row's error
// (every cell that is no value of its column, each with its column and its text).
std::string read_row(const std::vector<std::string>& cells, const TableColumns& columns,
                     std::size_t line, RowInput& input);

// The list's label of a grade as a table gives it: the label itself, or as people type it
// (concrete 25号 or 25; steel Ⅱ级, Ⅱ, II, ii, 2, 二级 and the like, 5号 or 5). "" for none.
std::string_view concrete_label(std::string_view text);
std::string_view steel_label(std::string_view text);

} // namespace zhuheng::batch
