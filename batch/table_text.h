// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"

#include <cstdint>
#include <string>

// A table's bytes as UTF-8 text, piece by piece, whatever encoding Excel or WPS saved it in.
namespace zhuheng::batch {

enum class TableEncoding {
    Utf8,    // with a BOM or without one
    Gbk,     // code page 936: what Excel saves as "CSV（逗号分隔）" on a Chinese Windows
    Utf16Le, // Excel's "Unicode 文本": with its BOM, tab-separated
};

// The longest line a table may hold: no row of beams comes near it, and a file with a longer one
// (a binary file, a quote never closed) is read no further than this.
inline constexpr std::size_t kLongestLine = 1 << 20;

// Settles the encoding in a first pass over the whole of `in` (its first bytes, then every byte
// decoded), so that a file that is no text, or no text of one encoding, stops before anything is
// written. Throws TableError, saying why and what to do; leaves `in` rewound.
TableEncoding settle_encoding(ByteSource& in, const GbkDecoder& gbk);

// Appends the code point `cp` to `out` in UTF-8.
void append_utf8(std::string& out, char32_t cp);

class TableText {
public:
    TableText(ByteSource& in, TableEncoding encoding, const GbkDecoder& gbk);

    // The next piece of the text (without a BOM) into `out`; false at the end. Throws TableError
    // naming the line for bytes that are no text of the encoding, a NUL, or a line beyond
    // kLongestLine that no line break of a GBK file ends.
    bool next(std::string& out);

    // The bytes read from the source so far.
    std::uint64_t bytes_read() const { return bytes_read_; }

private:
    bool fill();                          // appends to pending_; false at the end of the source
    void decode_utf8(bool at_end, std::string& out);
    void decode_gbk(bool at_end, std::string& out);
    void decode_utf16(bool at_end, std::string& out);
    void count_lines(std::string_view text);
    [[noreturn]] void bad_bytes(std::string_view decoded_before) const;

    ByteSource& in_;
    TableEncoding encoding_;
    const GbkDecoder& gbk_;
    std::string pending_;    // raw bytes read and not yet decoded
    std::uint64_t bytes_read_ = 0;
    std::size_t lines_before_ = 0; // line breaks in the text handed out so far
    bool started_ = false;   // the BOM, if any, is behind
    bool ended_ = false;
};

} // namespace zhuheng::batch
