// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"

#include <functional>
#include <vector>

class PrinterSource;
class QWidget;

// Qt's print preview dialog, showing the pages of a sheet as the printer of `source` prints
// them: its paper, the report's margins, page after page as printing sets them.
class PrintPreview {
public:
    explicit PrintPreview(PrinterSource& source) : source_(source) {}

    // Shows the preview of `blocks` until the user closes it. Its print button runs `print`,
    // the program's own print command, instead of Qt's; the preview closes when `print`
    // returns true (the sheet was printed), else it stays open.
    void show(QWidget* parent, const std::vector<zhuheng::ReportBlock>& blocks,
              const std::function<bool()>& print);

private:
    PrinterSource& source_;
};
