// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_to_number.h"

#include "engine/arithmetic_fault.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

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

// The "C" numeric locale, so that the reading never depends on the user's decimal separator.
locale_t c_numeric_locale() {
    static const locale_t loc = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

} // namespace

bool only_blanks(std::string_view text) {
    return skip_blanks(text) == text.size();
}

double text_to_number(std::string_view text) {
    std::size_t pos = skip_blanks(text);
    std::string number;
    std::size_t len = 0;

    const char sign = number_char_at(text, pos, len);
    if (sign == '+' || sign == '-') {
        number += sign;
        pos += len;
    }
    std::size_t digits = take_digits(text, pos, number);
    if (number_char_at(text, pos, len) == '.') {
        std::size_t after = pos + len;
        std::string fraction = ".";
        const std::size_t fraction_digits = take_digits(text, after, fraction);
        if (fraction_digits > 0) {
            number += fraction;
            digits += fraction_digits;
            pos = after;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    // An exponent mark counts only when digits follow it ("2E" and "2E+" read as 2).
    const char mark = number_char_at(text, pos, len);
    if (mark == 'e' || mark == 'E') {
        std::size_t after = pos + len;
        std::string exponent = "e";
        const char exp_sign = number_char_at(text, after, len);
        if (exp_sign == '+' || exp_sign == '-') {
            exponent += exp_sign;
            after += len;
        }
        if (take_digits(text, after, exponent) > 0) {
            number += exponent;
        }
    }

    errno = 0;
    const double value = strtod_l(number.c_str(), nullptr, c_numeric_locale());
    if (errno == ERANGE && std::isinf(value)) {
        throw ArithmeticFault(FaultKind::Overflow);
    }
    return value;
}

} // namespace zhuheng
