// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/save_dialog.h"

#include "report/pdf_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

std::optional<QString> QtSaveDialog::ask_path(SavedForm form) {
    const bool pdf = form == SavedForm::Pdf;
    const QString suffix = pdf ? QStringLiteral("pdf") : QStringLiteral("odt");
    const QString folder = folder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : folder_;
    QFileDialog dialog(parent_, pdf ? QStringLiteral("导出 PDF") : QStringLiteral("导出文档"),
                       QDir(folder).filePath(kDocumentTitle + QLatin1Char('.') + suffix),
                       pdf ? QStringLiteral("PDF 文件 (*.pdf)")
                           : QStringLiteral("OpenDocument 文本 (*.odt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    folder_ = QFileInfo(path).absolutePath();
    return path;
}
