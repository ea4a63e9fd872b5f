// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <array>
#include <string_view>

namespace zhuheng {

// The numbers a completed run shows, in the order of the result boxes: the design's steel area
// (cm2), ratio (%), compression-zone height (m) and the bar counts of 12 to 34 mm; the check's
// height (m) and ultimate moment (KN.m), followed by its verdict as text. Each with the name a
// table's column gives it, the box's caption without its unit.
inline constexpr std::array<std::string_view, 14> kDesignResultNames = {
    "受拉钢筋面积", "配筋率", "计算高度", "D12", "D14", "D16", "D18",
    "D20",          "D22",    "D25",      "D28", "D30", "D32", "D34"};
inline constexpr std::array<std::string_view, 2> kCheckResultNames = {"计算高度", "最大弯矩"};
inline constexpr std::string_view kVerdictName = "结果";

// The mode buttons' captions, which name a run's mode wherever it is written: a table's
// 计算类型, a calc book's summary. "" for None.
inline constexpr std::string_view kDesignName = "配筋计算";
inline constexpr std::string_view kCheckName = "强度复核";
constexpr std::string_view mode_name(CalcMode mode) {
    return mode == CalcMode::Design ? kDesignName
           : mode == CalcMode::Check ? kCheckName
                                     : std::string_view();
}

// Call only for a state that a completed run of that mode left: its results are all set.
std::array<double, kDesignResultNames.size()> design_results(const CalcState& state);
std::array<double, kCheckResultNames.size()> check_results(const CalcState& state);

} // namespace zhuheng
