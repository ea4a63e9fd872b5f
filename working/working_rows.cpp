// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/working_rows.h"

#include <algorithm>
#include <string_view>

namespace zhuheng {

namespace {

struct CodePoint {
    std::size_t offset; // of its first byte
    char32_t value;
};

std::vector<CodePoint> code_points(const std::string& text) {
    std::vector<CodePoint> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + k < text.size(); ++k) {
            value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back({i, value});
        i += length;
    }
    return out;
}

bool one_of(char32_t c, std::u32string_view set) {
    return set.find(c) != std::u32string_view::npos;
}

// Whether a row may end at the blank `cps[j]`: not after a sign, which stays with what it applies
// to, nor after a number unless a sign follows (a number keeps its unit or the word it counts).
bool may_break_at_blank(const std::vector<CodePoint>& cps, std::size_t j) {
    constexpr std::u32string_view signs = U"=×+−≤≥>/：、";
    const char32_t before = j > 0 ? cps[j - 1].value : U' ';
    const char32_t after = j + 1 < cps.size() ? cps[j + 1].value : U' ';
    const bool digit = before >= U'0' && before <= U'9';
    return !one_of(before, signs) && (!digit || one_of(after, signs));
}

// Where a piece wider than a row of `room` is cut, at the last place that fits of the best kind
// there is: a blank a row may end at; then between two Chinese characters, no closing mark
// starting a row and no opening one ending it; then between any two characters. One character
// at least.
std::size_t overflow_cut(const std::string& text, double room,
                         const std::function<double(const std::string&)>& width) {
    const std::vector<CodePoint> cps = code_points(text);
    const auto end_of = [&](std::size_t k) { return k < cps.size() ? cps[k].offset : text.size(); };
    std::size_t fit = 1; // how many code points fit
    while (fit < cps.size() && width(text.substr(0, end_of(fit + 1))) <= room) {
        ++fit;
    }
    for (std::size_t j = fit; j > 0; --j) {
        if (j < cps.size() && cps[j].value == U' ' && may_break_at_blank(cps, j)) {
            return cps[j].offset;
        }
    }
    for (std::size_t j = fit; j > 0; --j) {
        if (j < cps.size() && cps[j - 1].value >= 0x2E80 && cps[j].value >= 0x2E80 &&
            !one_of(cps[j].value, U"，；：、。）") && cps[j - 1].value != U'（') {
            return cps[j].offset;
        }
    }
    return end_of(fit);
}

} // namespace

std::string with_no_break_blanks(const std::string& text) {
    const std::vector<CodePoint> cps = code_points(text);
    std::string out;
    for (std::size_t j = 0; j < cps.size(); ++j) {
        const std::size_t end = j + 1 < cps.size() ? cps[j + 1].offset : text.size();
        const bool fixed = cps[j].value == U' ' && !may_break_at_blank(cps, j);
        out += fixed ? std::string("\u00A0") : text.substr(cps[j].offset, end - cps[j].offset);
    }
    return out;
}

std::vector<std::string> working_rows(const std::vector<LinePiece>& pieces, double first,
                                      double rest,
                                      const std::function<double(const std::string&)>& width) {
    std::vector<LinePiece> left = pieces;
    std::vector<std::string> rows;
    std::size_t i = 0;
    while (i < left.size()) {
        const double room = rows.empty() ? first : rest;
        const auto row_text = [&](std::size_t end) {
            std::string t;
            for (std::size_t j = i; j < end; ++j) {
                t += left[j].text;
            }
            return rows.empty() ? t : t.substr(std::min(t.find_first_not_of(' '), t.size()));
        };
        // The longest run of pieces that fits and ends at a break of the best kind there is.
        std::size_t end = i;
        for (const LineBreak kind : {LineBreak::Clause, LineBreak::Equals, LineBreak::Operator,
                                     LineBreak::NestedOperator}) {
            for (std::size_t j = left.size(); j > i && end == i; --j) {
                const bool may_end = j == left.size() || left[j].before <= kind;
                if (may_end && width(row_text(j)) <= room) {
                    end = j;
                }
            }
            if (end > i) {
                break;
            }
        }
        if (end == i) {
            // One piece wider than the row.
            const std::string whole = row_text(i + 1);
            const std::size_t cut = overflow_cut(whole, room, width);
            rows.push_back(whole.substr(0, cut));
            left[i] = {whole.substr(cut), LineBreak::Operator};
            if (left[i].text.find_first_not_of(' ') == std::string::npos) {
                ++i;
            }
            continue;
        }
        rows.push_back(row_text(end));
        i = end;
    }
    return rows;
}

} // namespace zhuheng
