// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

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
