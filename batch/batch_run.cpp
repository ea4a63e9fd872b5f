// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch_run.h"

#include "batch/csv_reader.h"
#include "batch/csv_writer.h"
#include "batch/memory_bytes.h"
#include "batch/result_check.h"
#include "batch/row_cells.h"
#include "batch/table_columns.h"
#include "engine/calculation_run.h"
#include "engine/material_tables.h"
#include "engine/number_text.h"
#include "engine/shown_results.h"
#include "engine/text_to_number.h"

namespace zhuheng::batch {

namespace {

// Rows between two calls of the progress.
constexpr std::size_t kProgressRows = 256;

std::string_view mode_text(CalcMode mode) {
    switch (mode) {
    case CalcMode::Design:
        return "配筋计算";
    case CalcMode::Check:
        return "强度复核";
    case CalcMode::None:
        break;
    }
    return {};
}

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

// The result cells of a completed run: those of its mode, the others empty.
void shown_texts(const CalcState& state, std::array<std::string, kResultCount>& texts) {
    if (state.mode == CalcMode::Design) {
        const auto values = design_results(state);
        for (std::size_t i = 0; i < values.size(); ++i) {
            texts[i] = plain_number_text(values[i]);
        }
        return;
    }
    const auto values = zhuheng::check_results(state);
    texts[kHeightResult] = plain_number_text(values[0]);
    texts[kMomentResult] = plain_number_text(values[1]);
    texts[kVerdictResult] = state.verdict;
}

// Runs one row on a fresh state, as the window runs 计  算 after the mode and the two grades
// are chosen and the boxes are typed.
void run_row(const RowInput& input, CalcState& state, RowRecord& row,
             std::array<std::string, kResultCount>& texts) {
    state = CalcState{};
    state.mode = input.mode;
    select_concrete_grade(state, input.concrete_grade);
    select_steel_grade(state, input.steel_grade);
    const RunReport report = run_calculation(state, input.texts);
    switch (report.outcome) {
    case RunOutcome::Completed:
        row.status = RowStatus::Completed;
        row.state = &state;
        shown_texts(state, texts);
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
    return run_batch(records, out, options);
}

BatchSummary run_batch(RecordSource& reader, ByteSink& out, const BatchOptions& options) {
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

    CsvWriter writer(out);
    for (const std::size_t i : columns.echoed) {
        writer.cell(record.cells[i]);
    }
    for (const std::string_view name : kResultNames) {
        writer.cell(name);
    }
    writer.cell(kNoteName);
    if (columns.compares) {
        writer.cell(kAgreementName);
        writer.cell(kDifferencesName);
    }
    writer.end_row();

    BatchSummary summary;
    summary.compared = columns.compares;
    RowInput input;
    CalcState state;
    std::array<std::string, kResultCount> texts;
    while (reader.next(record)) {
        RowRecord row;
        row.line = record.line;
        if (columns.label) {
            row.label = cell_at(record.cells, *columns.label);
        }
        for (std::string& t : texts) {
            t.clear();
        }
        row.message = read_row(record.cells, columns, record.line, input);
        if (!record.faults.empty()) {
            row.message = "第 " + std::to_string(record.line) + " 行：" + faults_text(record, header);
        }
        row.mode = input.mode;
        if (row.message.empty()) {
            run_row(input, state, row, texts);
        }
        ResultCheck check;
        if (columns.compares && row.status != RowStatus::Error) {
            check = compare_given_results(record.cells, columns, texts);
            row.agreement = check.agreement;
            row.differences = check.differences;
        }

        for (const std::size_t i : columns.echoed) {
            writer.cell(cell_at(record.cells, i));
        }
        for (const std::string& t : texts) {
            writer.cell(t);
        }
        writer.cell(row.message);
        if (columns.compares) {
            writer.cell(agreement_text(row.agreement));
            writer.cell(row.differences);
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
    writer.flush();
    if (options.progress && !summary.cancelled) {
        options.progress(reader.done(), reader.total());
    }
    return summary;
}

std::string template_table(const TemplateRow& row) {
    StringSink sink;
    CsvWriter writer(sink);
    writer.cell(kLabelCaption);
    for (const std::string_view caption : kInputCaptions) {
        writer.cell(caption);
    }
    writer.end_row();
    writer.cell("1");
    writer.cell(mode_text(row.mode));
    writer.cell(trim_blanks(row.concrete_grade));
    writer.cell(trim_blanks(row.steel_grade));
    writer.cell(row.rg);
    for (const std::string& text : row.section) {
        writer.cell(text);
    }
    writer.end_row();
    writer.flush();
    return std::move(sink.text);
}

} // namespace zhuheng::batch
