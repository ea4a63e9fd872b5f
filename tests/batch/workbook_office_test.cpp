// SPDX-License-Identifier: GPL-3.0-or-later
// The results workbook as an office suite reads it: LibreOffice Calc, headless with a profile of
// its own, saves it as a CSV table with the cells as shown, which must be the results table
// that the same run writes as CSV, cell for cell.

#include "batch/workbook_files.h"
#include "batch_test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace zhuheng_test;

namespace {

TEST(WorkbookInOfficeSuite, ShowsEveryCellOfTheResultsTable) {
    // Every outcome, a check whose moment shows with an exponent, and an error of a cell.
    const std::string table = kHeader +
                              "设计,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500\r\n"
                              "二类,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300\r\n"
                              "最小,配筋计算,15号,Ⅰ级,,,0.05,0.5,0.01,0.5,1.05,40\r\n"
                              "通过,强度复核,20号,Ⅱ级,,50,0.07,1.6,0.12,0.18,1.3,1500\r\n"
                              "复核,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,3000\r\n"
                              "巨大,强度复核,20号,Ⅱ级,,1e15,0.07,1.6,0.12,0.18,1.3,3000\r\n"
                              "重拟,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1500\r\n"
                              "出错,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0,0.8,1300\r\n"
                              "字,配筋计算,25号,Ⅱ级,,,0.05,一米,0.15,0.2,0.8,500\r\n";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString workbook = dir.filePath(QStringLiteral("结果.xlsx"));
    MemorySource in(table);
    BatchOptions options;
    options.gbk = platform_gbk_decoder();
    run_batch_to_workbook(in, workbook, options);

    QProcess soffice;
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    // Commas, double quotes, UTF-8 (76), from the first line; the cells as shown.
    soffice.start(QStringLiteral(SOFFICE),
                  {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                   QStringLiteral("--convert-to"),
                   QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"),
                   QStringLiteral("--outdir"), dir.path(), workbook});
    ASSERT_TRUE(soffice.waitForStarted(10000))
        << SOFFICE << " did not start (" << soffice.errorString().toStdString()
        << "); scripts/install-deps.sh installs LibreOffice Calc (libreoffice-calc-nogui)";
    ASSERT_TRUE(soffice.waitForFinished(180000)) << "LibreOffice did not finish";
    EXPECT_EQ(soffice.exitCode(), 0) << soffice.readAllStandardError().toStdString();

    QFile csv(dir.filePath(QStringLiteral("结果.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly))
        << "LibreOffice wrote no CSV table: " << soffice.readAllStandardError().toStdString();
    // LibreOffice ends its lines with LF and writes no BOM.
    std::string text = "\xEF\xBB\xBF" + csv.readAll().replace("\r\n", "\n").replace("\n", "\r\n")
                                            .toStdString();
    const auto read = split_results(text);
    const Ran expected = run_table(table);
    ASSERT_EQ(read.size(), expected.rows.size());
    for (std::size_t r = 0; r < read.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        // LibreOffice leaves out the empty cells at a row's end.
        std::vector<std::string> row = read[r];
        row.resize(expected.rows[r].size());
        EXPECT_EQ(row, expected.rows[r]);
    }
    EXPECT_NE(expected.bytes.find("E+"), std::string::npos) << "a number shown with an exponent";
}

} // namespace
