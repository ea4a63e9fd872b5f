// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/pdf_file.h"

#include "report/qt_report_pages.h"
#include "report/saved_file.h"

#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

using zhuheng::PrintError;

QString document_creator() {
    return QStringLiteral("筑衡 " ZHUHENG_VERSION);
}

QPageLayout default_page_layout() {
    const bool us = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return report_page_layout(QPageLayout(QPageSize(us ? QPageSize::Letter : QPageSize::A4),
                                          QPageLayout::Portrait, QMarginsF()));
}

void write_pdf_file(const QString& path, const QPageLayout& layout, int resolution,
                    const std::vector<zhuheng::ReportBlock>& blocks) {
    save_whole(path, QStringLiteral("无法写入 PDF 文件“%1”：%2"), [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setResolution(resolution);
        writer.setPageLayout(layout);
        writer.setTitle(kDocumentTitle);
        writer.setCreator(document_creator());
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw PrintError("无法开始写入 PDF 文件");
        }
        paint_report(painter, writer, blocks);
        return painter.end();
    });
}
