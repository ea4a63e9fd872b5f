// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

#include <charconv>

namespace zhuheng {

std::string number_text(double value) {
    if (value == 0.0) {
        return " 0"; // also for negative zero
    }
    char buffer[40];
    buffer[0] = ' ';
    // to_chars in the general form with precision 15 is %.15g in the "C" locale.
    const auto result =
        std::to_chars(buffer + 1, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(value < 0 ? buffer + 1 : buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string printed_number_text(double value) {
    return number_text(value) + ' ';
}

} // namespace zhuheng
