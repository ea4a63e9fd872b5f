// SPDX-License-Identifier: GPL-3.0-or-later
// The print command against a scripted printer dialog and a recording printer: the whole
// sequence of items and separators for each case, copies, cancel and failures.
#include "report/print_report.h"

#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "fake_printing.h"
#include "worked_examples.h"
#include "working/working.h"

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
        const CalcState state = zhuheng_test::designed(1300);
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
