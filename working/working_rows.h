// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "working/working_line.h"

#include <functional>
#include <string>
#include <vector>

namespace zhuheng {

// The rows a line of the working is set in, `first` wide for its first row and `rest` for the
// others: as many clauses to a row as fit; a clause wider than a row broken before the " = " of
// its formula or its relation, then before an operator of the formula's values (outside
// parentheses first); and only a piece wider than a whole row within itself, so that no text is
// lost or runs past the edge. A row after the first begins without the blanks before its break.
std::vector<std::string> working_rows(const std::vector<LinePiece>& pieces, double first,
                                      double rest,
                                      const std::function<double(const std::string&)>& width);

// The text with each blank that a row may not end at (after a sign, or between a number and what
// follows it unless that is a sign) made a no-break space, U+00A0: set in a narrower row by a
// program of its own, the text breaks only where working_rows may break a piece.
std::string with_no_break_blanks(const std::string& text);

} // namespace zhuheng
