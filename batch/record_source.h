// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The rows of a table as the batch reads them, whatever file they come from: a CSV table's
// records or a workbook's rows.
namespace zhuheng::batch {

// A cell that holds no value a row could be read from: an error value of a workbook, or a
// formula whose result the workbook has not kept.
struct CellFault {
    std::size_t column = 0;  // counted from 0
    std::string reference;   // the cell as the workbook names it: C12
    std::string what;        // 是错误值 #DIV/0!
};

struct Record {
    std::size_t line = 0;            // the line (a workbook's row) the record begins on, from 1
    std::vector<std::string> cells;  // as given, quotes taken away
    std::vector<CellFault> faults;   // a workbook's cells without a value; none in a CSV table
};

class RecordSource {
public:
    virtual ~RecordSource() = default;
    // The next record that holds a cell that is not blank (or a fault); false at the end.
    // Throws TableError for a file that cannot be read on.
    virtual bool next(Record& record) = 0;
    // How far the reading has come, in bytes of the file (or of the sheet) out of total().
    virtual std::uint64_t done() const = 0;
    virtual std::uint64_t total() const = 0;
};

// The faults of a record, each with its column's caption from `header` where it has one:
// 承受弯矩（KN.m）列的单元格 C12 是错误值 #DIV/0!, joined by "；". "" for none.
std::string faults_text(const Record& record, const std::vector<std::string>& header);

} // namespace zhuheng::batch
