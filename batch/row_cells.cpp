// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/row_cells.h"

#include "engine/arithmetic_fault.h"
#include "engine/material_tables.h"
#include "engine/shown_results.h"
#include "engine/text_to_number.h"

#include <optional>

namespace zhuheng::batch {

namespace {

constexpr std::string_view kHao = "号";
constexpr std::string_view kJi = "级";

// The ways of writing each steel grade of SteelGradeTable, in its order, without the suffix
// that its label ends with; Latin letters in upper case.
struct SteelSpellings {
    std::array<std::string_view, 4> stems;
    std::string_view suffix;
};
constexpr std::array<SteelSpellings, SteelGradeTable.size()> kSteelSpellings{{
    {{"Ⅰ", "I", "1", "一"}, kJi},
    {{"Ⅱ", "II", "2", "二"}, kJi},
    {{"Ⅲ", "III", "3", "三"}, kJi},
    {{"Ⅳ", "IV", "4", "四"}, kJi},
    {{"5", "", "", ""}, kHao},
}};

struct ModeName {
    std::string_view text;
    CalcMode mode;
};
// The option buttons' captions, and the word the window's message uses for the check.
constexpr std::array<ModeName, 3> kModeNames{{
    {kDesignName, CalcMode::Design},
    {kCheckName, CalcMode::Check},
    {"强度验算", CalcMode::Check},
}};

bool ends_with(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string_view without_suffix(std::string_view text, std::string_view suffix) {
    return ends_with(text, suffix) ? text.substr(0, text.size() - suffix.size()) : text;
}

std::string upper_latin(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

template <class Table> std::string labels_of(const Table& table) {
    std::string list;
    for (const auto& row : table) {
        list += (list.empty() ? "" : "、") + std::string(row.label);
    }
    return list;
}

// The errors of one row, gathered as its cells are read.
class RowErrors {
public:
    void add(std::size_t column, std::string_view cell, std::string_view what) {
        text_ += (text_.empty() ? "" : "；") + std::string(kInputCaptions[column]);
        if (!cell.empty()) {
            text_ += "“" + std::string(cell) + "”";
        }
        text_ += what;
    }
    void add(std::string what) { text_ += (text_.empty() ? "" : "；") + what; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

} // namespace

std::string_view cell_at(const std::vector<std::string>& cells, std::size_t column) {
    return column < cells.size() ? std::string_view(cells[column]) : std::string_view();
}

std::string_view concrete_label(std::string_view text) {
    const std::string_view stem = without_suffix(trim_blanks(text), kHao);
    for (const ConcreteGrade& grade : ConcreteGradeTable) {
        if (!stem.empty() && without_suffix(grade.label, kHao) == stem) {
            return grade.label;
        }
    }
    return {};
}

std::string_view steel_label(std::string_view text) {
    const std::string_view trimmed = trim_blanks(text);
    for (std::size_t i = 0; i < kSteelSpellings.size(); ++i) {
        const std::string stem = upper_latin(without_suffix(trimmed, kSteelSpellings[i].suffix));
        for (const std::string_view spelling : kSteelSpellings[i].stems) {
            if (!spelling.empty() && stem == spelling) {
                return SteelGradeTable[i].label;
            }
        }
    }
    return {};
}

std::string read_row(const std::vector<std::string>& cells, const TableColumns& columns,
                     std::size_t line, RowInput& input) {
    RowErrors errors;
    auto cell = [&](std::size_t column) { return trim_blanks(cell_at(cells, columns.input[column])); };

    input = RowInput{};
    const std::string_view mode = cell(kModeColumn);
    for (const ModeName& name : kModeNames) {
        if (mode == name.text) {
            input.mode = name.mode;
        }
    }
    if (input.mode == CalcMode::None) {
        errors.add(kModeColumn, mode, mode.empty() ? "为空，应为 配筋计算 或 强度复核"
                                                   : "应为 配筋计算 或 强度复核");
    }
    input.concrete_grade = concrete_label(cell(kConcreteColumn));
    if (input.concrete_grade.empty()) {
        errors.add(kConcreteColumn, cell(kConcreteColumn),
                   "不是可选的标号（" + labels_of(ConcreteGradeTable) + "）");
    }
    input.steel_grade = steel_label(cell(kSteelColumn));
    if (input.steel_grade.empty()) {
        errors.add(kSteelColumn, cell(kSteelColumn),
                   "不是可选的等级（" + labels_of(SteelGradeTable) + "）");
    }

    // The number cells: the strength may be empty (the grade's then), the area outside a check.
    input.texts.rg = cell(kStrengthColumn);
    for (std::size_t column = kStrengthColumn; column <= kMomentColumn; ++column) {
        const std::string_view text = cell(column);
        if (column != kStrengthColumn) {
            input.texts.section[column - kAreaColumn] = text;
        }
        if (text.empty()) {
            const bool optional = column == kStrengthColumn ||
                                  (column == kAreaColumn && input.mode != CalcMode::Check);
            if (!optional) {
                errors.add(column, text, "为空");
            }
            continue;
        }
        try {
            if (!whole_number(text)) {
                errors.add(column, text, "不是一个数");
            }
        } catch (const ArithmeticFault&) {
            errors.add(column, text, "超出了数值范围");
        }
    }

    // Cells beyond the header: empty ones (a row of trailing separators) are nothing.
    for (std::size_t i = columns.width; i < cells.size(); ++i) {
        if (!trim_blanks(cells[i]).empty()) {
            errors.add("表头之外的第 " + std::to_string(i + 1) + " 列还有内容“" + cells[i] +
                       "”（表头只有 " + std::to_string(columns.width) + " 列）");
            break;
        }
    }
    if (errors.text().empty()) {
        return {};
    }
    return "第 " + std::to_string(line) + " 行：" + errors.text();
}

} // namespace zhuheng::batch
