// SPDX-License-Identifier: GPL-3.0-or-later
// The print command against a scripted printer dialog and a recording printer: the whole
// sequence of items and separators for each case, copies, cancel and failures.
#include "report/print_report.h"

#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "fake_printing.h"
#include "report/working.h"
#include "worked_examples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace zhuheng;

namespace {

constexpr PrintSeparator J = PrintSeparator::Join;
constexpr PrintSeparator Z = PrintSeparator::Zone;
constexpr PrintSeparator E = PrintSeparator::LineEnd;

ReportLine line(std::vector<PrintItem> items) {
    return ReportLine{5, std::move(items)};
}

const ReportLine kTitle = line({{"筑衡程序", E}});

std::vector<PrinterEvent> as_events(const std::vector<ReportLine>& lines, int copies) {
    std::vector<PrinterEvent> out;
    for (int c = 0; c < copies; ++c) {
        for (const ReportLine& l : lines) {
            out.push_back({PrinterEvent::Kind::Line, l});
        }
    }
    out.push_back({PrinterEvent::Kind::EndDocument, {}});
    return out;
}

using zhuheng_test::designed;

// 80 cm2 and mj = 3000: a second-type check that fails.
CalcState checked() {
    return zhuheng_test::checked(80, 3000);
}

const ReportLine kDesignLine2 = line({{"混凝土强度（KPa）＝", J},
                                      {" 14500 ", Z},
                                      {"钢筋强度（KPa）=", J},
                                      {" 340000 ", Z},
                                      {"保护层厚度（m）＝", J},
                                      {" 0.05 ", Z},
                                      {"翼缘宽度（m）＝", J},
                                      {" 1 ", E}});
const ReportLine kDesignLine3 = line({{"翼缘厚度（m）＝", J},
                                      {" 0.15 ", Z},
                                      {"梁肋宽度（m）=", J},
                                      {" 0.2 ", Z},
                                      {"梁体高度（m）=", J},
                                      {" 0.8 ", Z},
                                      {"承受弯矩（KN.m）=", J},
                                      {" 500 ", E}});
const ReportLine kDesignLine4 = line({{"受拉钢筋面积（cm2）=", J},
                                      {" 25.528 ", Z},
                                      {"配筋率（%）=", J},
                                      {" 1.701 ", Z},
                                      {"计算高度（m）=", J},
                                      {" 0.0598 ", Z},
                                      {"主筋直径（根）D12＝", J},
                                      {" 23 ", Z},
                                      {"D14=", J},
                                      {" 17 ", Z},
                                      {"D16=", J},
                                      {" 13 ", E}});
const ReportLine kDesignLine5 = line({{"D18=", J},
                                      {" 10 ", Z},
                                      {"D20=", J},
                                      {" 9 ", Z},
                                      {"D22=", J},
                                      {" 7 ", Z},
                                      {"D25=", J},
                                      {" 6 ", Z},
                                      {"D28=", J},
                                      {" 5 ", Z},
                                      {"D30=", J},
                                      {" 4 ", Z},
                                      {"D32=", J},
                                      {" 4 ", Z},
                                      {"D34=", J},
                                      {" 3 ", E}});

struct PrintCase {
    const char* name;
    CalcState state;
    CalcMode mode; // the mode the state is printed in
    long copies;
    std::vector<ReportLine> copy; // the lines of one copy
};

// Test names show the row's name, not its bytes.
void PrintTo(const PrintCase& row, std::ostream* os) {
    *os << row.name;
}

class PrintReport : public ::testing::TestWithParam<PrintCase> {};

TEST_P(PrintReport, PrintsEveryCopyInOneDocument) {
    const PrintCase& c = GetParam();
    FakePrinterDialog dialog;
    dialog.copy_count = c.copies;
    RecordingPrinter printer;
    CalcState state = c.state;
    state.mode = c.mode;
    const PrintOutcome outcome = print_report(state, false, dialog, printer);
    EXPECT_EQ(outcome.kind, PrintOutcome::Kind::Printed);
    EXPECT_TRUE(dialog.cancel_error);
    EXPECT_EQ(dialog.times_shown, 1);
    EXPECT_EQ(printer.events, as_events(c.copy, c.copies < 1 ? 0 : static_cast<int>(c.copies)));
}

CalcState design_then_pick() {
    CalcState s = designed();
    select_concrete_grade(s, "60号");
    select_steel_grade(s, "5号");
    return s;
}

CalcState negative_design() {
    CalcState s;
    select_concrete_grade(s, "25号");
    select_steel_grade(s, "Ⅱ级");
    common_quantities(s, SectionInput{0, 0.05, 1.0, 0.15, 0.2, 0.8, -25}, "");
    EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
    return s;
}

const ReportLine kEmptyLine2 = line({{"混凝土强度（KPa）＝", J},
                                     {"", Z},
                                     {"钢筋强度（KPa）=", J},
                                     {"", Z},
                                     {"保护层厚度（m）＝", J},
                                     {"", Z},
                                     {"翼缘宽度（m）＝", J},
                                     {"", E}});
const ReportLine kEmptyLine3 = line({{"翼缘厚度（m）＝", J},
                                     {"", Z},
                                     {"梁肋宽度（m）=", J},
                                     {"", Z},
                                     {"梁体高度（m）=", J},
                                     {"", Z},
                                     {"承受弯矩（KN.m）=", J},
                                     {"", E}});
const ReportLine kCheckLine2 = line({{"混凝土强度（KPa）＝", J},
                                     {" 11000 ", Z},
                                     {"钢筋强度（KPa）=", J},
                                     {" 340000 ", Z},
                                     {"保护层厚度（m）＝", J},
                                     {" 0.07 ", Z},
                                     {"翼缘宽度（m）＝", J},
                                     {" 1.6 ", E}});
const ReportLine kCheckLine3 = line({{"翼缘厚度（m）＝", J},
                                     {" 0.12 ", Z},
                                     {"梁肋宽度（m）=", J},
                                     {" 0.18 ", Z},
                                     {"梁体高度（m）=", J},
                                     {" 1.3 ", Z},
                                     {"承受弯矩（KN.m）=", J},
                                     {" 3000 ", E}});

std::vector<PrintCase> print_cases() {
    return {
        {"StartUpOneCopy", CalcState{}, CalcMode::None, 1, {kTitle, kEmptyLine2, kEmptyLine3}},
        {"NoCopies", designed(), CalcMode::Design, 0, {}},
        {"NegativeCopyCount", designed(), CalcMode::Design, -3, {}},
        {"DesignTwoCopies",
         designed(),
         CalcMode::Design,
         2,
         {kTitle, kDesignLine2, kDesignLine3, kDesignLine4, kDesignLine5}},
        {"CheckAfterARun",
         checked(),
         CalcMode::Check,
         1,
         {kTitle, kCheckLine2, kCheckLine3,
          line({{"计算高度（m）=", J},
                {" 0.427 ", Z},
                {"最大弯矩（KN.m）=", J},
                {" 2442.056 ", Z},
                {"结果=", J},
                {"未通过", E}})}},
        {"DesignModeBeforeAnyRun",
         CalcState{},
         CalcMode::Design,
         1,
         {kTitle, kEmptyLine2, kEmptyLine3,
          line({{"受拉钢筋面积（cm2）=", J},
                {"", Z},
                {"配筋率（%）=", J},
                {" 0 ", Z},
                {"计算高度（m）=", J},
                {"", Z},
                {"主筋直径（根）D12＝", J},
                {"", Z},
                {"D14=", J},
                {"", Z},
                {"D16=", J},
                {"", E}}),
          line({{"D18=", J},
                {"", Z},
                {"D20=", J},
                {"", Z},
                {"D22=", J},
                {"", Z},
                {"D25=", J},
                {"", Z},
                {"D28=", J},
                {"", Z},
                {"D30=", J},
                {"", Z},
                {"D32=", J},
                {"", Z},
                {"D34=", J},
                {" 0 ", E}})}},
        // This row and the next print states that the window no longer prints after a run (it
        // prints the last completed run, in that run's mode): they keep the lines of a mode and
        // of the grades as the state holds them.
        {"CheckModeAfterADesignRun",
         designed(),
         CalcMode::Check,
         1,
         {kTitle, kDesignLine2, kDesignLine3,
          line({{"计算高度（m）=", J},
                {" 0.0598 ", Z},
                {"最大弯矩（KN.m）=", J},
                {" 0 ", Z},
                {"结果=", J},
                {"", E}})}},
        {"GradesPickedAfterTheRun",
         design_then_pick(),
         CalcMode::None,
         1,
         {kTitle,
          line({{"混凝土强度（KPa）＝", J},
                {" 32500 ", Z},
                {"钢筋强度（KPa）=", J},
                {" 280000 ", Z},
                {"保护层厚度（m）＝", J},
                {" 0.05 ", Z},
                {"翼缘宽度（m）＝", J},
                {" 1 ", E}}),
          kDesignLine3}},
        {"NegativeNumbersHaveNoLeadingBlank",
         negative_design(),
         CalcMode::Design,
         1,
         {kTitle, kDesignLine2,
          line({{"翼缘厚度（m）＝", J},
                {" 0.15 ", Z},
                {"梁肋宽度（m）=", J},
                {" 0.2 ", Z},
                {"梁体高度（m）=", J},
                {" 0.8 ", Z},
                {"承受弯矩（KN.m）=", J},
                {"-25 ", E}}),
          line({{"受拉钢筋面积（cm2）=", J},
                {"-1.224 ", Z},
                {"配筋率（%）=", J},
                {"-0.082 ", Z},
                {"计算高度（m）=", J},
                {"-0.0029 ", Z},
                {"主筋直径（根）D12＝", J},
                {"-1 ", Z},
                {"D14=", J},
                {" 0 ", Z},
                {"D16=", J},
                {" 0 ", E}}),
          line({{"D18=", J},
                {" 0 ", Z},
                {"D20=", J},
                {" 0 ", Z},
                {"D22=", J},
                {" 0 ", Z},
                {"D25=", J},
                {" 0 ", Z},
                {"D28=", J},
                {" 0 ", Z},
                {"D30=", J},
                {" 0 ", Z},
                {"D32=", J},
                {" 0 ", Z},
                {"D34=", J},
                {" 0 ", E}})}},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintReport, ::testing::ValuesIn(print_cases()),
                         [](const ::testing::TestParamInfo<PrintCase>& info) {
                             return std::string(info.param.name);
                         });

// The working of each worked example: the lines given here stand, whole and in this order,
// among the working's lines, with the values the worked examples give; then the drawn section.
struct WorkingCase {
    const char* name;
    CalcState (*state)();
    std::vector<std::string> lines;
    std::optional<SectionFigure> figure;
};

void PrintTo(const WorkingCase& c, std::ostream* os) {
    *os << c.name;
}

class RunWorking : public ::testing::TestWithParam<WorkingCase> {};

TEST_P(RunWorking, ShowsEachFormulaWithTheStoredValues) {
    const WorkingCase& c = GetParam();
    const Working working = run_working(c.state());
    std::vector<std::string> lines;
    for (const WorkingLine& line : working.lines) {
        lines.push_back(line_text(line));
    }
    auto at = lines.begin();
    for (const std::string& expected : c.lines) {
        at = std::find(at, lines.end(), expected);
        ASSERT_NE(at, lines.end()) << "missing, or out of order: " << expected;
    }
    EXPECT_EQ(working.figure, c.figure);
}

CalcState design_first_type() {
    return zhuheng_test::designed(500);
}
CalcState design_second_type() {
    return zhuheng_test::designed(1300);
}
CalcState check_first_type() {
    return zhuheng_test::checked(50, 1500);
}
CalcState check_second_type_passes() {
    return zhuheng_test::checked(80, 2500);
}
// A flange thicker than the beam is high: the check still completes in the first type.
CalcState check_flange_thicker_than_the_beam() {
    using namespace zhuheng_test;
    CalcState s = prepared(kConcrete20, kSteelII,
                           with(check_example_section(50, 1500), &SectionInput::hi, 1.5));
    s.mode = CalcMode::Check;
    strength_check(s);
    return s;
}

// clang-format off
const WorkingCase kWorkingCases[] = {
    {"DesignFirstType",
     design_first_type,
     {"    K = Ra·b'i·h'i·(h0 − h'i/2)/γc = 14500 × 1 × 0.15 × (0.75 − 0.15/2)/1.25 = 1174.5 KN.m",
      "    Mj = 500 ≤ K = 1174.5 KN.m，属第一类T形截面",
      "    A0 = γc·Mj/(Ra·b'i·h0²) = 1.25 × 500/(14500 × 1 × 0.75²) = 0.07662835（1 − 2A0 ≥ 0）",
      "    γ0 = (1 + √(1 − 2A0))/2 = (1 + √(1 − 2 × 0.07662835))/2 = 0.9600933",
      "    As = γc·Mj/(Rg·γ0·h0) = 1.25 × 500/(340000 × 0.9600933 × 0.75) × 10⁴ = 25.52857 cm²，取 25.528 cm²",
      "    ρ = As/(b·h0) = 25.52857/(0.2 × 0.75 × 10⁴) × 100 = 1.701904 %，取 1.701 %",
      "    x = As·Rg/(Ra·b'i) = 25.52857/10⁴ × 340000/(14500 × 1) = 0.05986008 m，取 0.0598 m",
      "    提示：x = 0.0598 ≤ h'i = 0.15 m，受压区在翼缘内（第一类截面不作此项验算）",
      "    D12：a₁ = 1.131 cm²，n = 23；D14：a₁ = 1.539 cm²，n = 17；D16：a₁ = 2.011 cm²，n = 13",
      "    D32：a₁ = 8.042 cm²，n = 4；D34：a₁ = 9.079 cm²，n = 3"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"DesignSecondType",
     design_second_type,
     {"    M翼 = (b'i − b)·Ra·h'i·(h0 − h'i/2)/γc = (1 − 0.2) × 14500 × 0.15 × (0.75 − 0.15/2)/1.25 = 939.6 KN.m",
      "    M肋 = Mj − M翼 = 1300 − 939.6 = 360.4 KN.m",
      "    A0 = γc·M肋/(Ra·b·h0²) = 1.25 × 360.4/(14500 × 0.2 × 0.75²) = 0.2761686（1 − 2A0 ≥ 0）",
      "    γ0 = (1 + √(1 − 2A0))/2 = (1 + √(1 − 2 × 0.2761686))/2 = 0.8345381",
      "    ξ = 1 − √(1 − 2A0) = 1 − √(1 − 2 × 0.2761686) = 0.3309239 ≤ ξjg = 0.55",
      "    As翼 = (b'i − b)·Ra·h'i/Rg = (1 − 0.2) × 14500 × 0.15/340000 = 0.005117647 m²",
      "    As肋 = γc·M肋/(Rg·γ0·h0) = 1.25 × 360.4/(340000 × 0.8345381 × 0.75) = 0.00211694 m²",
      "    x = As肋·Rg/(Ra·b) = 0.00211694 × 340000/(14500 × 0.2) = 0.2481929 m，取 0.2481 m",
      "    ρ = (As翼 + As肋)/(b·h0) × 100 = (0.005117647 + 0.00211694)/(0.2 × 0.75) × 100 = 4.823058 %，取 4.823 %，不小于 ρmin = 0.15 %",
      "    As = (As翼 + As肋) × 10⁴ = (0.005117647 + 0.00211694) × 10⁴ = 72.34587 cm²，取 72.345 cm²",
      "    D12：a₁ = 1.131 cm²，n = 64；D14：a₁ = 1.539 cm²，n = 47；D16：a₁ = 2.011 cm²，n = 36"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.2481, true, "As"}},
    {"DesignAtTheMinimumRatio",
     zhuheng_test::designed_at_minimum_ratio,
     {"    钢筋 Ⅰ级：Rg = 240000 KPa，ξjg = 0.65",
      "    最小配筋率 ρmin = 0.15 %，材料安全系数 γc = 1.25",
      "    A0 = γc·M肋/(Ra·b·h0²) = 1.25 × 40/(8500 × 0.5 × 1²) = 0.01176471（1 − 2A0 ≥ 0）",
      "    ξ = 1 − √(1 − 2A0) = 1 − √(1 − 2 × 0.01176471) = 0.01183474 ≤ ξjg = 0.65",
      "    As肋 = γc·M肋/(Rg·γ0·h0) = 1.25 × 40/(240000 × 0.9940826 × 1) = 0.0002095735 m²",
      "    ρ = (As翼 + As肋)/(b·h0) × 100 = (0 + 0.0002095735)/(0.5 × 1) × 100 = 0.04191469 %，取 0.041 %，小于 ρmin = 0.15 %",
      "    As = ρmin·b·h0/100 × 10⁴ = 0.15 × 0.5 × 1/100 × 10⁴ = 7.5 cm²，取 7.5 cm²（按最小配筋率）",
      "    D12：a₁ = 1.131 cm²，n = 7；D14：a₁ = 1.539 cm²，n = 5；D16：a₁ = 2.011 cm²，n = 4"},
     SectionFigure{0.5, 0.01, 0.5, 1.05, 0.05, 0.0118, true, "As"}},
    {"CheckFirstType",
     check_first_type,
     {"    Ag = 50 cm² = 0.005 m²",
      "    K = Ra·b'i·h'i·(h0 − h'i/2)/γc = 11000 × 1.6 × 0.12 × (1.23 − 0.12/2)/1.25 = 1976.832 KN.m",
      "    Mj = 1500 ≤ K = 1976.832 KN.m，属第一类T形截面",
      "    x = Rg·Ag/(Ra·b'i) = 340000 × 0.005/(11000 × 1.6) = 0.09659091 m，取 0.0965 m",
      "    提示：x = 0.0965 ≤ h'i = 0.12 m，受压区在翼缘内（第一类截面不作此项验算）",
      "    Mu = Ra·b'i·x·(h0 − x/2)/γc = 11000 × 1.6 × 0.09659091 × (1.23 − 0.09659091/2)/1.25 = 1607.118 KN.m，取 1607.118 KN.m",
      "    1.05·Mu = 1.05 × 1607.118 = 1687.474 KN.m（Mu 取取整前的值）",
      "    Mj = 1500 ≤ 1.05·Mu = 1687.474 KN.m，结果：通过验算"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0.0965, false, "Ag"}},
    {"CheckSecondTypePasses",
     check_second_type_passes,
     {"    Ag = 80 cm² = 0.008 m²",
      "    Ag翼 = Ra·(b'i − b)·h'i/Rg = 11000 × (1.6 − 0.18) × 0.12/340000 = 0.005512941 m²",
      "    Ag肋 = Ag − Ag翼 = 0.008 − 0.005512941 = 0.002487059 m²",
      "    ρ肋 = Ag肋/(b·h0) = 0.002487059/(0.18 × 1.23) = 0.01123333",
      "    ξ = ρ肋·Rg/Ra = 0.01123333 × 340000/11000 = 0.347212",
      "    提示：ξ = 0.347212 ≤ ξjg = 0.55（强度复核不作此项验算，结果只由弯矩决定）",
      "    x = Rg·Ag肋/(Ra·b) = 340000 × 0.002487059/(11000 × 0.18) = 0.4270707 m，取 0.427 m",
      "    M肋 = Rg·Ag肋·(1 − 0.5ξ)·h0/γc = 340000 × 0.002487059 × (1 − 0.5 × 0.347212) × 1.23/1.25 = 687.618 KN.m",
      "    M翼 = Rg·Ag翼·(h0 − h'i/2)/γc = 340000 × 0.005512941 × (1.23 − 0.12/2)/1.25 = 1754.438 KN.m",
      "    Mu = M肋 + M翼 = 687.618 + 1754.438 = 2442.056 KN.m，取 2442.056 KN.m",
      "    1.05·Mu = 1.05 × 2442.056 = 2564.159 KN.m（Mu 取取整前的值）",
      "    Mj = 2500 ≤ 1.05·Mu = 2564.159 KN.m，结果：通过验算"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0.427, true, "Ag"}},
    // No steel typed: the area reads back as the 0 typed, not as the tiniest number that also
    // divides to 0.
    {"CheckWithNoSteelArea",
     [] { return zhuheng_test::checked(0, 1500); },
     {"    Ag = 0 cm² = 0 m²",
      "    Mj = 1500 > 1.05·Mu = 0 KN.m，结果：未通过"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0, false, "Ag"}},
    {"CheckSecondTypeFails",
     [] { return zhuheng_test::checked(80, 3000); },
     {"    Mj = 3000 > K = 1976.832 KN.m，属第二类T形截面",
      "    Mj = 3000 > 1.05·Mu = 2564.159 KN.m，结果：未通过"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0.427, true, "Ag"}},
    {"SectionThatCannotBeDrawn",
     check_flange_thicker_than_the_beam,
     {"    提示：x = 0.0965 ≤ h'i = 1.5 m，受压区在翼缘内（第一类截面不作此项验算）",
      "截面图从略：翼缘厚度大于梁体高度。"},
     std::nullopt},
    // K is 1976.8319999999999: the moment typed as the capacity shown is above it, and K is
    // shown with the digits that tell it from the moment, on its own line as well.
    {"MomentShownEqualToTheCapacity",
     [] { return zhuheng_test::checked(50, 1976.832); },
     {"    K = Ra·b'i·h'i·(h0 − h'i/2)/γc = 11000 × 1.6 × 0.12 × (1.23 − 0.12/2)/1.25 = 1976.8319999999999 KN.m",
      "    Mj = 1976.832 > K = 1976.8319999999999 KN.m，属第二类T形截面",
      "截面图从略：受压区高度超出截面。"},
     std::nullopt},
    {"DesignWithATypedStrength",
     [] {
         using namespace zhuheng_test;
         CalcState s = prepared(kConcrete25, kSteelI, design_example_section(500), "300");
         s.mode = CalcMode::Design;
         EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
         return s;
     },
     {"    钢筋 Ⅰ级，强度按输入：Rg = 300000 KPa，ξjg = 0.65",
      "    x = As·Rg/(Ra·b'i) = 28.93237/10⁴ × 300000/(14500 × 1) = 0.05986008 m，取 0.0598 m"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"DesignWithATypedStrengthAndNoGrade",
     [] {
         using namespace zhuheng_test;
         CalcState s = prepared(kConcrete25, "", design_example_section(500), "300");
         s.mode = CalcMode::Design;
         EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
         return s;
     },
     {"    钢筋 （未选等级），强度按输入：Rg = 300000 KPa，ξjg 未定（按 0 计）"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"NegativeMoment",
     [] { return zhuheng_test::designed(-25); },
     {"    A0 = γc·Mj/(Ra·b'i·h0²) = 1.25 × (-25)/(14500 × 1 × 0.75²) = -0.003831418（1 − 2A0 ≥ 0）",
      "    x = As·Rg/(Ra·b'i) = (-1.223151)/10⁴ × 340000/(14500 × 1) = -0.002868079 m，取 -0.0029 m",
      "截面图从略：受压区高度超出截面。"},
     std::nullopt},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(WorkedExamples, RunWorking, ::testing::ValuesIn(kWorkingCases),
                         [](const ::testing::TestParamInfo<WorkingCase>& info) {
                             return std::string(info.param.name);
                         });

// Whether a section can be drawn to scale, and the compression zone drawn: the first type the
// section down to x, the second the whole flange and the web down to x.
struct FigureCase {
    const char* name;
    SectionFigure figure;
    std::optional<std::string> problem;
    std::vector<FigurePoint> compression; // when it can be drawn
};

void PrintTo(const FigureCase& c, std::ostream* os) {
    *os << c.name;
}

class Figure : public ::testing::TestWithParam<FigureCase> {};

TEST_P(Figure, ProblemOrCompressionZone) {
    const FigureCase& c = GetParam();
    EXPECT_EQ(figure_problem(c.figure), c.problem);
    if (c.problem) {
        return;
    }
    const SectionDrawing d = section_drawing(c.figure);
    EXPECT_EQ(d.width, std::max(c.figure.bi, c.figure.b));
    EXPECT_EQ(d.height, c.figure.h);
    ASSERT_EQ(d.compression.size(), c.compression.size());
    for (std::size_t i = 0; i < d.compression.size(); ++i) {
        EXPECT_NEAR(d.compression[i].x, c.compression[i].x, 1e-12) << "corner " << i;
        EXPECT_NEAR(d.compression[i].y, c.compression[i].y, 1e-12) << "corner " << i;
    }
}

// clang-format off
const FigureCase kFigureCases[] = {
    {"FirstTypeFlangeStrip", {1, 0.15, 0.2, 0.8, 0.05, 0.06, false, "As"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.06}, {0, 0.06}}},
    {"FirstTypeBelowTheFlange", {1, 0.15, 0.2, 0.8, 0.05, 0.3, false, "Ag"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.15}, {0.6, 0.15}, {0.6, 0.3}, {0.4, 0.3}, {0.4, 0.15}, {0, 0.15}}},
    {"SecondTypeFlangeAndWeb", {1, 0.15, 0.2, 0.8, 0.05, 0.25, true, "As"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.15}, {0.6, 0.15}, {0.6, 0.25}, {0.4, 0.25}, {0.4, 0.15}, {0, 0.15}}},
    {"SecondTypeWebAboveTheFlangeBottom", {1, 0.15, 0.2, 0.8, 0.05, 0.1, true, "Ag"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.15}, {0.6, 0.15}, {0.6, 0.1}, {0.4, 0.1}, {0.4, 0.15}, {0, 0.15}}},
    {"WebWiderThanTheFlange", {0.2, 0.1, 0.5, 0.8, 0.05, 0.05, false, "As"}, std::nullopt,
     {{0.15, 0}, {0.35, 0}, {0.35, 0.05}, {0.15, 0.05}}},
    {"ZeroWebWidth", {1, 0.15, 0, 0.8, 0.05, 0.1, true, "As"}, "截面尺寸有零或负值", {}},
    {"FlangeThickerThanTheBeam", {1, 0.9, 0.2, 0.8, 0.05, 0.1, false, "As"}, "翼缘厚度大于梁体高度", {}},
    {"SteelBelowTheBeam", {1, 0.15, 0.2, 0.8, -0.01, 0.1, false, "As"}, "钢筋重心不在截面内", {}},
    {"ZoneDeeperThanTheBeam", {1, 0.15, 0.2, 0.8, 0.05, 0.81, true, "As"}, "受压区高度超出截面", {}},
    {"FlangeTwentyKilometresWide", {20000, 0.15, 0.2, 0.8, 0.05, 0.07, false, "As"},
     "截面尺寸超出可按比例画出的范围", {}},
    {"SizesTooFarApart", {1000, 0.15, 0.2, 0.8, 0.05, 0.07, false, "As"},
     "截面各尺寸相差过于悬殊，按比例画不出", {}},
    {"SectionOfSubnormalSizes", {1e-310, 1e-310, 1e-310, 1e-310, 0, 0, false, "As"},
     "截面尺寸超出可按比例画出的范围", {}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sections, Figure, ::testing::ValuesIn(kFigureCases),
                         [](const ::testing::TestParamInfo<FigureCase>& info) {
                             return std::string(info.param.name);
                         });

// How near a line comes to a rectangle: the least distance of its points, which is convex
// along the line, found by ternary search.
double nearest_approach(const FigureLine& l, const FigureRect& r) {
    const auto at = [&](double t) {
        const double x = l.from.x + t * (l.to.x - l.from.x);
        const double y = l.from.y + t * (l.to.y - l.from.y);
        return std::hypot(std::max({r.left - x, 0.0, x - r.right}),
                          std::max({r.top - y, 0.0, y - r.bottom}));
    };
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        (at(m1) < at(m2) ? hi : lo) = at(m1) < at(m2) ? m2 : m1;
    }
    return std::min({at(0), at(1), at((lo + hi) / 2)});
}

// What is wrong with the labels of a layout, or nothing: a label outside the box, nearer a line,
// the dot or another label than the clearance, a dimension's label across one of its extension
// lines rather than between them or wholly beside them, the steel's label away from its dot
// with no leader from it.
std::optional<std::string> label_fault(const SectionDrawing& d, const SectionLayout& l,
                                       const FigureRect& box) {
    constexpr double kRounding = 1e-6;
    struct Stroke {
        FigureLine line;
        double half_width;
    };
    std::vector<Stroke> strokes;
    for (const FigureLine& line : l.lines) {
        strokes.push_back({line, l.line_width / 2});
    }
    for (std::size_t i = 0; i < l.outline.size(); ++i) {
        strokes.push_back(
            {{l.outline[i], l.outline[(i + 1) % l.outline.size()]}, l.outline_width / 2});
    }
    for (std::size_t i = 0; i < l.compression.size(); ++i) {
        strokes.push_back({{l.compression[i], l.compression[(i + 1) % l.compression.size()]}, 0});
    }
    strokes.push_back({{l.steel, l.steel}, l.steel_radius + l.outline_width / 2});
    std::vector<std::string> expected{d.steel_label}, texts;
    for (const FigureDimension& dim : d.dimensions) {
        expected.push_back(dim.label);
    }
    for (std::size_t i = 0; i < l.labels.size(); ++i) {
        const FigureLabel& label = l.labels[i];
        const FigureRect& r = label.box;
        texts.push_back(label.text);
        if (r.left < box.left || r.right > box.right || r.top < box.top || r.bottom > box.bottom) {
            return label.text + " outside the box";
        }
        for (const Stroke& s : strokes) {
            const double need = s.half_width + l.clearance;
            const bool far = std::min(s.line.from.x, s.line.to.x) >= r.right + need ||
                             std::max(s.line.from.x, s.line.to.x) <= r.left - need ||
                             std::min(s.line.from.y, s.line.to.y) >= r.bottom + need ||
                             std::max(s.line.from.y, s.line.to.y) <= r.top - need;
            if (!far && nearest_approach(s.line, r) + kRounding < need) {
                return label.text + " touches a line";
            }
        }
        for (std::size_t j = i + 1; j < l.labels.size(); ++j) {
            const FigureRect& o = l.labels[j].box;
            if (std::max({o.left - r.right, r.left - o.right, o.top - r.bottom, r.top - o.bottom}) +
                    kRounding <
                l.clearance) {
                return label.text + " touches " + l.labels[j].text;
            }
        }
    }
    std::sort(expected.begin(), expected.end());
    std::sort(texts.begin(), texts.end());
    if (texts != expected) {
        return std::string("labels missing or repeated");
    }
    const FigurePoint origin{l.outline[0].x - d.outline[0].x * l.scale,
                             l.outline[0].y - d.outline[0].y * l.scale};
    for (const FigureDimension& dim : d.dimensions) {
        const auto label = std::find_if(l.labels.begin(), l.labels.end(),
                                        [&](const FigureLabel& x) { return x.text == dim.label; });
        const bool across =
            dim.side == FigureDimension::Side::Above || dim.side == FigureDimension::Side::Below;
        const double a = across ? label->box.left : label->box.top;
        const double b = across ? label->box.right : label->box.bottom;
        const double s0 =
            across ? origin.x + dim.from.x * l.scale : origin.y + dim.from.y * l.scale;
        const double s1 = across ? origin.x + dim.to.x * l.scale : origin.y + dim.to.y * l.scale;
        if (!((s0 < a && b < s1) || b < s0 || a > s1)) {
            return dim.label + " across an extension line";
        }
    }
    const auto steel = std::find_if(l.labels.begin(), l.labels.end(),
                                    [&](const FigureLabel& x) { return x.text == d.steel_label; });
    const FigureRect& r = steel->box;
    const auto apart = [&](FigurePoint p) {
        return std::hypot(std::max({r.left - p.x, 0.0, p.x - r.right}),
                          std::max({r.top - p.y, 0.0, p.y - r.bottom}));
    };
    const double beside = l.steel_radius + l.outline_width / 2 + l.clearance + kRounding;
    const bool led = std::any_of(l.lines.begin(), l.lines.end(), [&](const FigureLine& line) {
        return line.from.x == l.steel.x && line.from.y == l.steel.y &&
               apart(line.to) < l.clearance + l.line_width;
    });
    if (apart(l.steel) > beside && !led) {
        return d.steel_label + " away from its dot with no leader";
    }
    return std::nullopt;
}

// Sections over the range that can be drawn, from the widest flange to the deepest web, with
// every compression zone and cover; their sizes times `digits`, which makes numbers of 15
// significant digits of them.
std::vector<SectionFigure> drawable_sections(double digits) {
    const double widths[] = {0.001, 0.03, 0.3, 1};
    const double heights[] = {0.001, 0.05, 1};
    const double flange[] = {0, 0.1, 1};           // h'i from its least to h
    const double cover[] = {0, 0.001, 0.06, 1};    // a as a part of h
    const double zone[] = {-1, 0, 0.0001, 0.5, 1}; // x as a part of h; -1: x = h'i
    std::vector<SectionFigure> out;
    for (const double bi : widths) {
        for (const double b : widths) {
            for (const double h : heights) {
                for (const double fh : flange) {
                    const double hi = std::max(std::max({bi, b, h}) * 1e-3, fh * h) * digits;
                    for (const double fa : cover) {
                        for (const double fx : zone) {
                            for (const bool second : {false, true}) {
                                const double x =
                                    std::min(fx < 0 ? hi : fx * h * digits, h * digits);
                                SectionFigure f{bi * digits,     hi, b * digits, h * digits,
                                                fa * h * digits, x,  second,     "As"};
                                if (!figure_problem(f)) {
                                    out.push_back(f);
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    return out;
}

// Each of them as the page sets it: in the box a drawing gets, or a page high where its labels
// need more room than that; in type as high as the page's and about as wide. Its labels keep
// clear (label_fault) on A4, and on narrow paper where the numbers are short.
TEST(FigureLayout, LabelsStandClearOverTheDrawableRange) {
    const FigureType type{12.3, [](const std::string& text) { return 6.0 * text.size(); }};
    struct Row {
        const char* name;
        double digits;
        FigureRect box, page;
    };
    const Row rows[] = {
        {"a4", 1, {57, 300, 538, 527}, {57, 57, 538, 765}},
        {"narrow", 1, {40, 40, 300, 190}, {40, 40, 300, 540}},
        {"a4_fifteen_digits", 1.00000000000001, {57, 300, 538, 527}, {57, 57, 538, 765}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<SectionFigure> sections = drawable_sections(row.digits);
        EXPECT_GT(sections.size(), 1000u);
        int faults = 0;
        for (const SectionFigure& f : sections) {
            const SectionDrawing d = section_drawing(f);
            std::optional<SectionLayout> l = section_layout(d, row.box, type);
            const FigureRect& box = l ? row.box : row.page;
            if (!l) {
                l = section_layout(d, box, type);
            }
            const std::optional<std::string> fault = l ? label_fault(d, *l, box) : "not drawn";
            if (fault && ++faults <= 5) {
                ADD_FAILURE() << *fault << ": b'i " << f.bi << ", h'i " << f.hi << ", b " << f.b
                              << ", h " << f.h << ", a " << f.a << ", x " << f.x;
            }
        }
        EXPECT_EQ(faults, 0) << "of " << sections.size() << " sections";
    }
}

// Each copy carries the working of the run after its lines, only when the dialog asks for it and
// the state is one a completed run left.
TEST(PrintReportWorking, FollowsEachCopyOfACompletedRunWhenAskedFor) {
    struct Row {
        const char* name;
        bool asked;
        bool completed;
    };
    for (const Row& row : {Row{"asked_after_a_run", true, true}, Row{"not_asked", false, true},
                           Row{"before_any_run", true, false}}) {
        SCOPED_TRACE(row.name);
        FakePrinterDialog dialog;
        dialog.copy_count = 2;
        dialog.with_working = row.asked;
        RecordingPrinter printer;
        const CalcState state = design_second_type();
        ASSERT_EQ(print_report(state, row.completed, dialog, printer).kind,
                  PrintOutcome::Kind::Printed);
        std::vector<PrinterEvent> expected;
        for (int copy = 0; copy < 2; ++copy) {
            for (const ReportLine& l : report_copy(state)) {
                expected.push_back({PrinterEvent::Kind::Line, l});
            }
            if (row.asked && row.completed) {
                expected.push_back({PrinterEvent::Kind::Working, {}, run_working(state)});
            }
        }
        expected.push_back({PrinterEvent::Kind::EndDocument, {}});
        EXPECT_EQ(printer.events, expected);
    }
}

TEST(PrintReportFailures, CancelPrintsNothingAndSaysNothing) {
    FakePrinterDialog dialog;
    dialog.answer = FakePrinterDialog::Answer::Cancel;
    RecordingPrinter printer;
    const PrintOutcome outcome = print_report(designed(), true, dialog, printer);
    EXPECT_EQ(outcome.kind, PrintOutcome::Kind::Cancelled);
    EXPECT_TRUE(printer.events.empty());
}

TEST(PrintReportFailures, CopyCountBeyond16BitsPrintsNothing) {
    for (long copies : {32768L, -32769L, 100000L}) {
        FakePrinterDialog dialog;
        dialog.copy_count = copies;
        RecordingPrinter printer;
        const PrintOutcome outcome = print_report(designed(), true, dialog, printer);
        EXPECT_EQ(outcome.kind, PrintOutcome::Kind::Failed) << copies;
        EXPECT_EQ(outcome.reason, "份数超出范围");
        EXPECT_TRUE(printer.events.empty()) << copies;
    }
}

TEST(PrintReportFailures, LargestCopyCountIsAccepted) {
    FakePrinterDialog dialog;
    dialog.copy_count = 32767;
    RecordingPrinter printer;
    EXPECT_EQ(print_report(CalcState{}, false, dialog, printer).kind, PrintOutcome::Kind::Printed);
    EXPECT_EQ(printer.events.size(), 32767u * 3 + 1);
}

TEST(PrintReportFailures, FailingDialogIsReportedAndPrintsNothing) {
    FakePrinterDialog dialog;
    dialog.answer = FakePrinterDialog::Answer::Fail;
    RecordingPrinter printer;
    const PrintOutcome outcome = print_report(designed(), true, dialog, printer);
    EXPECT_EQ(outcome.kind, PrintOutcome::Kind::Failed);
    EXPECT_EQ(outcome.reason, "打印对话框出错");
    EXPECT_TRUE(printer.events.empty());
}

TEST(PrintReportFailures, FailingPrinterAbortsTheDocumentWithoutEndingIt) {
    for (int accepted : {0, 1, 6}) {
        FakePrinterDialog dialog;
        dialog.copy_count = 2;
        RecordingPrinter printer;
        printer.fail_after = accepted;
        const PrintOutcome outcome = print_report(designed(), true, dialog, printer);
        EXPECT_EQ(outcome.kind, PrintOutcome::Kind::Failed) << accepted;
        EXPECT_EQ(outcome.reason, "打印机没有响应");
        ASSERT_EQ(printer.events.size(), static_cast<std::size_t>(accepted) + 1);
        EXPECT_EQ(printer.events.back().kind, PrinterEvent::Kind::AbortDocument);
        for (const PrinterEvent& e : printer.events) {
            EXPECT_NE(e.kind, PrinterEvent::Kind::EndDocument);
        }
    }
}

TEST(PrintReportFailures, NextPrintAfterAFailureStartsAfresh) {
    FakePrinterDialog dialog;
    RecordingPrinter printer;
    printer.fail_after = 2;
    EXPECT_EQ(print_report(CalcState{}, false, dialog, printer).kind, PrintOutcome::Kind::Failed);
    printer.fail_after.reset();
    printer.events.clear();
    EXPECT_EQ(print_report(CalcState{}, false, dialog, printer).kind, PrintOutcome::Kind::Printed);
    EXPECT_EQ(printer.events, as_events({kTitle, kEmptyLine2, kEmptyLine3}, 1));
}

} // namespace
