// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"
#include "batch/table_columns.h"

#include <array>
#include <string>
#include <vector>

// A checker's re-verification: the results a row already holds (an earlier results table, or
// values typed from a calc sheet received) against those the run gives.
namespace zhuheng::batch {

struct ResultCheck {
    Agreement agreement = Agreement::None;
    std::string differences; // each column that differs: 配筋率：表中 1.702，计算得 1.701
};

// Compares the given result cells that are not empty with `computed` (the texts written in the
// result columns, "" where the run fills none): numbers as numbers, read strictly; 结果 as text.
// Agreement::None when the row gives no result.
ResultCheck compare_given_results(const std::vector<std::string>& cells, const TableColumns& columns,
                          const std::array<std::string, kResultCount>& computed);

} // namespace zhuheng::batch
