// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/record_source.h"
#include "batch/table_writer.h"
#include "engine/calc_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A table of beams run in one go: the rows of a CSV table (one section a row, the columns named
// by the window's captions) each run as the window runs 计  算, and a results table written row
// by row as the rows are read, so that a table of any length runs in flat memory.
namespace zhuheng::batch {

// A table that cannot be run at all (bytes that are no text, a semicolon-separated table, a
// workbook instead of a CSV, a column missing or doubled): what() says why and what to do, in
// Chinese (UTF-8), naming the line where there is one. Nothing is written.
class TableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of a table, read from the start; rewind() starts again (the encoding is settled by a
// first pass over the whole file).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end. Throws TableError when the file cannot be
    // read.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    virtual void rewind() = 0;
    // The whole size in bytes, for the progress shown.
    virtual std::uint64_t size() const = 0;
};

// Where the results table goes, piece by piece. Whether it is kept is the caller's: it commits
// the file only after run_batch has returned.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

// Decodes bytes of code page 936 (GBK) to UTF-8, or nothing when they are not valid GBK. The
// platform supplies it (Qt's ICU decoder on Linux, the system's code page 936 on Windows).
using GbkDecoder = std::function<std::optional<std::string>(std::string_view bytes)>;

enum class RowStatus {
    Completed,   // a design that reached its results, or a check
    Redimension, // 请重新拟定构件的尺寸！
    Fault,       // an arithmetic fault: the 计算出错 text
    Error,       // a cell that is no value of its column: the row did not run
};

enum class Agreement {
    None,     // nothing compared: the row gave no result, or it did not run (an error of a cell)
    Agrees,   // 一致
    Differs,  // 不一致
};

// One row as run, handed to the caller as the row is done (for the calc book and the progress).
struct RowRecord {
    std::size_t line = 0;  // the row's first line in the file, counted from 1
    std::string label;     // its 编号 cell, as given ("" without that column)
    CalcMode mode = CalcMode::None;
    RowStatus status = RowStatus::Error;
    std::string message;   // 提示: the refusal, the fault or the row's error; "" when completed
    Agreement agreement = Agreement::None;
    std::string differences; // for Differs: each column that differs, with both values
    // For Completed: the state that the run left, as the window would print it.
    const CalcState* state = nullptr;
};

struct BatchSummary {
    std::size_t rows = 0;
    std::size_t completed = 0;
    std::size_t redimensioned = 0;
    std::size_t faults = 0;
    std::vector<std::size_t> error_lines;    // rows with an error in a cell, by their line
    std::vector<std::size_t> mismatch_lines; // rows whose given results differ, by their line
    bool compared = false; // the table held result columns: the results table has 核对, 核对说明
    bool cancelled = false;
};

struct BatchOptions {
    GbkDecoder gbk;
    // Called after each row; may be empty.
    std::function<void(const RowRecord&)> on_row;
    // Called now and then with the bytes read so far; returning false cancels the run, which
    // then returns with `cancelled` set and the sink incomplete. May be empty.
    std::function<bool(std::uint64_t read, std::uint64_t total)> progress;
};

// Reads the table from `in` and writes the results table (UTF-8 with a BOM, CRLF, commas) to
// `out`. Throws TableError for a table that cannot be run; an error of one row is that row's and
// the other rows still run. A TableError of the file as a whole (its encoding, a workbook, the
// header) comes before anything is written; one met further on (a quote that no quote closes, a
// line beyond 1 MB) leaves the sink incomplete, for the caller to drop.
//
// The table: UTF-8 with a BOM or without one, GBK (code page 936) otherwise, or UTF-16 LE with its
// BOM; cells split by commas, or by tabs where the first line holds no comma. Blank rows are
// skipped. A row shorter than the header has empty cells at its end; cells beyond the header
// that are not empty are an error of that row. Result columns that the table holds (an earlier
// results table, or values typed from a calc sheet) are not echoed: the run's results take their
// place, and each row that gives some is marked in 核对 and 核对说明.
BatchSummary run_batch(ByteSource& in, ByteSink& out, const BatchOptions& options);

// The same for the records of any table: a CSV table's (what the run above reads) or a
// workbook's. A record's fault (a cell of a workbook without a value) is an error of its row,
// naming the cell, and in the header a TableError. `progress` gets the source's done() and
// total().
BatchSummary run_batch(RecordSource& records, ByteSink& out, const BatchOptions& options);

// The same, written to `out` (a workbook, say): the echoed cells and the texts as text, each
// result that is a number as a number with the window's digits. A TableError met on the way
// leaves `out` unfinished, as do a cancelled run and an exception of `out`'s own, which passes
// through.
BatchSummary run_batch(ByteSource& in, TableWriter& out, const BatchOptions& options);
// A workbook's records to a workbook.
BatchSummary run_batch(RecordSource& records, TableWriter& out, const BatchOptions& options);

// The header of a table to start from, and one row holding `state`'s materials and the given
// texts: mode, grades and the eight typed texts as the window holds them (UTF-8 CSV, with a BOM,
// CRLF).
struct TemplateRow {
    CalcMode mode = CalcMode::None;
    std::string concrete_grade; // the list's text
    std::string steel_grade;
    std::string rg;             // 钢筋强度（MPa）
    std::array<std::string, 7> section; // ag, bc, bi, hi, b, h, mj as typed
};
std::string template_table(const TemplateRow& row);
// The template written to `out` (and finished): the header, and the row with each cell that
// reads strictly as a number (whole_number) as a number shown as typed, the others as text.
void write_template(const TemplateRow& row, TableWriter& out);

} // namespace zhuheng::batch
