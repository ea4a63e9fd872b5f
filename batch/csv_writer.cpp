// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/csv_writer.h"

namespace zhuheng::batch {

namespace {
constexpr std::size_t kPieceSize = 1 << 16;
}

CsvWriter::CsvWriter(ByteSink& sink) : sink_(sink) {
    buffer_.reserve(kPieceSize + 4096);
    buffer_ = "\xEF\xBB\xBF";
}

void CsvWriter::text(std::string_view text) {
    if (row_started_) {
        buffer_ += ',';
    }
    row_started_ = true;
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        buffer_ += text;
        return;
    }
    buffer_ += '"';
    for (const char c : text) {
        if (c == '"') {
            buffer_ += '"';
        }
        buffer_ += c;
    }
    buffer_ += '"';
}

void CsvWriter::number(double /*value*/, std::string_view shown) {
    text(shown);
}

void CsvWriter::end_row() {
    buffer_ += "\r\n";
    row_started_ = false;
    if (buffer_.size() >= kPieceSize) {
        flush();
    }
}

void CsvWriter::finish() {
    flush();
}

void CsvWriter::flush() {
    if (!buffer_.empty()) {
        sink_.write(buffer_);
        buffer_.clear();
    }
}

} // namespace zhuheng::batch
