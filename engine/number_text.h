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

// The value of a text that significant_text wrote (plain ASCII: it needs none of the lenient
// reading of text_to_number, and reads alike with it).
double significant_text_value(const std::string& text);

// The fewest significant digits (1 to 17) whose significant_text reads back, by text_to_number,
// as `value` itself.
int exact_digits(double value);

// `value` with `digits` significant digits as significant_text writes them, but never more than
// its exact text needs: from there on more digits would show only the binary noise of the double
// (0.1 as 0.10000000000000001).
std::string text_with_digits(double value, int digits);

} // namespace zhuheng
