// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace zhuheng {

// The form in which a number is put into a result box: a blank where a plus sign would stand
// (a minus sign for a negative number), then at most 15 significant digits as C's %.15g writes
// them, with "E" as the exponent mark; negative zero shows as " 0". Independent of the locale.
std::string number_text(double value);

// The printed form of the report: the box form followed by one blank.
std::string printed_number_text(double value);

// The box form without its leading blank: a value within a sentence or a formula.
std::string plain_number_text(double value);

// The form of an intermediate value in the printed working: at most `digits` significant digits
// as C's %.*g writes them, "E" as the exponent mark, no leading blank; negative zero shows as 0.
std::string significant_text(double value, int digits);

} // namespace zhuheng
