// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/record_source.h"
#include "batch/table_text.h"

#include <cstddef>
#include <string>

// The records of a CSV table as Excel and WPS write it (RFC 4180): cells split by the separator,
// quoted cells holding separators, doubled quotes and line breaks; CRLF, LF or CR ending a record.
namespace zhuheng::batch {

class CsvReader {
public:
    explicit CsvReader(TableText& text) : text_(text) {}

    // The separator that the first line that is not blank uses: ',' where it holds one, else a
    // tab (Excel's "Unicode 文本" and "文本文件（制表符分隔）"), else ';' where it holds one
    // (which no table here is read with), else ','. Reads no record.
    char choose_separator();

    // The next record that holds a cell that is not blank (blank lines and rows of separators
    // and blanks alone are skipped); false at the end. Throws TableError for a quote that no quote closes
    // and for a record longer than kLongestLine.
    bool next(Record& record);

private:
    bool more(); // at least one character at pos_; false at the end of the text

    TableText& text_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    bool after_cr_ = false; // a CR ended the last line: a LF right after it belongs to it
    char separator_ = ',';
};

// The records of a CSV table in the file `in`: its encoding settled first (settle_encoding),
// a table whose columns a semicolon splits refused.
class CsvRecords : public RecordSource {
public:
    CsvRecords(ByteSource& in, const GbkDecoder& gbk);
    bool next(Record& record) override { return reader_.next(record); }
    std::uint64_t done() const override { return text_.bytes_read(); }
    std::uint64_t total() const override { return in_.size(); }

private:
    ByteSource& in_;
    TableText text_;
    CsvReader reader_;
};

} // namespace zhuheng::batch
