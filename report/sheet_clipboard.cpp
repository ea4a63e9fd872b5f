// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/sheet_clipboard.h"

#include "report/sheet_document.h"

#include <QBuffer>
#include <QMimeData>
#include <QTextDocument>

#include <string>

QMimeData* sheet_mime_data(const std::vector<zhuheng::ReportBlock>& blocks,
                           const QPageLayout& layout) {
    const std::unique_ptr<QTextDocument> document = sheet_document(blocks, layout);
    QString html = document->toHtml();
    // A pasted document reaches no resource of the program's: the drawing goes in as data.
    const QVariant drawing = document->resource(QTextDocument::ImageResource, QUrl(kDrawingName));
    if (drawing.isValid()) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(drawing).save(&png, "PNG");
        html.replace(QStringLiteral("src=\"%1\"").arg(kDrawingName),
                     QStringLiteral("src=\"data:image/png;base64,%1\"")
                         .arg(QString::fromLatin1(png.data().toBase64())));
    }
    html.replace(QStringLiteral("<html>"), QStringLiteral("<html lang=\"zh-CN\">"));

    QString text;
    for (const std::string& line : zhuheng::sheet_text(blocks)) {
        text += QString::fromStdString(line) + QLatin1Char('\n');
    }
    auto* data = new QMimeData;
    data->setHtml(html);
    data->setText(text);
    return data;
}
