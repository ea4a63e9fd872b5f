// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "working/working_line.h"

#include <functional>
#include <string>
#include <vector>

namespace zhuheng {

// How many digits the numbers of the working are printed with. Each number starts at the digits
// of its form; a number that a line needs more exact gets more, up to its exact text, so that a
// checker re-computing the line from the printed numbers gets what the line states.

// Whether a result re-computed from a line's printed numbers agrees with the printed result to 6
// significant digits: they differ by at most half a unit in the 6th significant digit of the
// printed result. A printed 0 (the engine found exactly 0) is met by 0 alone: a difference of
// equal values, or a product with a factor 0, which the printed numbers give as well.
bool agrees_to_six_digits(double recomputed, double printed);

// Whether two printed numbers stand as the values a and b do: equal values printed alike, two
// others in their order (so that neither reads alike nor the wrong way round).
bool read_in_order(double a, double b, const std::string& a_text, const std::string& b_text);

// Whether the printed number floors to `kept`, as the engine floors to 1/scale.
bool floors_to(const std::string& text, double scale, double kept);

// Sets the texts of `numbers`: each at the digits of its form, or where that does not read as
// `reads_true` needs, each with the fewest k more digits (each at most up to its exact text) that
// it needs; at their exact texts when no k does.
void settle_texts(const std::vector<ShownNumber*>& numbers,
                  const std::function<bool(const std::vector<std::string>& texts)>& reads_true);

// Sets the texts of the operands of `f`'s values, its result's text as it stands: the digits of
// their forms, and where the printed values would not give the printed result to 6 significant
// digits, one digit more at a time to the operand whose printed form moves the result most, up
// to the exact texts. One field is printed alike wherever the values use it.
void settle_operands(Formula& f);

} // namespace zhuheng
