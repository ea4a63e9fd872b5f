// SPDX-License-Identifier: GPL-3.0-or-later
// A workbook of a million rows read through the batch: its sheet unpacked whole (as Qt's zip
// reader gives it), streamed row by row, run and written. The workbook is made first, in a process
// of its own, so that peak_rss_mb is the reading's alone:
//   workbook_bench --make FILE [ROWS]   then   workbook_bench FILE
#include "batch/batch_run.h"
#include "batch/xlsx_workbook.h"

#include <QFile>
#include <QString>
#include <benchmark/benchmark.h>
#include <private/qzipwriter_p.h>

#include <array>
#include <cstring>
#include <string>

#include <sys/resource.h>

namespace {

using namespace zhuheng::batch;

// The header's captions and the worked examples' texts as shared strings, numbers as numbers,
// as Excel writes a sheet.
constexpr std::array<const char*, 17> kStrings = {
    "编号", "计算类型", "混凝土标号", "钢筋等级", "钢筋强度（MPa）", "钢筋面积（cm2）",
    "保护层厚度（m）", "翼缘宽度（m）", "翼缘厚度（m）", "梁肋宽度（m）", "梁体高度（m）",
    "承受弯矩（KN.m）", "配筋计算", "强度复核", "25号", "20号", "Ⅱ级"};
// The rows in turn: designs of the first and second type and a check (string indexes as "s").
constexpr std::array<std::array<const char*, 12>, 3> kRows = {{
    {"", "s12", "s14", "s16", "", "", "0.05", "1", "0.15", "0.2", "0.8", "500"},
    {"", "s12", "s14", "s16", "", "", "0.05", "1", "0.15", "0.2", "0.8", "1300"},
    {"", "s13", "s15", "s16", "", "80", "0.07", "1.6", "0.12", "0.18", "1.3", "2500"},
}};

QByteArray cell(char column, std::size_t row, const char* text) {
    const QByteArray r = QByteArray(1, column) + QByteArray::number(static_cast<qulonglong>(row));
    if (text[0] == 's') {
        return "<c r=\"" + r + "\" t=\"s\"><v>" + QByteArray(text + 1) + "</v></c>";
    }
    return "<c r=\"" + r + "\"><v>" + QByteArray(text) + "</v></c>";
}

void make_workbook(const QString& path, std::size_t rows) {
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    QByteArray sheet = "<worksheet " + ns + "><sheetData><row r=\"1\">";
    for (int i = 0; i < 12; ++i) {
        sheet += cell(static_cast<char>('A' + i), 1, ("s" + std::to_string(i)).c_str());
    }
    sheet += "</row>";
    for (std::size_t r = 2; r < rows + 2; ++r) {
        sheet += "<row r=\"" + QByteArray::number(static_cast<qulonglong>(r)) + "\">";
        sheet += "<c r=\"A" + QByteArray::number(static_cast<qulonglong>(r)) + "\"><v>" +
                 QByteArray::number(static_cast<qulonglong>(r - 1)) + "</v></c>";
        const auto& row = kRows[(r - 2) % kRows.size()];
        for (int i = 1; i < 12; ++i) {
            if (row[i][0] != '\0') {
                sheet += cell(static_cast<char>('A' + i), r, row[i]);
            }
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    QByteArray shared = "<sst " + ns + ">";
    for (const char* s : kStrings) {
        shared += "<si><t>" + QByteArray(s) + "</t></si>";
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QZipWriter zip(&file);
    zip.addFile(QStringLiteral("_rels/.rels"),
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" Type=\"" + rel + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    zip.addFile(QStringLiteral("xl/workbook.xml"), "<workbook " + ns + "><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    zip.addFile(QStringLiteral("xl/_rels/workbook.xml.rels"),
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" Type=\"" + rel + "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                "<Relationship Id=\"rId2\" Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    zip.addFile(QStringLiteral("xl/sharedStrings.xml"), shared + "</sst>");
    zip.addFile(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    zip.close();
}

class CountingSink : public ByteSink {
public:
    void write(std::string_view bytes) override { written += bytes.size(); }
    std::uint64_t written = 0;
};

QString g_path;

void BM_Workbook(benchmark::State& bench) {
    std::size_t rows = 0;
    for (auto _ : bench) {
        const std::unique_ptr<RecordSource> records = open_workbook(g_path);
        if (!records) {
            bench.SkipWithError("no workbook: make it first with --make");
            return;
        }
        CountingSink sink;
        const BatchSummary summary = run_batch(*records, sink, {});
        if (summary.completed != summary.rows) {
            bench.SkipWithError("a row did not complete");
        }
        rows = summary.rows;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    bench.counters["rows"] = static_cast<double>(rows);
    bench.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Workbook)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--make") == 0) {
        make_workbook(QString::fromLocal8Bit(argv[2]), argc >= 4 ? std::stoul(argv[3]) : 1000000);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: workbook_bench --make FILE [ROWS] | workbook_bench FILE\n");
        return 2;
    }
    g_path = QString::fromLocal8Bit(argv[1]);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
