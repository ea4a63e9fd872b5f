// SPDX-License-Identifier: GPL-3.0-or-later
// A table of many rows to its results table: read, checked, run and written row by row, the
// table made on the fly and the results counted and dropped, so that what is measured is the
// batch alone and the memory it holds stays in view (peak_rss_mb, from the whole process).
#include "batch/batch_run.h"
#if defined(ZHUHENG_BENCH_WORKBOOK)
#include "batch/xlsx_results.h"
#endif

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using namespace zhuheng::batch;

constexpr std::string_view kHeader =
    "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
    "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）\r\n";
// The worked examples in turn: designs of the first and second type and a check.
constexpr std::array<std::string_view, 3> kRows = {
    "梁,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500\r\n",
    "梁,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300\r\n",
    "梁,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,2500\r\n",
};

// The header and `rows` rows, made as they are read.
class MadeTable : public ByteSource {
public:
    explicit MadeTable(std::size_t rows) : rows_(rows) {}
    std::size_t read(char* buffer, std::size_t size) override {
        std::size_t n = 0;
        while (n < size) {
            if (left_.empty()) {
                if (next_row_ == rows_ + 1) {
                    break;
                }
                left_ = next_row_ == 0 ? kHeader : kRows[(next_row_ - 1) % kRows.size()];
                ++next_row_;
            }
            const std::size_t take = std::min(size - n, left_.size());
            std::memcpy(buffer + n, left_.data(), take);
            left_.remove_prefix(take);
            n += take;
        }
        return n;
    }
    void rewind() override {
        next_row_ = 0;
        left_ = {};
    }
    std::uint64_t size() const override {
        std::uint64_t total = kHeader.size();
        for (std::size_t i = 0; i < rows_; ++i) {
            total += kRows[i % kRows.size()].size();
        }
        return total;
    }

private:
    std::size_t rows_;
    std::size_t next_row_ = 0;
    std::string_view left_;
};

class CountingSink : public ByteSink {
public:
    void write(std::string_view bytes) override { written += bytes.size(); }
    std::uint64_t written = 0;
};

double peak_rss_mb() {
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB on Linux
#else
    return 0.0;
#endif
}

void BM_ResultsTable(benchmark::State& bench) {
    const auto rows = static_cast<std::size_t>(bench.range(0));
    std::uint64_t written = 0;
    for (auto _ : bench) {
        MadeTable table(rows);
        CountingSink sink;
        const BatchSummary summary = run_batch(table, sink, {});
        if (summary.completed != rows) {
            bench.SkipWithError("a row did not complete");
        }
        written = sink.written;
    }
    bench.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["results_mb"] = static_cast<double>(written) / (1 << 20);
    bench.counters["peak_rss_mb"] = peak_rss_mb();
}

// Run one size a process to compare their peak memory (--benchmark_filter=.../100000$).
BENCHMARK(BM_ResultsTable)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

#if defined(ZHUHENG_BENCH_WORKBOOK)
// The same to a results workbook on disk (libxlsxwriter's constant-memory mode): the median of
// three runs, and the workbook's size.
void BM_ResultsWorkbook(benchmark::State& bench) {
    const auto rows = static_cast<std::size_t>(bench.range(0));
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "zhuheng-batch-bench.xlsx";
    std::uintmax_t size = 0;
    for (auto _ : bench) {
        MadeTable table(rows);
        WorkbookWriter workbook(path.string(), kResultsSheetName);
        const BatchSummary summary = run_batch(table, workbook, {});
        if (summary.completed != rows) {
            bench.SkipWithError("a row did not complete");
        }
        size = std::filesystem::file_size(path);
    }
    std::filesystem::remove(path);
    bench.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["workbook_mb"] = static_cast<double>(size) / (1 << 20);
    bench.counters["peak_rss_mb"] = peak_rss_mb();
}

BENCHMARK(BM_ResultsWorkbook)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->Repetitions(3);
#endif

} // namespace

BENCHMARK_MAIN();
