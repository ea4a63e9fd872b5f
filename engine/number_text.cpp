// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

#include <algorithm>
#include <charconv>

namespace zhuheng {

std::string significant_text(double value, int digits) {
    if (value == 0.0) {
        return "0"; // also for negative zero
    }
    char buffer[40];
    // to_chars in the general form with a precision is %.*g in the "C" locale.
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

double significant_text_value(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

int exact_digits(double value) {
    // The shortest decimal that reads back as the value has as many digits as to_chars writes
    // without a precision; none with fewer does. Its rounding to that many digits reads back but
    // for a value next to a power of two, where the decimals below it lie closer: then more.
    char buffer[40];
    const auto shortest =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    int digits = 0;
    for (const char* c = buffer; c != shortest.ptr && *c != 'e'; ++c) {
        digits += *c >= '0' && *c <= '9';
    }
    for (digits = std::max(digits, 1); digits < 17; ++digits) {
        if (significant_text_value(significant_text(value, digits)) == value) {
            break;
        }
    }
    return digits;
}

std::string text_with_digits(double value, int digits) {
    // Up to 15 digits a decimal reads back as itself (DBL_DIG), so a value whose exact text has
    // no more prints the same at any count from there to 15.
    if (digits <= 15) {
        return significant_text(value, digits);
    }
    return significant_text(value, std::min(digits, std::max(exact_digits(value), 15)));
}

std::string number_text(double value) {
    const std::string digits = significant_text(value, 15);
    return value < 0 ? digits : ' ' + digits;
}

std::string plain_number_text(double value) {
    return significant_text(value, 15);
}

std::string printed_number_text(double value) {
    return number_text(value) + ' ';
}

} // namespace zhuheng
