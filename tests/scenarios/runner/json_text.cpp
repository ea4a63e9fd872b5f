// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_text.h"

#include <charconv>
#include <cstdint>

namespace scenario {

namespace {

void append_utf8(std::string& out, std::uint32_t cp) {
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

std::optional<std::uint32_t> hex4(std::string_view text, std::size_t pos) {
    if (pos + 4 > text.size()) {
        return std::nullopt;
    }
    std::uint32_t v = 0;
    const auto r = std::from_chars(text.data() + pos, text.data() + pos + 4, v, 16);
    if (r.ec != std::errc() || r.ptr != text.data() + pos + 4) {
        return std::nullopt;
    }
    return v;
}

} // namespace

std::optional<std::string> parse_json_string(std::string_view text) {
    if (text.size() < 2 || text.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    std::size_t i = 1;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            return i + 1 == text.size() ? std::optional<std::string>(out) : std::nullopt;
        }
        if (c < 0x20) {
            return std::nullopt; // control characters must be escaped
        }
        if (c != '\\') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) {
            return std::nullopt;
        }
        const char e = text[i + 1];
        i += 2;
        switch (e) {
        case '"':
        case '\\':
        case '/':
            out += e;
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            auto cp = hex4(text, i);
            if (!cp) {
                return std::nullopt;
            }
            i += 4;
            if (*cp >= 0xD800 && *cp <= 0xDBFF) {
                // A high surrogate must be followed by an escaped low one.
                if (text.substr(i, 2) != "\\u") {
                    return std::nullopt;
                }
                const auto low = hex4(text, i + 2);
                if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                    return std::nullopt;
                }
                i += 6;
                *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
            } else if (*cp >= 0xDC00 && *cp <= 0xDFFF) {
                return std::nullopt;
            }
            append_utf8(out, *cp);
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string json_string(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const unsigned char c = static_cast<unsigned char>(ch);
        if (text.substr(i, 2) == "\xC2\xA0") {
            out += "\\u00a0";
            ++i;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                static const char* const digits = "0123456789abcdef";
                out += "\\u00";
                out += digits[c >> 4];
                out += digits[c & 0xF];
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string json_number(double value) {
    char buffer[40];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, r.ptr);
}

} // namespace scenario
