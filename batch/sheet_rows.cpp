// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/sheet_rows.h"

#include "batch/batch_run.h"
#include "batch/table_text.h"
#include "engine/text_to_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace zhuheng::batch {

namespace {

// The last column (XFD) and row a worksheet of Excel has.
constexpr std::size_t kColumns = 16384;
constexpr std::size_t kRows = 1048576;

struct CellCode {
    std::string_view code;
    std::string_view what;
};
// A boolean's text as Excel shows it.
constexpr std::array<CellCode, 2> kBooleans{{{"0", "FALSE"}, {"1", "TRUE"}}};

// The value of a text of decimal digits alone.
std::optional<std::size_t> digits_value(std::string_view text) {
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool is_row_number(std::optional<std::size_t> row) {
    return row && *row >= 1 && *row <= kRows;
}

std::string column_name(std::size_t column) {
    std::string name;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return name;
}

} // namespace

void damaged_workbook(const std::string& what) {
    throw TableError("这个工作簿已损坏，无法读取（" + what +
                     "）。请在 Excel 或 WPS 中打开它，“另存为”Excel 工作簿（.xlsx）后再试。");
}

bool holds_something(const Record& record) {
    return !record.faults.empty() ||
           std::any_of(record.cells.begin(), record.cells.end(),
                       [](const std::string& c) { return !only_blanks(c); });
}

void SheetRows::start_row(std::string_view reference, Record& record) {
    const std::optional<std::size_t> row =
        reference.empty() ? std::optional<std::size_t>(row_ + 1) : digits_value(reference);
    if (!is_row_number(row)) {
        damaged_workbook("工作表的行号“" + std::string(reference) + "”不是 1 到 1048576 之间的数");
    }
    row_ = *row;
    next_column_ = 0;
    record.line = row_;
    record.cells.clear();
    record.faults.clear();
}

void SheetRows::add_cell(const SheetCell& cell, Record& record) {
    std::size_t column = next_column_;
    if (!cell.reference.empty()) {
        // Letters then the row's digits: C12.
        const std::size_t letters = cell.reference.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        column = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(letters, 4); ++i) {
            column = column * 26 + static_cast<std::size_t>(cell.reference[i] - 'A' + 1);
        }
        if (letters == 0 || letters > 3 || column > kColumns ||
            !is_row_number(digits_value(cell.reference.substr(std::min(letters, cell.reference.size()))))) {
            damaged_workbook("单元格的位置“" + std::string(cell.reference) + "”不是 A1 到 XFD1048576 之一");
        }
        --column;
    } else if (column >= kColumns) {
        damaged_workbook("第 " + std::to_string(row_) + " 行的单元格超出了 XFD 列");
    }
    next_column_ = column + 1;
    const std::string reference = column_name(column) + std::to_string(row_);
    if (record.cells.size() <= column) {
        record.cells.resize(column + 1);
    }
    std::string& text = record.cells[column];
    text.clear(); // a cell given twice is the later one

    if (cell.has_formula && !cell.has_value) {
        record.faults.push_back({column, reference,
                                 "是公式，但工作簿里没有它的计算结果（请在 Excel 或 WPS 中打开工作簿，"
                                 "重新计算并保存后再试）"});
        return;
    }
    if (cell.type == "e") {
        record.faults.push_back({column, reference, "是错误值 " + cell.value});
        text = cell.value;
    } else if (cell.type == "s" && cell.has_value) {
        const std::optional<std::size_t> index = digits_value(cell.value);
        if (!index || *index >= shared_.size()) {
            damaged_workbook("单元格 " + reference + " 所引用的共享字符串“" + cell.value + "”不存在");
        }
        text = shared_[*index];
    } else if (cell.type == "b") {
        const auto code = std::find_if(kBooleans.begin(), kBooleans.end(),
                                       [&](const CellCode& b) { return b.code == cell.value; });
        text = code != kBooleans.end() ? std::string(code->what) : cell.value;
    } else if (cell.type.empty() || cell.type == "n") {
        text = number_cell_text(cell.value);
    } else {
        text = cell.value; // inlineStr, str, d
    }
}

std::string number_cell_text(std::string_view stored) {
    double value = 0.0;
    const char* first = stored.data() + (!stored.empty() && stored.front() == '+');
    const char* last = stored.data() + stored.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value)) {
        return std::string(stored);
    }
    // The shortest text that reads back as the value: as a decimal (500, 0.145, 0.00001), or
    // with an exponent beyond the sizes a table holds.
    const double size = std::fabs(value);
    const auto format = size == 0.0 || (size >= 1e-7 && size < 1e21) ? std::chars_format::fixed
                                                                     : std::chars_format::scientific;
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    std::string text(buffer, written.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

std::string unescaped_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned unit = 0;
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            const auto [end, ec] = std::from_chars(text.data() + i + 2, text.data() + i + 6, unit, 16);
            // A surrogate's half alone is no character: such an escape stays as written.
            if (ec == std::errc() && end == text.data() + i + 6 && (unit < 0xD800 || unit > 0xDFFF)) {
                append_utf8(out, unit);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace zhuheng::batch
