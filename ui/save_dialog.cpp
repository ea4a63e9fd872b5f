// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/save_dialog.h"

#include "report/pdf_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// The dialog's title, the name it offers without its suffix, the suffix and the filter.
struct FormTexts {
    QString title;
    QString name;
    QString suffix;
    QString filter;
};

FormTexts texts_of(SavedForm form) {
    switch (form) {
    case SavedForm::Pdf:
        return {QStringLiteral("导出 PDF"), kDocumentTitle, QStringLiteral("pdf"),
                QStringLiteral("PDF 文件 (*.pdf)")};
    case SavedForm::Document:
        return {QStringLiteral("导出文档"), kDocumentTitle, QStringLiteral("odt"),
                QStringLiteral("OpenDocument 文本 (*.odt)")};
    case SavedForm::Csv:
        break;
    }
    return {QStringLiteral("保存批量模板"), QStringLiteral("批量计算模板"), QStringLiteral("csv"),
            QStringLiteral("CSV 表格 (*.csv);;Excel 工作簿 (*.xlsx)")};
}

} // namespace

std::optional<QString> QtSaveDialog::ask_path(SavedForm form) {
    const FormTexts texts = texts_of(form);
    const QString folder = folder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : folder_;
    QFileDialog dialog(parent_, texts.title,
                       QDir(folder).filePath(texts.name + QLatin1Char('.') + texts.suffix),
                       texts.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(texts.suffix);
    // A name typed without its suffix gets that of the kind chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         const QRegularExpression suffix(QStringLiteral("\\*\\.(\\w+)"));
                         const QRegularExpressionMatch m = suffix.match(filter);
                         if (m.hasMatch()) {
                             dialog.setDefaultSuffix(m.captured(1));
                         }
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    folder_ = QFileInfo(path).absolutePath();
    return path;
}
