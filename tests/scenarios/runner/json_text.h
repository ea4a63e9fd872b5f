// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// Reads a JSON string literal that makes up the whole of `text`; nullopt if it is not one.
// The result is UTF-8.
std::optional<std::string> parse_json_string(std::string_view text);

// Writes `text` (UTF-8) as a JSON string literal; non-ASCII characters stay as they are, but for
// the no-break space, written \u00a0 so that it does not pass for a blank.
std::string json_string(std::string_view text);

// A double as JSON that reads back to the same value (17 significant digits).
std::string json_number(double value);

} // namespace scenario
