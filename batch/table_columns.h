// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/shown_results.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The columns of a table of beams: the window's captions naming the inputs, the 编号 of a row,
// the result columns an earlier run wrote (or a checker typed), and any other column.
namespace zhuheng::batch {

// The inputs, in the order of the window's boxes.
enum InputColumn : std::size_t {
    kModeColumn,
    kConcreteColumn,
    kSteelColumn,
    kStrengthColumn,
    kAreaColumn,
    kCoverColumn,     // the first of the seven section texts but the area
    kFlangeWidthColumn,
    kFlangeThicknessColumn,
    kWebWidthColumn,
    kHeightColumn,
    kMomentColumn,
    kInputColumnCount
};
inline constexpr std::array<std::string_view, kInputColumnCount> kInputCaptions = {
    "计算类型",         "混凝土标号",       "钢筋等级",         "钢筋强度（MPa）",
    "钢筋面积（cm2）",  "保护层厚度（m）",  "翼缘宽度（m）",    "翼缘厚度（m）",
    "梁肋宽度（m）",    "梁体高度（m）",    "承受弯矩（KN.m）"};
inline constexpr std::string_view kLabelCaption = "编号";

// The result columns a run fills: the design's fourteen, then the check's ultimate moment and
// verdict (its height shares the design's 计算高度).
inline constexpr std::size_t kResultCount = kDesignResultNames.size() + 2;
inline constexpr std::size_t kMomentResult = kDesignResultNames.size();
inline constexpr std::size_t kVerdictResult = kMomentResult + 1;
inline constexpr std::size_t kHeightResult = 2;
static_assert(kDesignResultNames[kHeightResult] == kCheckResultNames[0]);
inline constexpr std::array<std::string_view, kResultCount> kResultNames = [] {
    std::array<std::string_view, kResultCount> names{};
    for (std::size_t i = 0; i < kDesignResultNames.size(); ++i) {
        names[i] = kDesignResultNames[i];
    }
    names[kMomentResult] = kCheckResultNames[1];
    names[kVerdictResult] = kVerdictName;
    return names;
}();
// Written after the results: what a row was told, and whether its given results agree.
inline constexpr std::string_view kNoteName = "提示";
inline constexpr std::string_view kAgreementName = "核对";
inline constexpr std::string_view kDifferencesName = "核对说明";

// Where each column is in a table's rows.
struct TableColumns {
    std::size_t width = 0; // cells of the header
    std::array<std::size_t, kInputColumnCount> input{};
    std::optional<std::size_t> label;
    std::array<std::optional<std::size_t>, kResultCount> given{}; // results the table holds
    std::vector<std::size_t> echoed; // the columns written again as given, in their order
    bool compares = false;           // some result column is given
};

// Reads the header (its first line `line`). Captions match in any order, with full- or
// half-width brackets, blanks around them and the case of Latin letters alike. Throws
// TableError naming each column that is missing or doubled.
TableColumns read_header(const std::vector<std::string>& header, std::size_t line);

} // namespace zhuheng::batch
