// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a workbook (.xlsx) made by hand as Excel lays it out: the same results as its CSV, each
// kind of cell, the sheet chosen, rows by their numbers, and workbooks that cannot be read.

#include "workbook_test_support.h"

#include <gtest/gtest.h>

#include <map>

using namespace zhuheng_test;

namespace {

const std::string kHeaderLine = kHeader.substr(0, kHeader.size() - 2);
const std::vector<std::string> kRows{
    "1,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500",
    "2,配筋计算,25号,Ⅱ级,300,,0.05,1,0.15,0.2,0.8,1300",
    "梁3,强度复核,20号,II,,80,0.07,1.6,0.12,0.18,1.3,2500",
    "4,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,1500",
    "5,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0,0.8,1300",
    "6,配筋计算,25号,Ⅴ级,,,0.05,1,0.15,0.2,0.8,x",
};

QByteArray sheet_rows(const std::vector<std::string>& rows) {
    QByteArray xml = made_row(1, kHeaderLine);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        xml += made_row(static_cast<int>(i) + 2, rows[i]);
    }
    return xml;
}

std::string csv_table(const std::vector<std::string>& rows) {
    std::string table = kHeader;
    for (const std::string& row : rows) {
        table += row + "\r\n";
    }
    return table;
}

TEST(WorkbookReading, GivesTheResultsTableOfItsCsv) {
    const Ran csv = run_table(csv_table(kRows));
    const Ran workbook = run_workbook(made_workbook({{QStringLiteral("Sheet1"), sheet_rows(kRows)}}));
    EXPECT_EQ(workbook.bytes, csv.bytes);
    EXPECT_EQ(workbook.summary.completed, 3u);
    EXPECT_EQ(workbook.summary.error_lines, std::vector<std::size_t>{7});
}

// Row 2 of a workbook whose cells `extra` (with their references) take the place of the base
// row's.
struct CellCase {
    std::string name;
    QByteArray extra;
    std::map<std::string, std::string> shown; // columns of the results table
    std::string same_as;  // the base row with this moment typed gives the same results
};

const std::string kBase = "1,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500";
const QByteArray kShared = "<si><t>甲</t></si>"
                           "<si><r><rPr><b/></rPr><t>配筋</t></r><r><t xml:space=\"preserve\">计算</t></r>"
                           "<rPh sb=\"0\" eb=\"2\"><t>はい</t></rPh></si>";
const std::string kNoValue = "是公式，但工作簿里没有它的计算结果（请在 Excel 或 WPS 中打开工作簿，重新计算并保存后再试）";

const std::vector<CellCase> kCellCases{
    {"seventeen_digits_as_excel_writes", R"(<c r="I2" s="3"><v>0.14999999999999999</v></c>)",
     {{"翼缘厚度（m）", "0.15"}, {"受拉钢筋面积", "25.528"}}, ""},
    // A cell of the format 0 shows 500.
    {"value_held_beyond_the_digits_shown", R"(<c r="L2" s="3"><v>499.6</v></c>)",
     {{"承受弯矩（KN.m）", "499.6"}}, "499.6"},
    {"whole_number_with_an_exponent", R"(<c r="L2"><v>5E2</v></c>)", {{"承受弯矩（KN.m）", "500"}}, ""},
    {"shared_strings_with_runs_and_a_phonetic_guide", R"(<c r="A2" t="s"><v>0</v></c><c r="B2" t="s"><v>1</v></c>)",
     {{"编号", "甲"}, {"计算类型", "配筋计算"}, {"受拉钢筋面积", "25.528"}}, ""},
    {"formula_with_its_result", R"(<c r="L2"><f>250*2</f><v>500</v></c>)", {{"受拉钢筋面积", "25.528"}}, ""},
    {"text_formula_with_its_result", R"(<c r="B2" t="str"><f>"配筋"&amp;"计算"</f><v>配筋计算</v></c>)",
     {{"受拉钢筋面积", "25.528"}}, ""},
    {"formula_without_its_result", R"(<c r="L2"><f>250*2</f></c>)",
     {{"提示", "第 2 行：承受弯矩（KN.m）列的单元格 L2 " + kNoValue}, {"承受弯矩（KN.m）", ""}, {"受拉钢筋面积", ""}}, ""},
    {"error_value", R"(<c r="L2" t="e"><f>1/0</f><v>#DIV/0!</v></c>)",
     {{"提示", "第 2 行：承受弯矩（KN.m）列的单元格 L2 是错误值 #DIV/0!"}, {"承受弯矩（KN.m）", "#DIV/0!"}}, ""},
    {"errors_beyond_the_header_too", R"(<c r="G2" t="e"><v>#VALUE!</v></c><c r="N2" t="e"><v>#N/A</v></c>)",
     {{"提示", "第 2 行：保护层厚度（m）列的单元格 G2 是错误值 #VALUE!；单元格 N2 是错误值 #N/A"}}, ""},
    {"boolean", R"(<c r="A2" t="b"><v>1</v></c>)", {{"编号", "TRUE"}}, ""},
    {"escaped_characters", R"(<c r="A2" t="inlineStr"><is><t>梁_x0031__x005F_x0031_</t></is></c>)",
     {{"编号", "梁1_x0031_"}}, ""},
};

TEST(WorkbookReading, EachKindOfCell) {
    const Ran base = run_table(csv_table({kBase}));
    for (const CellCase& c : kCellCases) {
        SCOPED_TRACE(c.name);
        const QByteArray rows = made_row(1, kHeaderLine) + made_row(2, kBase, c.extra);
        const Ran ran = run_workbook(made_workbook({{QStringLiteral("表"), rows}}, kShared));
        ASSERT_EQ(ran.rows.size(), 2u);
        for (const auto& [column, text] : c.shown) {
            EXPECT_EQ(ran.at(0, column), text) << column;
        }
        if (!c.same_as.empty()) {
            // The moment typed as held gives the same results; as shown (500), others.
            const std::string typed = kBase.substr(0, kBase.rfind(',') + 1) + c.same_as;
            const Ran held = run_table(csv_table({typed}));
            EXPECT_EQ(ran.at(0, "受拉钢筋面积"), held.at(0, "受拉钢筋面积"));
            EXPECT_NE(ran.at(0, "受拉钢筋面积"), base.at(0, "受拉钢筋面积"));
        }
    }
}

TEST(WorkbookReading, TheSheetNamedForTheBatchOrElseTheFirst) {
    const QByteArray table = sheet_rows({kBase});
    const QByteArray other = made_row(1, "说明") + made_row(2, "这一页不是表格");
    const Ran named = run_workbook(made_workbook(
        {{QStringLiteral("说明"), other}, {QStringLiteral("批量计算"), table}, {QStringLiteral("其他"), other}}));
    EXPECT_EQ(named.at(0, "受拉钢筋面积"), "25.528");
    const Ran first = run_workbook(made_workbook({{QStringLiteral("Sheet1"), table}, {QStringLiteral("Sheet2"), other}}));
    EXPECT_EQ(first.at(0, "受拉钢筋面积"), "25.528");
}

TEST(WorkbookReading, RowsKeepTheirNumbersAndEmptyOnesAreSkipped) {
    const QByteArray rows = made_row(2, kHeaderLine) +
                            R"(<row r="3"><c r="A3" s="1"/><c r="B3" t="inlineStr"><is><t> </t></is></c></row>)" +
                            made_row(7, "7,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,") +
                            "<row>" + made_row(0, kBase).mid(9); // no r: the row after 7
    std::vector<RowRecord> records;
    BatchOptions options;
    options.on_row = [&](const RowRecord& r) { records.push_back(r); };
    const Ran ran = run_workbook(made_workbook({{QStringLiteral("表"), rows}}), options);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, "第 7 行：承受弯矩（KN.m）为空");
    EXPECT_EQ(records[1].line, 8u);
    EXPECT_EQ(ran.at(1, "受拉钢筋面积"), "25.528");
}

QByteArray without_part(const QByteArray& workbook, const QString& part) {
    QBuffer in;
    in.setData(workbook);
    in.open(QIODevice::ReadOnly);
    QZipReader zip(&in);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QZipWriter copy(&out);
    for (const QZipReader::FileInfo& info : zip.fileInfoList()) {
        if (info.filePath != part) {
            copy.addFile(info.filePath, zip.fileData(info.filePath));
        }
    }
    copy.close();
    return out.data();
}

struct RefusalCase {
    std::string name;
    QByteArray workbook;
    std::string says;
};

const QByteArray kGood = made_workbook({{QStringLiteral("表"), sheet_rows({kBase})}});
const std::string kDamaged = "这个工作簿已损坏，无法读取（";

const std::vector<RefusalCase> kRefusalCases{
    {"error_in_the_header", made_workbook({{QStringLiteral("表"), R"(<row r="1"><c r="C1" t="e"><v>#REF!</v></c></row>)"}}),
     "第 1 行的表头：单元格 C1 是错误值 #REF!。"},
    {"empty_sheet", made_workbook({{QStringLiteral("表"), "<row r=\"4\"/>"}}), "表格是空的"},
    {"no_worksheet", made_workbook({}), "这个工作簿里没有工作表。"},
    {"cut_short", kGood.left(kGood.size() / 2), kDamaged},
    {"zip_without_a_workbook", without_part(kGood, QStringLiteral("_rels/.rels")), kDamaged + "缺少其中的 _rels/.rels"},
    {"sheet_missing", without_part(kGood, QStringLiteral("xl/worksheets/sheet1.xml")), "缺少其中的 xl/worksheets/sheet1.xml"},
    {"xml_broken", made_workbook({{QStringLiteral("表"), "<row r=\"1\"><c><v>1</c></row>"}}),
     "其中的 xl/worksheets/sheet1.xml 第 1 行不是完好的 XML"},
    {"shared_string_missing", made_workbook({{QStringLiteral("表"), R"(<row><c r="A1" t="s"><v>2</v></c></row>)"}}, kShared),
     "单元格 A1 所引用的共享字符串“2”不存在"},
    {"cell_reference_of_row_zero", made_workbook({{QStringLiteral("表"), R"(<row><c r="A0"><v>1</v></c></row>)"}}),
     "单元格的位置“A0”不是 A1 到 XFD1048576 之一"},
    {"cell_beyond_column_xfd", made_workbook({{QStringLiteral("表"), R"(<row><c r="XFE1"><v>1</v></c></row>)"}}),
     "“XFE1”不是 A1 到 XFD1048576 之一"},
    {"row_beyond_the_last", made_workbook({{QStringLiteral("表"), R"(<row r="1048577"/>)"}}),
     "工作表的行号“1048577”不是 1 到 1048576 之间的数"},
};

TEST(WorkbookReading, AWorkbookThatCannotBeReadSaysWhy) {
    for (const RefusalCase& c : kRefusalCases) {
        SCOPED_TRACE(c.name);
        const std::string what = workbook_refusal(c.workbook);
        EXPECT_NE(what.find(c.says), std::string::npos) << what;
    }
    EXPECT_EQ(open_workbook_bytes(QByteArray::fromStdString(kHeader)), nullptr) << "a CSV table";
}

} // namespace
