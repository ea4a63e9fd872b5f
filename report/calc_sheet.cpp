// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/calc_sheet.h"

#include "report/print_report.h"

namespace zhuheng {

std::vector<ReportBlock> calc_sheet(const CalcState& state, bool completed, bool with_working) {
    std::vector<ReportBlock> sheet;
    for (ReportLine& line : report_copy(state)) {
        sheet.emplace_back(std::move(line));
    }
    if (completed && with_working) {
        sheet.emplace_back(run_working(state));
    }
    return sheet;
}

std::vector<std::string> line_groups(const ReportLine& line) {
    std::vector<std::string> groups;
    bool joined = false;
    for (const PrintItem& item : line.items) {
        if (joined) {
            groups.back() += item.text;
        } else {
            groups.push_back(item.text);
        }
        joined = item.separator == PrintSeparator::Join;
    }
    return groups;
}

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

} // namespace

std::vector<std::string> sheet_text(const std::vector<ReportBlock>& sheet) {
    std::vector<std::string> text;
    for (const ReportBlock& block : sheet) {
        if (const auto* line = std::get_if<ReportLine>(&block)) {
            std::string row;
            for (const std::string& group : line_groups(*line)) {
                row += (row.empty() ? "" : "\t") + trimmed(group);
            }
            text.push_back(row);
            continue;
        }
        for (const WorkingLine& line : std::get<Working>(block).lines) {
            text.push_back(line_text(line));
        }
    }
    return text;
}

} // namespace zhuheng
