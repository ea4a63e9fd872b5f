// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace zhuheng::batch {

// What to do with a file that is not a table that can be read.
inline constexpr std::string_view kSaveAsCsv =
    "请在 Excel 或 WPS 中“另存为”CSV（逗号分隔）或 CSV UTF-8（逗号分隔）后再试。";

} // namespace zhuheng::batch
