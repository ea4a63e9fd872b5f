// SPDX-License-Identifier: GPL-3.0-or-later
// Workbooks as an office suite saves them: LibreOffice, started headless with a profile of its
// own, converts CSV tables and a flat spreadsheet document to .xlsx, and the batch reads them.

#include "batch_test_support.h"
#include "batch/xlsx_workbook.h"
#include "engine/text_to_number.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zhuheng_test;

namespace {

// LibreOffice converts `files` in `dir` to .xlsx; CSV tables are read as UTF-8 with commas.
void convert_to_xlsx(const QTemporaryDir& dir, const QStringList& files, bool csv) {
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    QProcess soffice;
    soffice.start(QStringLiteral(SOFFICE),
                  QStringList{QStringLiteral("-env:UserInstallation=") + profile,
                              QStringLiteral("--headless")} +
                      (csv ? QStringList{QStringLiteral("--infilter=CSV:44,34,76,1")} : QStringList{}) +
                      QStringList{QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                                  QStringLiteral("--outdir"), dir.path()} +
                      files);
    ASSERT_TRUE(soffice.waitForStarted(10000))
        << SOFFICE << " did not start (" << soffice.errorString().toStdString()
        << "); scripts/install-deps.sh installs LibreOffice (libreoffice-calc-nogui)";
    ASSERT_TRUE(soffice.waitForFinished(180000)) << "LibreOffice did not finish";
    ASSERT_EQ(soffice.exitCode(), 0) << soffice.readAllStandardError().toStdString();
}

void write_file(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

Ran run_workbook_file(const QString& path) {
    const std::unique_ptr<RecordSource> records = open_workbook(path);
    if (!records) {
        ADD_FAILURE() << path.toStdString() << ": LibreOffice wrote no workbook there";
        return {};
    }
    return run_source(*records);
}

// CSV tables with numbers written as a spreadsheet writes them back (1, not 1.0).
const std::vector<std::pair<QString, std::string>> kTables{
    {QStringLiteral("outcomes"),
     kHeader +
         "1,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r\n"
         "2,配筋计算,25号,Ⅱ级,300,,0.05,1,0.15,0.2,0.8,1300\r\n"
         "梁3,强度复核,20号,II,,80,0.07,1.6,0.12,0.18,1.3,2500\r\n"
         "\r\n"
         "4,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,3000\r\n"
         "5,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,1500\r\n"
         "6,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0,0.8,1300\r\n"
         "7,配筋计算,35号,Ⅴ级,,,0.05,1,0.15,,0.8,abc\r\n"},
    {QStringLiteral("reordered_with_notes_and_given_results"),
     "备注,承受弯矩（KN.m）,梁体高度（m）,梁肋宽度（m）,翼缘厚度（m）,翼缘宽度（m）,保护层厚度（m）,"
     "钢筋面积（cm2）,钢筋强度（MPa）,钢筋等级,混凝土标号,计算类型,受拉钢筋面积,结果\r\n"
     "\"左跨, 中梁\",500,0.8,0.2,0.15,1,0.05,,,Ⅱ级,25号,配筋计算,25.528,\r\n"
     "右跨,2500,1.3,0.18,0.12,1.6,0.07,80,,Ⅱ级,20号,强度复核,,未通过\r\n"},
};

TEST(OfficeWorkbook, ASavedTableGivesTheResultsTableOfItsCsv) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList files;
    for (const auto& [name, table] : kTables) {
        files << dir.filePath(name + QStringLiteral(".csv"));
        write_file(files.back(), table);
    }
    convert_to_xlsx(dir, files, true);
    for (const auto& [name, table] : kTables) {
        SCOPED_TRACE(name.toStdString());
        const Ran workbook = run_workbook_file(dir.filePath(name + QStringLiteral(".xlsx")));
        const Ran csv = run_table(table);
        EXPECT_EQ(workbook.bytes, csv.bytes);
        EXPECT_EQ(workbook.summary.rows, csv.summary.rows);
        EXPECT_GE(workbook.summary.rows, 2u);
    }
}

// A flat spreadsheet document: a first sheet of notes, then the sheet named 批量计算 with a
// moment held as 499.6 in a cell of the format 0 (it shows 500), and formulas giving errors.
std::string fods_cell(const std::string& text) {
    if (text.empty()) {
        return "<table:table-cell/>";
    }
    if (text.front() == '=') {
        std::string formula;
        for (const char c : text) {
            formula += c == '"' ? std::string("&quot;") : std::string(1, c);
        }
        return "<table:table-cell table:formula=\"of:" + formula + "\"/>";
    }
    if (text == "499.6") {
        return "<table:table-cell table:style-name=\"whole\" office:value-type=\"float\" office:value=\"499.6\"/>";
    }
    if (zhuheng::whole_number(text)) {
        return "<table:table-cell office:value-type=\"float\" office:value=\"" + text + "\"/>";
    }
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text + "</text:p></table:table-cell>";
}

std::string fods_table(const std::string& name, const std::vector<std::string>& rows) {
    std::string xml = "<table:table table:name=\"" + name + "\">";
    for (const std::string& row : rows) {
        xml += "<table:table-row>";
        for (std::size_t from = 0; from <= row.size();) {
            const std::size_t end = std::min(row.find(',', from), row.size());
            xml += fods_cell(row.substr(from, end - from));
            from = end + 1;
        }
        xml += "</table:table-row>";
    }
    return xml + "</table:table>";
}

TEST(OfficeWorkbook, TheBatchSheetAtTheValuesHeldAndItsErrorCells) {
    const std::string header = kHeader.substr(0, kHeader.size() - 2);
    const std::string fods =
        R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles><number:number-style style:name="N0"><number:number number:decimal-places="0" number:min-integer-digits="1"/></number:number-style><style:style style:name="whole" style:family="table-cell" style:data-style-name="N0"/></office:automatic-styles>
<office:body><office:spreadsheet>)" +
        fods_table("说明", {"这一页是说明,,", "1,2,3"}) +
        fods_table("批量计算", {header,
                                "held,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,499.6",
                                "div,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,=1/0",
                                "value,配筋计算,25号,Ⅱ级,,,=\"a\"+1,1,0.15,0.2,0.8,500"}) +
        "</office:spreadsheet></office:body></office:document>";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    write_file(dir.filePath(QStringLiteral("sheets.fods")), fods);
    convert_to_xlsx(dir, {dir.filePath(QStringLiteral("sheets.fods"))}, false);

    const Ran ran = run_workbook_file(dir.filePath(QStringLiteral("sheets.xlsx")));
    ASSERT_EQ(ran.rows.size(), 4u);
    const Ran held = run_table(kHeader + "held,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,499.6\r\n");
    const Ran shown = run_table(kHeader + "held,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r\n");
    EXPECT_EQ(ran.rows[1], held.rows[1]);
    EXPECT_NE(ran.at(0, "受拉钢筋面积"), shown.at(0, "受拉钢筋面积"));
    EXPECT_EQ(ran.at(1, "提示"), "第 3 行：承受弯矩（KN.m）列的单元格 L3 是错误值 #DIV/0!");
    EXPECT_EQ(ran.at(2, "提示"), "第 4 行：保护层厚度（m）列的单元格 G4 是错误值 #VALUE!");
    EXPECT_EQ(ran.summary.error_lines, (std::vector<std::size_t>{3, 4}));
}

} // namespace
