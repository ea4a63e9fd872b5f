// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace zhuheng {

// Lenient reading of a box's text (UTF-8): leading blanks (space, tab, U+3000) are skipped, the
// longest leading number is read with "." as the decimal separator whatever the locale, and the
// rest is ignored. Full-width digits, "．", "＋", "－", "Ｅ" and "ｅ" read as their ASCII twins,
// and "。" (the ideographic full stop) as ".". A text without a leading number reads as 0. A number
// beyond the range of a double raises ArithmeticFault(Overflow); one too small for it reads as the
// nearest double (0 at the end).
double text_to_number(std::string_view text);

// Strict reading of a table's cell: the text, blanks around it aside, must be one number of the
// syntax above as a whole ("1,300", "0.8m", "5." and "" are none: nullopt). A number beyond the
// range of a double raises ArithmeticFault(Overflow), as in the lenient reading, and a text that
// this reads as a number reads as the same number there.
std::optional<double> whole_number(std::string_view text);

// The text without the blanks that the readings skip (space, tab, U+3000) at either end.
std::string_view trim_blanks(std::string_view text);

// True for an empty text and for one made only of the blanks that the reading skips.
bool only_blanks(std::string_view text);

} // namespace zhuheng
