// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sheet_commands.h"

#include "report/document_file.h"
#include "report/pdf_file.h"
#include "report/print_preview.h"
#include "report/sheet_clipboard.h"
#include "ui/message_boxes.h"
#include "ui/save_dialog.h"

#include <QClipboard>
#include <QGuiApplication>

using zhuheng::ReportBlock;

void SheetCommands::preview(const std::vector<ReportBlock>& sheet,
                            const std::function<bool()>& print) {
    preview_.show(&window_, sheet, print);
}

void SheetCommands::export_pdf(const std::vector<ReportBlock>& sheet) {
    save(SavedForm::Pdf, [&](const QString& path) {
        write_pdf_file(path, default_page_layout(), kPdfResolution, sheet);
    });
}

void SheetCommands::export_document(const std::vector<ReportBlock>& sheet) {
    save(SavedForm::Document,
         [&](const QString& path) { write_document_file(path, sheet, default_page_layout()); });
}

void SheetCommands::save(SavedForm form, const std::function<void(const QString&)>& write) {
    const std::optional<QString> path = save_dialog_.ask_path(form);
    if (!path) {
        return;
    }
    try {
        write(*path);
    } catch (const zhuheng::PrintError& e) {
        messages_.show_message(MessageIcon::Warning,
                               QStringLiteral("导出失败：") + QString::fromStdString(e.what()));
    }
}

void SheetCommands::copy(const std::vector<ReportBlock>& sheet) {
    QGuiApplication::clipboard()->setMimeData(sheet_mime_data(sheet, default_page_layout()));
}
