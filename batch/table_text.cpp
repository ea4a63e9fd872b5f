// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/table_text.h"

#include "batch/compound_file.h"
#include "batch/table_advice.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace zhuheng::batch {

namespace {

constexpr std::size_t kReadSize = 1 << 16;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// Bytes that are no text of the encoding read: settle_encoding then tries the next encoding.
class BadBytes : public TableError {
public:
    BadBytes(std::size_t line, const std::string& what) : TableError(what), line(line) {}
    std::size_t line;
};

std::string line_text(std::size_t line) {
    return "第 " + std::to_string(line) + " 行";
}

// The length of the longest start of `bytes` made of whole, well-formed UTF-8 sequences (no
// overlong form, no surrogate, nothing above U+10FFFF).
std::size_t valid_utf8_length(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        if (i + len > n || s[i + 1] < lo || s[i + 1] > hi) {
            return i;
        }
        for (std::size_t k = 2; k < len; ++k) {
            if (s[i + k] < 0x80 || s[i + k] > 0xBF) {
                return i;
            }
        }
        i += len;
    }
    return n;
}

std::size_t line_breaks(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Reads until `buffer` holds `size` bytes or the source ends.
std::size_t read_fully(ByteSource& in, char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const std::size_t n = in.read(buffer + got, size - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    return got;
}

// Reads the whole source through a TableText of `encoding`, keeping nothing.
void decode_all(ByteSource& in, TableEncoding encoding, const GbkDecoder& gbk) {
    in.rewind();
    TableText text(in, encoding, gbk);
    std::string piece;
    while (text.next(piece)) {
    }
}

} // namespace

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

TableEncoding settle_encoding(ByteSource& in, const GbkDecoder& gbk) {
    in.rewind();
    char start[4] = {};
    const std::string_view head(start, read_fully(in, start, sizeof start));
    auto starts_with = [&](std::string_view prefix) { return head.substr(0, prefix.size()) == prefix; };
    if (starts_with("PK\x03\x04")) {
        throw TableError(std::string("这是一个 Excel 工作簿（.xlsx），不是 CSV 表格。") +
                         std::string(kSaveAsCsv));
    }
    if (starts_with("\xD0\xCF\x11\xE0")) {
        throw TableError(compound_file_refusal(in));
    }
    if (starts_with("\xFE\xFF")) {
        throw TableError(std::string("这个文件是 UTF-16 大端序（big-endian）编码，无法读取。") +
                         std::string(kSaveAsCsv));
    }

    TableEncoding encoding = TableEncoding::Utf8;
    if (starts_with(kUtf16LeBom)) {
        encoding = TableEncoding::Utf16Le;
    }
    if (encoding == TableEncoding::Utf16Le || starts_with(kUtf8Bom)) {
        decode_all(in, encoding, gbk);
        in.rewind();
        return encoding;
    }
    // Without a BOM: UTF-8 when every byte of it is; GBK otherwise.
    try {
        decode_all(in, TableEncoding::Utf8, gbk);
    } catch (const BadBytes& not_utf8) {
        if (!gbk) {
            throw TableError(line_text(not_utf8.line) +
                             "有不是 UTF-8 编码的字节，这里也无法按 GBK（简体中文 ANSI）读取。" +
                             std::string(kSaveAsCsv));
        }
        try {
            decode_all(in, TableEncoding::Gbk, gbk);
        } catch (const BadBytes& not_gbk) {
            // The encoding that reads further is the likelier one: its line is the one to mend.
            throw TableError(line_text(std::max(not_utf8.line, not_gbk.line)) +
                             "的字节既不是 UTF-8 也不是 GBK（简体中文 ANSI）编码的文字，"
                             "这个文件可能不是文本表格。" +
                             std::string(kSaveAsCsv));
        }
        encoding = TableEncoding::Gbk;
    }
    in.rewind();
    return encoding;
}

TableText::TableText(ByteSource& in, TableEncoding encoding, const GbkDecoder& gbk)
    : in_(in), encoding_(encoding), gbk_(gbk) {}

bool TableText::fill() {
    if (ended_) {
        return false;
    }
    const std::size_t old = pending_.size();
    pending_.resize(old + kReadSize);
    const std::size_t n = in_.read(pending_.data() + old, kReadSize);
    pending_.resize(old + n);
    bytes_read_ += n;
    ended_ = n == 0;
    return !ended_;
}

bool TableText::next(std::string& out) {
    out.clear();
    while (out.empty()) {
        const bool more = fill();
        if (!started_) {
            // Enough bytes to see a BOM: any source gives at least one byte a call.
            while (pending_.size() < 3 && fill()) {
            }
            const std::string_view bom =
                encoding_ == TableEncoding::Utf16Le ? kUtf16LeBom : kUtf8Bom;
            if (encoding_ != TableEncoding::Gbk && pending_.compare(0, bom.size(), bom) == 0) {
                pending_.erase(0, bom.size());
            }
            started_ = true;
        }
        const bool at_end = !more || ended_;
        switch (encoding_) {
        case TableEncoding::Utf8:
            decode_utf8(at_end, out);
            break;
        case TableEncoding::Gbk:
            decode_gbk(at_end, out);
            break;
        case TableEncoding::Utf16Le:
            decode_utf16(at_end, out);
            break;
        }
        if (const auto nul = out.find('\0'); nul != std::string::npos) {
            throw TableError(line_text(lines_before_ + line_breaks(std::string_view(out).substr(0, nul)) + 1) +
                             "含有空字符（NUL），这不是文本表格，可能是二进制文件。" +
                             std::string(kSaveAsCsv));
        }
        count_lines(out);
        if (at_end && pending_.empty()) {
            return !out.empty();
        }
    }
    return true;
}

void TableText::count_lines(std::string_view text) {
    lines_before_ += line_breaks(text);
}

void TableText::bad_bytes(std::string_view decoded_before) const {
    const std::size_t line = lines_before_ + line_breaks(decoded_before) + 1;
    const char* what = encoding_ == TableEncoding::Utf16Le ? "有不成对的 UTF-16 字符。"
                       : encoding_ == TableEncoding::Gbk   ? "有不是 GBK 编码的字节。"
                                                           : "有不是 UTF-8 编码的字节。";
    throw BadBytes(line, line_text(line) + what + std::string(kSaveAsCsv));
}

void TableText::decode_utf8(bool at_end, std::string& out) {
    const std::size_t valid = valid_utf8_length(pending_);
    // A sequence cut by the end of a read is whole in the next one.
    if (valid < pending_.size() && (at_end || pending_.size() - valid >= 4)) {
        bad_bytes(std::string_view(pending_).substr(0, valid));
    }
    out.assign(pending_, 0, valid);
    pending_.erase(0, valid);
}

void TableText::decode_gbk(bool at_end, std::string& out) {
    // 0x0A is never the trail byte of a GBK character: a cut after one splits no character.
    const std::size_t cut = at_end ? pending_.size() : pending_.rfind('\n') + 1;
    if (cut == 0) {
        if (pending_.size() > kLongestLine) {
            throw TableError(line_text(lines_before_ + 1) + "过长（超过 1 MB），这不像是一张梁的表格。");
        }
        return;
    }
    const std::string_view whole(pending_.data(), cut);
    std::optional<std::string> text = gbk_ ? gbk_(whole) : std::nullopt;
    if (!text) {
        // Find the line: decode line by line up to the first that fails.
        std::size_t from = 0;
        std::size_t lines = 0;
        while (from < whole.size()) {
            const std::size_t end = std::min(whole.find('\n', from), whole.size() - 1) + 1;
            if (!gbk_ || !gbk_(whole.substr(from, end - from))) {
                break;
            }
            from = end;
            ++lines;
        }
        bad_bytes(std::string(lines, '\n'));
    }
    out = std::move(*text);
    pending_.erase(0, cut);
}

void TableText::decode_utf16(bool at_end, std::string& out) {
    const auto* s = reinterpret_cast<const unsigned char*>(pending_.data());
    std::size_t i = 0;
    const std::size_t n = pending_.size();
    while (i + 1 < n) {
        const char32_t unit = static_cast<char32_t>(s[i] | (s[i + 1] << 8));
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 3 >= n) {
                break; // the low half comes with the next read
            }
            const char32_t low = static_cast<char32_t>(s[i + 2] | (s[i + 3] << 8));
            if (low < 0xDC00 || low > 0xDFFF) {
                bad_bytes(out);
            }
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            i += 4;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            bad_bytes(out);
        } else {
            append_utf8(out, unit);
            i += 2;
        }
    }
    if (at_end && i < n) {
        bad_bytes(out); // half a character, or a high surrogate without its low one, at the end
    }
    pending_.erase(0, i);
}

} // namespace zhuheng::batch
