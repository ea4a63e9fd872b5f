// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/record_source.h"

#include "batch/row_cells.h"
#include "engine/text_to_number.h"

namespace zhuheng::batch {

std::string faults_text(const Record& record, const std::vector<std::string>& header) {
    std::string text;
    for (const CellFault& fault : record.faults) {
        const std::string_view caption = trim_blanks(cell_at(header, fault.column));
        text += (text.empty() ? "" : "；") + std::string(caption) + (caption.empty() ? "" : "列的") +
                "单元格 " + fault.reference + " " + fault.what;
    }
    return text;
}

} // namespace zhuheng::batch
