// SPDX-License-Identifier: GPL-3.0-or-later
// Running a table's rows: strict cells, grade spellings, each outcome with the window's digits,
// the re-verification of given results, and the template.

#include "batch/row_cells.h"
#include "batch_test_support.h"
#include "engine/number_text.h"
#include "engine/shown_results.h"
#include "../support/worked_examples.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace zhuheng_test;

namespace {

// The window's digits of the worked examples, in the result columns.
struct ExampleCase {
    std::string name;
    std::string row; // after the 编号 cell
    RowStatus status;
    std::map<std::string, std::string> shown;
};

const std::vector<ExampleCase> kExampleCases{
    {"design_first_type", "配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500", RowStatus::Completed,
     {{"受拉钢筋面积", "25.528"}, {"配筋率", "1.701"}, {"计算高度", "0.0598"}, {"D12", "23"},
      {"D22", "7"}, {"D34", "3"}, {"最大弯矩", ""}, {"结果", ""}, {"提示", ""}}},
    {"design_second_type", "配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300", RowStatus::Completed,
     {{"受拉钢筋面积", "72.345"}, {"配筋率", "4.823"}, {"计算高度", "0.2481"}, {"D12", "64"},
      {"D34", "8"}}},
    {"design_at_the_minimum_ratio", "配筋计算,15号,Ⅰ级,,,0.05,0.5,0.01,0.5,1.05,40", RowStatus::Completed,
     {{"受拉钢筋面积", "7.5"}, {"配筋率", "0.041"}, {"计算高度", "0.0118"}, {"D12", "7"}, {"D34", "1"}}},
    {"check_first_type_passes", "强度复核,20号,Ⅱ级,,50,0.07,1.6,0.12,0.18,1.3,1500", RowStatus::Completed,
     {{"计算高度", "0.0965"}, {"最大弯矩", "1607.118"}, {"结果", "通过验算"}, {"受拉钢筋面积", ""},
      {"D12", ""}}},
    {"check_second_type_passes", "强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,2500", RowStatus::Completed,
     {{"计算高度", "0.427"}, {"最大弯矩", "2442.056"}, {"结果", "通过验算"}}},
    {"check_second_type_fails", "强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,3000", RowStatus::Completed,
     {{"最大弯矩", "2442.056"}, {"结果", "未通过"}}},
    {"redimension", "配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1500", RowStatus::Redimension,
     {{"受拉钢筋面积", ""}, {"计算高度", ""}, {"提示", "请重新拟定构件的尺寸！"}}},
    {"fault_zero_web_width", "配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0,0.8,1300", RowStatus::Fault,
     {{"受拉钢筋面积", ""}, {"提示", zhuheng::fault_message(zhuheng::FaultKind::DivisionByZero)}}},
    {"strength_given_replaces_the_grade", "配筋计算,25号,Ⅱ级,300,,0.05,1.0,0.15,0.2,0.8,500",
     RowStatus::Completed, {{"受拉钢筋面积", "28.932"}}},
    {"strength_of_blanks_is_the_grade", "配筋计算,25号,Ⅱ级, \u3000 ,,0.05,1.0,0.15,0.2,0.8,500",
     RowStatus::Completed, {{"受拉钢筋面积", "25.528"}}},
    {"area_typed_in_a_design_row", "配筋计算,25号,Ⅱ级,,12,0.05,1.0,0.15,0.2,0.8,500",
     RowStatus::Completed, {{"受拉钢筋面积", "25.528"}}},
    {"cells_as_people_type_them", " 配筋计算 ,25,II, ,,\uff10\u3002\uff10\uff15,1,0.15,0.2,0.8, 5e2 ",
     RowStatus::Completed, {{"受拉钢筋面积", "25.528"}}},
};

TEST(BatchRun, EachOutcomeShowsTheWindowsDigits) {
    for (const ExampleCase& c : kExampleCases) {
        SCOPED_TRACE(c.name);
        std::vector<RowRecord> records;
        BatchOptions options;
        options.on_row = [&](const RowRecord& r) {
            records.push_back(r);
            EXPECT_EQ(r.state != nullptr, r.status == RowStatus::Completed);
        };
        const Ran ran = run_table(kHeader + "梁," + c.row + "\r\n", options);
        for (const auto& [column, text] : c.shown) {
            EXPECT_EQ(ran.at(0, column), text) << column;
        }
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].status, c.status);
        EXPECT_EQ(records[0].label, "梁");
        EXPECT_EQ(records[0].line, 2u);
        EXPECT_EQ(records[0].message, ran.at(0, "提示"));
    }
}

TEST(BatchRun, CompletedRowsShowWhatTheEnginesRunShows) {
    const Ran ran = run_table(kHeader +
                              "1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300\r\n"
                              "2,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,2500\r\n");
    const auto design = zhuheng::design_results(designed(1300.0));
    for (std::size_t i = 0; i < design.size(); ++i) {
        EXPECT_EQ(ran.at(0, zhuheng::kDesignResultNames[i]), zhuheng::plain_number_text(design[i]));
    }
    const auto check = zhuheng::check_results(checked(80.0, 2500.0));
    EXPECT_EQ(ran.at(1, "计算高度"), zhuheng::plain_number_text(check[0]));
    EXPECT_EQ(ran.at(1, "最大弯矩"), zhuheng::plain_number_text(check[1]));
    EXPECT_EQ(ran.summary.rows, 2u);
    EXPECT_EQ(ran.summary.completed, 2u);
}

struct CellCase {
    std::string name;
    std::string row; // after the 编号 cell
    std::string error;
};

const std::vector<CellCase> kCellCases{
    {"digit_grouping", "配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,\"1,300\"", "承受弯矩（KN.m）“1,300”不是一个数"},
    {"unit_in_the_cell", "配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8m,500", "梁体高度（m）“0.8m”不是一个数"},
    {"moment_empty", "配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,", "承受弯矩（KN.m）为空"},
    {"area_empty_in_a_check", "强度复核,20号,Ⅱ级,,,0.07,1.6,0.12,0.18,1.3,2500", "钢筋面积（cm2）为空"},
    {"area_not_a_number_in_a_design", "配筋计算,25号,Ⅱ级,,x,0.05,1,0.15,0.2,0.8,500", "钢筋面积（cm2）“x”不是一个数"},
    {"strength_not_a_number", "配筋计算,25号,Ⅱ级,340MPa,,0.05,1,0.15,0.2,0.8,500", "钢筋强度（MPa）“340MPa”不是一个数"},
    {"beyond_a_double", "配筋计算,25号,Ⅱ级,,,0.05,1e999,0.15,0.2,0.8,500", "翼缘宽度（m）“1e999”超出了数值范围"},
    {"mode_unknown", "配筋,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500", "计算类型“配筋”应为 配筋计算 或 强度复核"},
    {"mode_empty", ",25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500", "计算类型为空，应为 配筋计算 或 强度复核"},
    {"no_such_concrete_grade", "配筋计算,35号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500",
     "混凝土标号“35号”不是可选的标号（15号、20号、25号、30号、40号、50号、60号）"},
    {"no_such_steel_grade", "配筋计算,25号,Ⅴ级,,,0.05,1,0.15,0.2,0.8,500",
     "钢筋等级“Ⅴ级”不是可选的等级（Ⅰ级、Ⅱ级、Ⅲ级、Ⅳ级、5号）"},
    {"every_error_of_the_row", "配筋计算,25号,,,,0.05,1,0.15,,0.8,abc",
     "钢筋等级不是可选的等级（Ⅰ级、Ⅱ级、Ⅲ级、Ⅳ级、5号）；梁肋宽度（m）为空；承受弯矩（KN.m）“abc”不是一个数"},
};

TEST(BatchRun, ACellThatIsNoValueIsAnErrorOfItsRowAlone) {
    for (const CellCase& c : kCellCases) {
        SCOPED_TRACE(c.name);
        const Ran ran = run_table(kHeader + "前,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r\n"
                                  "错," + c.row + "\r\n" +
                                  "后,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r\n");
        EXPECT_EQ(ran.at(1, "提示"), "第 3 行：" + c.error);
        EXPECT_EQ(ran.at(1, "受拉钢筋面积"), "");
        EXPECT_EQ(ran.at(0, "受拉钢筋面积"), "25.528");
        EXPECT_EQ(ran.at(2, "受拉钢筋面积"), "25.528");
        EXPECT_EQ(ran.summary.error_lines, std::vector<std::size_t>{3});
        EXPECT_EQ(ran.summary.completed, 2u);
    }
}

struct GradeCase {
    std::string text;
    std::string_view label; // "" for none
};

const std::vector<GradeCase> kConcreteSpellings{
    {"25号", "25号"}, {"25", "25号"}, {" 60号 ", "60号"}, {"35号", ""}, {"35", ""},
    {"5号", ""},      {"号", ""},      {"", ""},          {"C25", ""}, {"25號", ""},
};
const std::vector<GradeCase> kSteelSpellings{
    {"Ⅰ级", "Ⅰ级"}, {"Ⅰ", "Ⅰ级"}, {"I", "Ⅰ级"},  {"i级", "Ⅰ级"}, {"1", "Ⅰ级"}, {"一级", "Ⅰ级"},
    {"Ⅱ级", "Ⅱ级"}, {"II", "Ⅱ级"}, {"2级", "Ⅱ级"}, {"III", "Ⅲ级"}, {"3", "Ⅲ级"}, {"Ⅳ级", "Ⅳ级"},
    {"IV", "Ⅳ级"},  {"4", "Ⅳ级"},  {"5号", "5号"}, {"5", "5号"},   {"5级", ""},    {"Ⅴ级", ""},
    {"V", ""},      {"IIII", ""},   {"2号", ""},    {"级", ""},     {"", ""},       {"1 1", ""},
};

TEST(BatchRun, GradesAsTheListsShowThemAndAsPeopleTypeThem) {
    for (const GradeCase& c : kConcreteSpellings) {
        EXPECT_EQ(concrete_label(c.text), c.label) << c.text;
    }
    for (const GradeCase& c : kSteelSpellings) {
        EXPECT_EQ(steel_label(c.text), c.label) << c.text;
    }
}

// A results table of the worked examples with one row of each outcome.
const std::string kMixedTable = kHeader +
                                "1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500\r\n"
                                "2,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,3000\r\n"
                                "3,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1500\r\n"
                                "4,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0,0.8,500\r\n"
                                "5,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,abc\r\n";

TEST(BatchRun, AResultsTableRunAgainAgreesWithItself) {
    const Ran first = run_table(kMixedTable);
    EXPECT_FALSE(first.summary.compared);
    EXPECT_EQ(first.rows[0].back(), "提示") << "no 核对 without given results";
    const Ran again = run_table(first.bytes);
    EXPECT_TRUE(again.summary.compared);
    ASSERT_EQ(again.rows.size(), first.rows.size());
    for (std::size_t r = 0; r < first.rows.size(); ++r) {
        std::vector<std::string> without_check = again.rows[r];
        without_check.resize(without_check.size() - 2);
        EXPECT_EQ(without_check, first.rows[r]) << "row " << r;
    }
    const std::vector<std::string> agreement = {"一致", "一致", "", "", ""};
    for (std::size_t r = 0; r < agreement.size(); ++r) {
        EXPECT_EQ(again.at(r, "核对"), agreement[r]) << "row " << r;
        EXPECT_EQ(again.at(r, "核对说明"), "");
    }
    EXPECT_EQ(run_table(again.bytes).bytes, again.bytes) << "a third run changes nothing";
}

struct GivenCase {
    std::string name;
    std::string given_header; // result columns after the inputs
    std::string given_cells;
    std::string agreement;
    std::string differences;
};

const std::vector<GivenCase> kGivenCases{
    {"agrees", "受拉钢筋面积,配筋率,D12", "25.528,1.701,23", "一致", ""},
    {"agrees_as_numbers", "配筋率,计算高度", " 1.7010 ,5.98e-2", "一致", ""},
    {"empty_cells_not_compared", "受拉钢筋面积,配筋率", ",", "", ""},
    {"differs", "受拉钢筋面积,配筋率,D12", "25.528,1.702,24", "不一致",
     "配筋率：表中 1.702，计算得 1.701；D12：表中 24，计算得 23"},
    {"not_a_number", "配筋率", "1.701%", "不一致", "配筋率：表中 1.701%，计算得 1.701"},
    {"a_check_column_on_a_design_row", "最大弯矩,结果", ",通过验算", "不一致", "结果：表中 通过验算，计算得 无"},
    {"an_earlier_note_is_not_compared", "提示,核对", "旧的提示,不一致", "", ""},
};

TEST(BatchRun, GivenResultsAreComparedWithTheRun) {
    const std::string inputs = kHeader.substr(0, kHeader.size() - 2);
    for (const GivenCase& c : kGivenCases) {
        SCOPED_TRACE(c.name);
        const Ran ran = run_table(inputs + "," + c.given_header + "\r\n" +
                                  "1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500," +
                                  c.given_cells + "\r\n");
        const bool compares = c.name != "an_earlier_note_is_not_compared";
        EXPECT_EQ(ran.summary.compared, compares);
        EXPECT_EQ(ran.rows[0].size(), 12 + 17 + (compares ? 2u : 0u)) << "given columns not echoed";
        if (compares) {
            EXPECT_EQ(ran.at(0, "核对"), c.agreement);
            EXPECT_EQ(ran.at(0, "核对说明"), c.differences);
        }
        EXPECT_EQ(ran.summary.mismatch_lines.size(), c.agreement == "不一致" ? 1u : 0u);
    }
}

TEST(BatchRun, GivenResultsOfARowThatDidNotCompleteDiffer) {
    const Ran ran = run_table(kHeader.substr(0, kHeader.size() - 2) + ",受拉钢筋面积\r\n" +
                              "1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1500,80\r\n");
    EXPECT_EQ(ran.at(0, "核对"), "不一致");
    EXPECT_EQ(ran.at(0, "核对说明"), "受拉钢筋面积：表中 80，计算得 无");
}

TEST(BatchRun, TheTemplateHoldsTheWindowsInputsAndRuns) {
    TemplateRow row;
    row.mode = zhuheng::CalcMode::Check;
    row.concrete_grade = "20号";
    row.steel_grade = "Ⅱ级";
    row.section = {"80", "0.07", "1.6", "0.12", "0.18", "1.3", "2500"};
    const std::string table = template_table(row);
    EXPECT_EQ(table, "\xEF\xBB\xBF" + kHeader + "1,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,2500\r\n");
    const Ran ran = run_table(table);
    EXPECT_EQ(ran.at(0, "最大弯矩"), "2442.056");

    row.mode = zhuheng::CalcMode::None;
    row.concrete_grade = " ";
    row.section[6] = "1,300";
    EXPECT_EQ(template_table(row).substr(3 + kHeader.size()),
              "1,,,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,\"1,300\"\r\n");
}

TEST(BatchRun, ProgressCanCancelTheRun) {
    std::string table = kHeader;
    for (int i = 0; i < 1000; ++i) {
        table += "1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500\r\n";
    }
    std::vector<std::uint64_t> seen;
    BatchOptions options;
    options.progress = [&](std::uint64_t read, std::uint64_t total) {
        EXPECT_EQ(total, table.size());
        EXPECT_LE(read, total);
        seen.push_back(read);
        return seen.size() < 2;
    };
    MemorySource in(table);
    StringSink out;
    const BatchSummary summary = run_batch(in, out, options);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.rows, 512u);
    EXPECT_EQ(seen.size(), 2u);

    options.progress = [&](std::uint64_t read, std::uint64_t total) {
        seen.push_back(read);
        return read <= total;
    };
    seen.clear();
    in.rewind();
    EXPECT_EQ(run_batch(in, out, options).rows, 1000u);
    EXPECT_EQ(seen.back(), table.size()) << "the last call at the end";
}

} // namespace
