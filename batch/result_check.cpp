// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_check.h"

#include "batch/row_cells.h"
#include "engine/arithmetic_fault.h"
#include "engine/text_to_number.h"

#include <optional>

namespace zhuheng::batch {

namespace {

std::optional<double> number_of(std::string_view text) {
    try {
        return whole_number(text);
    } catch (const ArithmeticFault&) {
        return std::nullopt;
    }
}

bool same_result(std::size_t result, std::string_view given, std::string_view computed) {
    if (result == kVerdictResult || computed.empty()) {
        return given == computed;
    }
    const std::optional<double> a = number_of(given);
    return a && a == number_of(computed);
}

} // namespace

ResultCheck compare_given_results(const std::vector<std::string>& cells, const TableColumns& columns,
                          const std::array<std::string, kResultCount>& computed) {
    ResultCheck check;
    for (std::size_t r = 0; r < kResultCount; ++r) {
        if (!columns.given[r]) {
            continue;
        }
        const std::string_view given = trim_blanks(cell_at(cells, *columns.given[r]));
        if (given.empty()) {
            continue;
        }
        if (check.agreement == Agreement::None) {
            check.agreement = Agreement::Agrees;
        }
        if (same_result(r, given, computed[r])) {
            continue;
        }
        check.agreement = Agreement::Differs;
        check.differences += (check.differences.empty() ? "" : "；") + std::string(kResultNames[r]) +
                             "：表中 " + std::string(given) + "，计算得 " +
                             (computed[r].empty() ? std::string("无") : computed[r]);
    }
    return check;
}

} // namespace zhuheng::batch
