// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_to_number.h"

#include "engine/arithmetic_fault.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace zhuheng {

namespace {

// Reads one character of a number at `pos`: an ASCII one as it is, a full-width form as its
// ASCII twin. Returns 0 for anything else; `len` gets the number of bytes taken.
char number_char_at(std::string_view t, std::size_t pos, std::size_t& len) {
    if (pos >= t.size()) {
        return 0;
    }
    const unsigned char c = static_cast<unsigned char>(t[pos]);
    if ((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E') {
        len = 1;
        return static_cast<char>(c);
    }
    // U+FF0B..U+FF19 are EF BC 8B..99, U+FF25 is EF BC A5, U+FF45 is EF BD 85, U+3002 is E3 80 82.
    if ((c != 0xEF && c != 0xE3) || pos + 2 >= t.size()) {
        return 0;
    }
    const unsigned char c1 = static_cast<unsigned char>(t[pos + 1]);
    const unsigned char c2 = static_cast<unsigned char>(t[pos + 2]);
    len = 3;
    if (c == 0xE3) {
        // A Chinese input method in Chinese punctuation mode types "。" for the "." key.
        return c1 == 0x80 && c2 == 0x82 ? '.' : 0;
    }
    if (c1 == 0xBC) {
        if (c2 >= 0x90 && c2 <= 0x99) {
            return static_cast<char>('0' + (c2 - 0x90));
        }
        switch (c2) {
        case 0x8B:
            return '+';
        case 0x8D:
            return '-';
        case 0x8E:
            return '.';
        case 0xA5:
            return 'E';
        default:
            return 0;
        }
    }
    if (c1 == 0xBD && c2 == 0x85) {
        return 'e';
    }
    return 0;
}

std::size_t skip_blanks(std::string_view t) {
    std::size_t pos = 0;
    while (pos < t.size()) {
        if (t[pos] == ' ' || t[pos] == '\t') {
            ++pos;
        } else if (t.substr(pos, 3) == "\u3000") {
            pos += 3;
        } else {
            break;
        }
    }
    return pos;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Appends the digits at `pos` to `out`; returns how many were taken.
std::size_t take_digits(std::string_view t, std::size_t& pos, std::string& out) {
    std::size_t count = 0;
    std::size_t len = 0;
    for (char c = number_char_at(t, pos, len); is_digit(c); c = number_char_at(t, pos, len)) {
        out += c;
        pos += len;
        ++count;
    }
    return count;
}

// Whether `number` ([+-]digits[.digits][e[+-]digits], some digit not 0), which no double holds,
// is too large rather than too small: its decimal order of magnitude is then above zero. Only the
// side of zero matters, so the exponent may stop growing.
bool beyond_largest(std::string_view number) {
    const std::size_t mark = number.find('e');
    long long order = 0;
    if (mark != std::string_view::npos) {
        std::string_view exponent = number.substr(mark + 1);
        const bool negative = exponent.front() == '-';
        if (exponent.front() == '+' || negative) {
            exponent.remove_prefix(1);
        }
        for (const char c : exponent) {
            order = std::min(order * 10 + (c - '0'), 1000000LL);
        }
        if (negative) {
            order = -order;
        }
        number = number.substr(0, mark);
    }
    const std::size_t first = number.find_first_of("123456789");
    const std::size_t point = std::min(number.find('.'), number.size());
    // Digits before the point from the first significant one, or zeros after it before that one.
    return order + static_cast<long long>(point) - static_cast<long long>(first) > 0;
}

} // namespace

bool only_blanks(std::string_view text) {
    return skip_blanks(text) == text.size();
}

namespace {

// The longest number at `pos` in plain ASCII ([+-]digits[.digits][e[+-]digits], "" when no digit
// leads it): the one syntax of both readings. `pos` moves past what was taken.
std::string scan_number(std::string_view text, std::size_t& pos) {
    std::string number;
    std::size_t len = 0;

    const char sign = number_char_at(text, pos, len);
    std::size_t at = pos;
    if (sign == '+' || sign == '-') {
        number += sign;
        at += len;
    }
    std::size_t digits = take_digits(text, at, number);
    if (number_char_at(text, at, len) == '.') {
        std::size_t after = at + len;
        std::string fraction = ".";
        const std::size_t fraction_digits = take_digits(text, after, fraction);
        if (fraction_digits > 0) {
            number += fraction;
            digits += fraction_digits;
            at = after;
        }
    }
    if (digits == 0) {
        return {};
    }
    // An exponent mark counts only when digits follow it ("2E" and "2E+" read as 2).
    const char mark = number_char_at(text, at, len);
    if (mark == 'e' || mark == 'E') {
        std::size_t after = at + len;
        std::string exponent = "e";
        const char exp_sign = number_char_at(text, after, len);
        if (exp_sign == '+' || exp_sign == '-') {
            exponent += exp_sign;
            after += len;
        }
        if (take_digits(text, after, exponent) > 0) {
            number += exponent;
            at = after;
        }
    }
    pos = at;
    return number;
}

// The double of a number that scan_number took.
double number_value(const std::string& number) {
    // std::from_chars reads "." whatever the locale, rounds to nearest as strtod does, and takes
    // no "+". Out of range it leaves `value` as it was.
    const char* first = number.data();
    if (*first == '+') {
        ++first;
    }
    double value = 0.0;
    if (std::from_chars(first, number.data() + number.size(), value).ec ==
        std::errc::result_out_of_range) {
        if (beyond_largest(number)) {
            throw ArithmeticFault(FaultKind::Overflow);
        }
        // Too small even for the smallest subnormal: zero with the number's sign.
        value = std::copysign(0.0, number.front() == '-' ? -1.0 : 1.0);
    }
    return value;
}

} // namespace

double text_to_number(std::string_view text) {
    std::size_t pos = skip_blanks(text);
    const std::string number = scan_number(text, pos);
    return number.empty() ? 0.0 : number_value(number);
}

std::optional<double> whole_number(std::string_view text) {
    text = trim_blanks(text);
    std::size_t pos = 0;
    const std::string number = scan_number(text, pos);
    if (number.empty() || pos != text.size()) {
        return std::nullopt;
    }
    return number_value(number);
}

std::string_view trim_blanks(std::string_view text) {
    text.remove_prefix(skip_blanks(text));
    while (!text.empty()) {
        if (text.back() == ' ' || text.back() == '\t') {
            text.remove_suffix(1);
        } else if (text.size() >= 3 && text.substr(text.size() - 3) == "\u3000") {
            text.remove_suffix(3);
        } else {
            break;
        }
    }
    return text;
}

} // namespace zhuheng
