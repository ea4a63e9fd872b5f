// SPDX-License-Identifier: GPL-3.0-or-later
// run_batch on any bytes: it returns or throws TableError, nothing else; a results table it
// writes is UTF-8 with a BOM, one row for each row run, every row as wide as its header, and
// run again it agrees with itself on every row. An odd first byte puts a header before the rest,
// so that the rows behind it are reached.
#include "batch/batch_run.h"
#include "batch/memory_bytes.h"
#include "batch/platform_gbk.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace zhuheng::batch;

namespace {

constexpr std::string_view kHeader =
    "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
    "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）\r\n";

[[noreturn]] void fail(const char* what, const std::string& table) {
    std::fprintf(stderr, "%s\n--- table ---\n%s\n", what, table.c_str());
    std::abort();
}

// The cells of each row of a results table, counted as RFC 4180 splits them; false for a table
// whose rows are not as wide as its header or whose last row has no CRLF.
bool rows_even(std::string_view text, std::size_t& rows) {
    std::size_t width = 0;
    std::size_t cells = 1;
    bool quoted = false;
    rows = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted; // a doubled quote toggles twice
        } else if (!quoted && c == ',') {
            ++cells;
        } else if (!quoted && c == '\r') {
            if (i + 1 == text.size() || text[i + 1] != '\n') {
                return false;
            }
            ++i;
            if (rows++ == 0) {
                width = cells;
            } else if (cells != width) {
                return false;
            }
            cells = 1;
        }
    }
    return !quoted && cells == 1 && !text.empty() && text.back() == '\n';
}

BatchSummary run(const std::string& table, std::string& results, const GbkDecoder& gbk) {
    MemorySource in(table);
    StringSink out;
    BatchOptions options;
    options.gbk = gbk;
    const BatchSummary summary = run_batch(in, out, options);
    results = std::move(out.text);
    return summary;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const GbkDecoder gbk = platform_gbk_decoder();
    if (size == 0) {
        return 0;
    }
    std::string table = (data[0] & 1) ? std::string(kHeader) : std::string();
    table.append(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::string results;
    BatchSummary first;
    try {
        first = run(table, results, gbk);
    } catch (const TableError& e) {
        if (std::string_view(e.what()).empty()) {
            fail("a TableError that says nothing", table);
        }
        return 0;
    } catch (...) {
        fail("an exception other than TableError", table);
    }
    std::size_t rows = 0;
    if (results.compare(0, 3, "\xEF\xBB\xBF") != 0 || !rows_even(results.substr(3), rows)) {
        fail("a results table without its BOM, or with rows of another width", table);
    }
    if (rows != first.rows + 1 || first.completed + first.redimensioned + first.faults +
                                          first.error_lines.size() != first.rows) {
        fail("the rows written or counted differ from the rows run", table);
    }

    std::string again;
    BatchSummary second;
    try {
        second = run(results, again, gbk);
    } catch (const TableError& e) {
        fail(e.what(), results);
    }
    if (!second.compared || !second.mismatch_lines.empty() || second.rows != first.rows) {
        fail("a results table run again does not agree with itself", results);
    }
    return 0;
}
