// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/print_report.h"

#include "engine/number_text.h"
#include "report/calc_sheet.h"

#include <cstdint>
#include <optional>
#include <variant>

namespace zhuheng {

namespace {

std::string printed(double v) {
    return printed_number_text(v);
}

// An unset optional field prints as nothing.
template <class T> std::string printed(const std::optional<T>& v) {
    return v ? printed(value_or_zero(v)) : std::string();
}

// Label and value pairs: every label joins its value, every value but the last goes on to the
// next zone, the last ends the line.
ReportLine pairs_line(std::initializer_list<std::pair<const char*, std::string>> pairs) {
    ReportLine line;
    for (const auto& [label, value] : pairs) {
        line.items.push_back({label, PrintSeparator::Join});
        line.items.push_back({value, PrintSeparator::Zone});
    }
    line.items.back().separator = PrintSeparator::LineEnd;
    return line;
}

} // namespace

std::vector<ReportLine> report_copy(const CalcState& s) {
    const auto& counts = s.bar_counts.d12_to_d32;
    std::vector<ReportLine> lines;
    lines.push_back(ReportLine{5, {{"筑衡程序", PrintSeparator::LineEnd}}});
    // The labels end in full-width "＝" or ASCII "=" exactly as they stand here.
    lines.push_back(pairs_line({{"混凝土强度（KPa）＝", printed(s.ra)},
                                {"钢筋强度（KPa）=", printed(s.rg)},
                                {"保护层厚度（m）＝", printed(s.bc)},
                                {"翼缘宽度（m）＝", printed(s.bi)}}));
    lines.push_back(pairs_line({{"翼缘厚度（m）＝", printed(s.hi)},
                                {"梁肋宽度（m）=", printed(s.b)},
                                {"梁体高度（m）=", printed(s.h)},
                                {"承受弯矩（KN.m）=", printed(s.mj)}}));
    if (s.mode == CalcMode::Design) {
        lines.push_back(pairs_line({{"受拉钢筋面积（cm2）=", printed(s.as_req)},
                                    {"配筋率（%）=", printed(s.ratio)},
                                    {"计算高度（m）=", printed(s.x)},
                                    {"主筋直径（根）D12＝", printed(counts[0])},
                                    {"D14=", printed(counts[1])},
                                    {"D16=", printed(counts[2])}}));
        lines.push_back(pairs_line({{"D18=", printed(counts[3])},
                                    {"D20=", printed(counts[4])},
                                    {"D22=", printed(counts[5])},
                                    {"D25=", printed(counts[6])},
                                    {"D28=", printed(counts[7])},
                                    {"D30=", printed(counts[8])},
                                    {"D32=", printed(counts[9])},
                                    {"D34=", printed(s.bar_counts.d34)}}));
    }
    if (s.mode == CalcMode::Check) {
        lines.push_back(pairs_line({{"计算高度（m）=", printed(s.x)},
                                    {"最大弯矩（KN.m）=", printed(s.m_ult)},
                                    {"结果=", s.verdict}}));
    }
    return lines;
}

PrintOutcome print_report(const CalcState& state, bool completed, PrinterDialog& dialog,
                          ReportPrinter& printer) {
    dialog.set_cancel_error(true);
    try {
        dialog.show_printer();
    } catch (const PrintCancelled&) {
        return {PrintOutcome::Kind::Cancelled, {}};
    } catch (const std::exception& e) {
        return {PrintOutcome::Kind::Failed, e.what()};
    }
    const long copies = dialog.copies();
    if (copies < INT16_MIN || copies > INT16_MAX) {
        return {PrintOutcome::Kind::Failed, "份数超出范围"};
    }
    try {
        const std::vector<ReportBlock> sheet = calc_sheet(state, completed, dialog.working());
        for (long copy = 1; copy <= copies; ++copy) {
            for (const ReportBlock& block : sheet) {
                if (const auto* line = std::get_if<ReportLine>(&block)) {
                    printer.print_line(*line);
                } else {
                    printer.print_working(std::get<Working>(block));
                }
            }
        }
        printer.end_document();
    } catch (const std::exception& e) {
        // A document that failed half-way must not come out as if it were the report.
        printer.abort_document();
        return {PrintOutcome::Kind::Failed, e.what()};
    }
    return {PrintOutcome::Kind::Printed, {}};
}

} // namespace zhuheng
