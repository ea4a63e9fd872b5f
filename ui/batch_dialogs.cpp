// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/batch_dialogs.h"

#include "batch/batch_files.h"
#include "ui_batch_options.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

std::optional<QString> QtBatchDialogs::ask_table() {
    const QString folder = folder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : folder_;
    QFileDialog dialog(parent_, QStringLiteral("批量计算：选择表格"), folder,
                       QStringLiteral("表格 (*.xlsx *.csv *.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    folder_ = QFileInfo(path).absolutePath();
    return path;
}

std::optional<BatchChoices> QtBatchDialogs::ask_choices(const QString& table) {
    QDialog dialog(parent_);
    Ui::BatchOptions ui;
    ui.setupUi(&dialog);
    ui.results->setText(ui.results->text().arg(
        QFileInfo(zhuheng::batch::results_path_for(table)).fileName()));
    ui.book_pdf->setChecked(last_.book_pdf);
    ui.book_document->setChecked(last_.book_document);
    ui.with_working->setChecked(last_.with_working);
    // The working is a part of the book: it is offered only with a book.
    const auto offer_working = [&] {
        ui.with_working->setEnabled(ui.book_pdf->isChecked() || ui.book_document->isChecked());
    };
    QObject::connect(ui.book_pdf, &QCheckBox::toggled, &dialog, offer_working);
    QObject::connect(ui.book_document, &QCheckBox::toggled, &dialog, offer_working);
    offer_working();
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    last_ = {ui.book_pdf->isChecked(), ui.book_document->isChecked(),
             ui.with_working->isChecked()};
    return BatchChoices{last_.book_pdf, last_.book_document,
                        last_.with_working && (last_.book_pdf || last_.book_document)};
}
