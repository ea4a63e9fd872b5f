// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"
#include "ui/save_dialog.h"

#include <functional>
#include <vector>

class MessageBoxes;
class PrintPreview;
class QWidget;

// The ways the sheet leaves the window besides printing, from 打  印's menu. Each takes the sheet
// printing would print; none reads a box or calculates. A file that cannot be written is said
// in a warning "导出失败：…" and nothing else changes; a cancelled dialog does nothing.
class SheetCommands {
public:
    SheetCommands(QWidget& window, MessageBoxes& messages, SaveDialog& save_dialog,
                  PrintPreview& preview)
        : window_(window), messages_(messages), save_dialog_(save_dialog), preview_(preview) {}

    // Qt's print preview of the pages printing sends; its print button runs `print`.
    void preview(const std::vector<zhuheng::ReportBlock>& sheet,
                 const std::function<bool()>& print);
    void export_pdf(const std::vector<zhuheng::ReportBlock>& sheet);
    void export_document(const std::vector<zhuheng::ReportBlock>& sheet);
    // Rich text and plain text on the clipboard.
    void copy(const std::vector<zhuheng::ReportBlock>& sheet);

private:
    // Asks where the sheet is saved as `form`, and has `write` write it there.
    void save(SavedForm form, const std::function<void(const QString&)>& write);

    QWidget& window_;
    MessageBoxes& messages_;
    SaveDialog& save_dialog_;
    PrintPreview& preview_;
};
