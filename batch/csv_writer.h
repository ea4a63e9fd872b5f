// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"
#include "batch/table_writer.h"

#include <string>
#include <string_view>

namespace zhuheng::batch {

// Writes a CSV table as Excel and WPS open it directly: UTF-8 with a BOM, cells split by commas
// and quoted where they hold a comma, a quote or a line break, rows ended by CRLF; a number as
// the text it is shown as. Collects the bytes and hands them to the sink in large pieces.
class CsvWriter : public TableWriter {
public:
    explicit CsvWriter(ByteSink& sink);
    ~CsvWriter() override = default;
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void text(std::string_view text) override;
    void number(double value, std::string_view shown) override;
    void end_row() override;
    // Hands what is collected to the sink.
    void finish() override;

private:
    void flush();

    ByteSink& sink_;
    std::string buffer_;
    bool row_started_ = false;
};

} // namespace zhuheng::batch
