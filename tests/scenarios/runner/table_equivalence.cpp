// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_equivalence.h"

#include "batch/batch_run.h"
#include "batch/memory_bytes.h"
#include "engine/text_to_number.h"
#include "engine/material_tables.h"
#include "engine/shown_results.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <map>

using namespace zhuheng;
using namespace zhuheng::batch;

namespace {

// The columns of the inputs, in the order of WindowRun::section, by their captions' names.
constexpr const char* kSectionNames[] = {"钢筋面积", "保护层厚度", "翼缘宽度", "翼缘厚度",
                                         "梁肋宽度", "梁体高度",   "承受弯矩"};
constexpr const char* kStrengthName = "钢筋强度";

// The records of a CSV text (RFC 4180 quoting, CRLF or LF), its BOM dropped.
std::vector<std::vector<std::string>> csv_records(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& cell = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\n') {
            records.emplace_back(1);
        } else if (c != '\r') {
            cell += c;
        }
    }
    if (records.back().size() == 1 && records.back().front().empty()) {
        records.pop_back();
    }
    return records;
}

// A number as a whole: the window's digits (full-width ones and 。 as their ASCII twins), blanks
// around it allowed.
bool whole_number(const std::string& text) {
    QString t = QString::fromStdString(text);
    for (QChar& c : t) {
        if (c >= QChar(0xFF01) && c <= QChar(0xFF5E)) {
            c = QChar(c.unicode() - 0xFEE0);
        } else if (c == QChar(0x3002)) {
            c = QLatin1Char('.');
        } else if (c == QChar(0x3000)) {
            c = QLatin1Char(' ');
        }
    }
    static const QRegularExpression number(
        QStringLiteral("^[ \\t]*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?[ \\t]*$"));
    return number.match(t).hasMatch();
}

bool strength_class_one(const std::optional<SteelStrength>& rg) {
    return value_or_zero(rg) == kRatioMinClassRg;
}

std::string without_lead_blank(const std::string& text) {
    return !text.empty() && text.front() == ' ' ? text.substr(1) : text;
}

} // namespace

std::string table_disagreement(const WindowRun& run) {
    TemplateRow row;
    row.mode = run.mode;
    row.concrete_grade = run.concrete_grade;
    row.steel_grade = run.steel_grade;
    row.rg = run.rg;
    row.section = run.section;

    MemorySource in(template_table(row));
    StringSink out;
    BatchOptions options;
    std::optional<RowStatus> status;
    double row_ratio_min = 0;
    options.on_row = [&](const RowRecord& record) {
        status = record.status;
        row_ratio_min = record.state ? record.state->ratio_min : 0;
    };
    try {
        run_batch(in, out, options);
    } catch (const TableError& e) {
        return std::string("the one-row table was refused: ") + e.what();
    }
    const auto records = csv_records(out.text);
    if (records.size() != 2 || !status) {
        return "the one-row table gave " + std::to_string(records.size()) + " records";
    }
    std::map<std::string, std::string> cells;
    for (std::size_t i = 0; i < records[0].size() && i < records[1].size(); ++i) {
        cells[records[0][i]] = records[1][i];
    }
    const std::string tip = cells["提示"];

    // The inputs that are no number as a whole: the row is an error naming one of them.
    std::vector<std::string> not_numbers;
    for (std::size_t i = 0; i < run.section.size(); ++i) {
        const bool required = i > 0 || run.mode == CalcMode::Check;
        if ((required || !run.section[i].empty()) && !whole_number(run.section[i])) {
            not_numbers.push_back(kSectionNames[i]);
        }
    }
    // A strength of blanks alone is empty in a cell as in the box: the grade's strength.
    if (!only_blanks(run.rg) && !whole_number(run.rg)) {
        not_numbers.push_back(kStrengthName);
    }
    if (!not_numbers.empty()) {
        const bool named = std::any_of(not_numbers.begin(), not_numbers.end(),
                                       [&](const std::string& n) {
                                           return tip.find(n) != std::string::npos;
                                       });
        if (*status != RowStatus::Error || !named) {
            return "the row should be an error naming " + not_numbers.front() +
                   ", its 提示 is \"" + tip + '"';
        }
        return {};
    }
    if (*status != RowStatus::Completed) {
        return "the row did not complete: \"" + tip + '"';
    }

    std::vector<std::string> columns;
    if (run.mode == CalcMode::Design) {
        columns.assign(kDesignResultNames.begin(), kDesignResultNames.end());
    } else {
        columns.assign(kCheckResultNames.begin(), kCheckResultNames.end());
        columns.emplace_back(kVerdictName);
    }
    std::string differences;
    for (std::size_t i = 0; i < columns.size() && i < run.shown.size(); ++i) {
        const std::string box = without_lead_blank(run.shown[i]);
        if (cells[columns[i]] != box) {
            differences += ' ' + columns[i] + ": table \"" + cells[columns[i]] + "\", window \"" +
                           box + '"';
        }
    }
    // A strength typed in an earlier run stays in the state until a grade is picked again, and
    // the minimum-ratio rule of the next run sees it; a table's row starts from its grade. Only
    // there may the two minimum ratios, and so the results, differ.
    const auto picked = std::find_if(SteelGradeTable.begin(), SteelGradeTable.end(),
                                     [&](const SteelGrade& g) { return g.label == run.steel_grade; });
    const bool carried = picked != SteelGradeTable.end() &&
                         strength_class_one(run.rg_before) != (picked->rg == kRatioMinClassRg);
    if (!differences.empty() && !(carried && row_ratio_min != run.ratio_min)) {
        return "the one-row table differs:" + differences;
    }
    return {};
}
