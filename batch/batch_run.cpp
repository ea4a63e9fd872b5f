// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch_run.h"

#include "batch/csv_reader.h"
#include "batch/csv_writer.h"
#include "batch/memory_bytes.h"
#include "batch/result_check.h"
#include "batch/row_cells.h"
#include "batch/table_columns.h"
#include "engine/arithmetic_fault.h"
#include "engine/calculation_run.h"
#include "engine/material_tables.h"
#include "engine/number_text.h"
#include "engine/shown_results.h"
#include "engine/text_to_number.h"

namespace zhuheng::batch {

namespace {

// Rows between two calls of the progress.
constexpr std::size_t kProgressRows = 256;

std::string_view agreement_text(Agreement agreement) {
    switch (agreement) {
    case Agreement::Agrees:
        return "一致";
    case Agreement::Differs:
        return "不一致";
    case Agreement::None:
        break;
    }
    return {};
}

// The result cells of a row: their texts ("" where the run fills none), and for each number
// the floored value its text was made from.
struct ResultCells {
    std::array<std::string, kResultCount> texts;
    std::array<std::optional<double>, kResultCount> values;

    void clear() {
        for (std::string& t : texts) {
            t.clear();
        }
        values.fill(std::nullopt);
    }
    void set(std::size_t i, double value) {
        values[i] = value;
        texts[i] = plain_number_text(value);
    }
};

// The result cells of a completed run: those of its mode, the others empty.
void shown_results(const CalcState& state, ResultCells& cells) {
    if (state.mode == CalcMode::Design) {
        const auto values = design_results(state);
        for (std::size_t i = 0; i < values.size(); ++i) {
            cells.set(i, values[i]);
        }
        return;
    }
    const auto values = zhuheng::check_results(state);
    cells.set(kHeightResult, values[0]);
    cells.set(kMomentResult, values[1]);
    cells.texts[kVerdictResult] = state.verdict;
}

// Runs one row on a fresh state, as the window runs 计  算 after the mode and the two grades
// are chosen and the boxes are typed.
void run_row(const RowInput& input, CalcState& state, RowRecord& row, ResultCells& results) {
    state = CalcState{};
    state.mode = input.mode;
    select_concrete_grade(state, input.concrete_grade);
    select_steel_grade(state, input.steel_grade);
    const RunReport report = run_calculation(state, input.texts);
    switch (report.outcome) {
    case RunOutcome::Completed:
        row.status = RowStatus::Completed;
        row.state = &state;
        shown_results(state, results);
        break;
    case RunOutcome::Redimension:
        row.status = RowStatus::Redimension;
        row.message = std::string(kRedimensionMessage);
        break;
    case RunOutcome::Fault:
        row.status = RowStatus::Fault;
        row.message = fault_message(report.fault);
        break;
    case RunOutcome::NoMode: // read_row has given every row a mode
        row.status = RowStatus::Error;
        row.message = std::string(kNoModeMessage);
        break;
    }
}

void count(BatchSummary& summary, const RowRecord& row) {
    ++summary.rows;
    switch (row.status) {
    case RowStatus::Completed:
        ++summary.completed;
        break;
    case RowStatus::Redimension:
        ++summary.redimensioned;
        break;
    case RowStatus::Fault:
        ++summary.faults;
        break;
    case RowStatus::Error:
        summary.error_lines.push_back(row.line);
        break;
    }
    if (row.agreement == Agreement::Differs) {
        summary.mismatch_lines.push_back(row.line);
    }
}

} // namespace

BatchSummary run_batch(ByteSource& in, ByteSink& out, const BatchOptions& options) {
    CsvRecords records(in, options.gbk);
    CsvWriter writer(out);
    return run_batch(records, writer, options);
}

BatchSummary run_batch(RecordSource& records, ByteSink& out, const BatchOptions& options) {
    CsvWriter writer(out);
    return run_batch(records, writer, options);
}

BatchSummary run_batch(ByteSource& in, TableWriter& writer, const BatchOptions& options) {
    CsvRecords records(in, options.gbk);
    return run_batch(records, writer, options);
}

BatchSummary run_batch(RecordSource& reader, TableWriter& writer, const BatchOptions& options) {
    Record record;
    if (!reader.next(record)) {
        throw TableError("表格是空的：没有表头，也没有任何一行。");
    }
    if (!record.faults.empty()) {
        throw TableError("第 " + std::to_string(record.line) + " 行的表头：" +
                         faults_text(record, {}) + "。");
    }
    const TableColumns columns = read_header(record.cells, record.line);
    const std::vector<std::string> header = record.cells;

    for (const std::size_t i : columns.echoed) {
        writer.text(record.cells[i]);
    }
    for (const std::string_view name : kResultNames) {
        writer.text(name);
    }
    writer.text(kNoteName);
    if (columns.compares) {
        writer.text(kAgreementName);
        writer.text(kDifferencesName);
    }
    writer.end_row();

    BatchSummary summary;
    summary.compared = columns.compares;
    RowInput input;
    CalcState state;
    ResultCells results;
    while (reader.next(record)) {
        RowRecord row;
        row.line = record.line;
        if (columns.label) {
            row.label = cell_at(record.cells, *columns.label);
        }
        results.clear();
        row.message = read_row(record.cells, columns, record.line, input);
        if (!record.faults.empty()) {
            row.message = "第 " + std::to_string(record.line) + " 行：" + faults_text(record, header);
        }
        row.mode = input.mode;
        if (row.message.empty()) {
            run_row(input, state, row, results);
        }
        ResultCheck check;
        if (columns.compares && row.status != RowStatus::Error) {
            check = compare_given_results(record.cells, columns, results.texts);
            row.agreement = check.agreement;
            row.differences = check.differences;
        }

        for (const std::size_t i : columns.echoed) {
            writer.text(cell_at(record.cells, i));
        }
        for (std::size_t i = 0; i < kResultCount; ++i) {
            if (results.values[i]) {
                writer.number(*results.values[i], results.texts[i]);
            } else {
                writer.text(results.texts[i]);
            }
        }
        writer.text(row.message);
        if (columns.compares) {
            writer.text(agreement_text(row.agreement));
            writer.text(row.differences);
        }
        writer.end_row();

        count(summary, row);
        if (options.on_row) {
            options.on_row(row);
        }
        if (options.progress && summary.rows % kProgressRows == 0 &&
            !options.progress(reader.done(), reader.total())) {
            summary.cancelled = true;
            break;
        }
    }
    if (!summary.cancelled) {
        writer.finish();
        if (options.progress) {
            options.progress(reader.done(), reader.total());
        }
    }
    return summary;
}

void write_template(const TemplateRow& row, TableWriter& writer) {
    writer.text(kLabelCaption);
    for (const std::string_view caption : kInputCaptions) {
        writer.text(caption);
    }
    writer.end_row();
    // A cell that reads strictly as a number is one; a number too large for a double stays the
    // text it was typed as.
    const auto cell = [&writer](std::string_view text) {
        std::optional<double> value;
        try {
            value = whole_number(text);
        } catch (const ArithmeticFault&) {
        }
        if (value) {
            writer.number(*value, text);
        } else {
            writer.text(text);
        }
    };
    cell("1");
    writer.text(mode_name(row.mode));
    writer.text(trim_blanks(row.concrete_grade));
    writer.text(trim_blanks(row.steel_grade));
    cell(row.rg);
    for (const std::string& text : row.section) {
        cell(text);
    }
    writer.end_row();
    writer.finish();
}

std::string template_table(const TemplateRow& row) {
    StringSink sink;
    CsvWriter writer(sink);
    write_template(row, writer);
    return std::move(sink.text);
}

} // namespace zhuheng::batch
