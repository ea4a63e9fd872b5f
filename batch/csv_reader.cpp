// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/csv_reader.h"

#include "batch/table_advice.h"
#include "engine/text_to_number.h"

#include <algorithm>
#include <string_view>

namespace zhuheng::batch {

namespace {

bool all_blank(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin(), cells.end(),
                       [](const std::string& c) { return only_blanks(c); });
}

// ',' where the line holds one, else a tab, else ';', else ','.
char separator_of(std::string_view line) {
    for (const char c : {',', '\t', ';'}) {
        if (line.find(c) != std::string_view::npos) {
            return c;
        }
    }
    return ',';
}

[[noreturn]] void too_long(std::size_t line) {
    throw TableError("第 " + std::to_string(line) +
                     " 行过长（超过 1 MB），这不像是一张梁的表格；若是某个引号没有配对，"
                     "其后的整个文件都会被读成一个单元格。");
}

} // namespace

bool CsvReader::more() {
    if (pos_ < buffer_.size()) {
        return true;
    }
    buffer_.clear();
    pos_ = 0;
    return text_.next(buffer_);
}

char CsvReader::choose_separator() {
    // The first line that is not blank, read ahead into the buffer.
    std::size_t start = pos_;
    for (;;) {
        const std::size_t first = buffer_.find_first_not_of("\r\n", start);
        if (first != std::string::npos) {
            const std::size_t end = buffer_.find_first_of("\r\n", first);
            if (end != std::string::npos) {
                return separator_ = separator_of(std::string_view(buffer_).substr(first, end - first));
            }
            start = first;
        } else {
            start = buffer_.size();
        }
        if (buffer_.size() - pos_ > kLongestLine) {
            too_long(line_);
        }
        std::string piece;
        if (!text_.next(piece)) {
            // One line without an end: read it as it stands.
            return separator_ = separator_of(std::string_view(buffer_).substr(pos_));
        }
        buffer_ += piece;
    }
}

bool CsvReader::next(Record& record) {
    enum class State { CellStart, Plain, Quoted, QuoteInQuoted };
    record.faults.clear();
    for (;;) {
        record.cells.clear();
        if (!more()) {
            return false;
        }
        record.line = line_;
        std::size_t quote_line = line_;
        std::size_t size = 0;
        std::string cell;
        State state = State::CellStart;
        bool ended = false;
        while (!ended) {
            if (!more()) {
                if (state == State::Quoted) {
                    throw TableError("第 " + std::to_string(quote_line) +
                                     " 行有一个引号，直到文件末尾也没有配对的引号。");
                }
                break;
            }
            const char c = buffer_[pos_];
            if (c == '\n' && after_cr_) {
                // The LF of a CRLF whose CR ended the line (or was kept in a quoted cell).
                after_cr_ = false;
                ++pos_;
                if (state == State::Quoted) {
                    cell += c;
                }
                continue;
            }
            after_cr_ = c == '\r';
            if (c == '\r' || c == '\n') {
                ++line_;
            }
            ++pos_;
            if (++size > kLongestLine) {
                too_long(record.line);
            }
            switch (state) {
            case State::CellStart:
                if (c == '"') {
                    state = State::Quoted;
                    quote_line = line_;
                    break;
                }
                [[fallthrough]];
            case State::Plain:
                if (c == separator_) {
                    record.cells.push_back(std::move(cell));
                    cell.clear();
                    state = State::CellStart;
                } else if (c == '\r' || c == '\n') {
                    ended = true;
                } else {
                    // Up to the next character that ends the cell, in one piece.
                    const char stops[] = {separator_, '\r', '\n', '\0'};
                    const std::size_t end =
                        std::min(buffer_.find_first_of(stops, pos_), buffer_.size());
                    const std::size_t extra = std::min(end - pos_, kLongestLine + 1 - size);
                    cell += c;
                    cell.append(buffer_, pos_, extra);
                    pos_ += extra;
                    size += extra;
                    state = State::Plain;
                }
                break;
            case State::Quoted:
                if (c == '"') {
                    state = State::QuoteInQuoted;
                } else {
                    cell += c;
                }
                break;
            case State::QuoteInQuoted:
                if (c == '"') {
                    cell += c; // a doubled quote
                    state = State::Quoted;
                } else if (c == separator_) {
                    record.cells.push_back(std::move(cell));
                    cell.clear();
                    state = State::CellStart;
                } else if (c == '\r' || c == '\n') {
                    ended = true;
                } else {
                    // Text after the closing quote stays with the cell, as Excel reads it.
                    cell += c;
                    state = State::Plain;
                }
                break;
            }
        }
        record.cells.push_back(std::move(cell));
        if (!all_blank(record.cells)) {
            return true;
        }
    }
}

CsvRecords::CsvRecords(ByteSource& in, const GbkDecoder& gbk)
    : in_(in), text_(in, settle_encoding(in, gbk), gbk), reader_(text_) {
    if (reader_.choose_separator() == ';') {
        throw TableError("这个表格的各列以分号（;）分隔，这里读的是以逗号分隔的表格。" +
                         std::string(kSaveAsCsv));
    }
}

} // namespace zhuheng::batch
