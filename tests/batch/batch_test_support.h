// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A table run from memory, with the platform's GBK decoder, and its results table read back by
// column name.

#include "batch/batch_run.h"
#include "batch/memory_bytes.h"
#include "batch/platform_gbk.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace zhuheng_test {

using namespace zhuheng::batch;

inline const std::string kHeader =
    "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
    "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）\r\n";

struct Ran {
    BatchSummary summary;
    std::string bytes;                         // the results table as written
    std::vector<std::vector<std::string>> rows; // its header, then its rows

    // The cell of `column` (named by the header) in the `row`-th row after the header.
    std::string at(std::size_t row, std::string_view column) const {
        const auto& header = rows.at(0);
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == column) {
                return rows.at(row + 1).at(i);
            }
        }
        ADD_FAILURE() << "no column " << column;
        return {};
    }
};

// Splits a results table (UTF-8 with a BOM, CRLF, commas, quotes) as RFC 4180 reads it; written
// here again so that the reader's faults do not hide the writer's.
inline std::vector<std::vector<std::string>> split_results(std::string_view text) {
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    text.remove_prefix(std::min<std::size_t>(3, text.size()));
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(cell));
            cell.clear();
        } else if (c == '\r') {
            EXPECT_EQ(text.substr(i, 2), "\r\n") << "a row ends with CRLF";
            ++i;
            rows.back().push_back(std::move(cell));
            cell.clear();
            rows.emplace_back();
        } else {
            cell += c;
        }
    }
    EXPECT_TRUE(rows.back().empty() && cell.empty()) << "the last row ends with CRLF";
    rows.pop_back();
    return rows;
}

// Runs `in` (a ByteSource or a RecordSource) and reads its results table back.
template <class Source> Ran run_source(Source& in, BatchOptions options = {}) {
    if (!options.gbk) {
        options.gbk = platform_gbk_decoder();
    }
    StringSink out;
    Ran ran;
    ran.summary = run_batch(in, out, options);
    ran.bytes = out.text;
    ran.rows = split_results(out.text);
    return ran;
}

inline Ran run_table(const std::string& bytes, BatchOptions options = {}) {
    MemorySource in(bytes);
    return run_source(in, std::move(options));
}

// The TableError that running `bytes` throws ("" for none), and whether anything was written.
struct Refusal {
    std::string what;
    bool wrote = false;
};
inline Refusal refusal_of(const std::string& bytes) {
    MemorySource in(bytes);
    StringSink out;
    BatchOptions options;
    options.gbk = platform_gbk_decoder();
    Refusal refusal;
    try {
        run_batch(in, out, options);
    } catch (const TableError& e) {
        refusal.what = e.what();
    }
    refusal.wrote = !out.text.empty();
    return refusal;
}

} // namespace zhuheng_test
