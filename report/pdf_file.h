// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"

#include <QPageLayout>
#include <QString>

#include <vector>

// The document's name: a PDF's title and the file name offered for it, a print queue's job title.
inline const QString kDocumentTitle = QStringLiteral("筑衡计算书");

// The program and its version, as a PDF's or a document's creator names it.
QString document_creator();

// The paper a PDF of the sheet is set on where no printer gives one: A4, or Letter where the
// user's locale measures in US units, with the report's margins.
QPageLayout default_page_layout();

// The resolution a PDF of the sheet is painted at, as Qt prints to a PDF file.
inline constexpr int kPdfResolution = 1200;

// Writes `blocks` to the PDF file `path` on `layout`, whole or not at all (save_whole): titled
// kDocumentTitle, the face embedded. Throws PrintError with the reason when it cannot.
void write_pdf_file(const QString& path, const QPageLayout& layout, int resolution,
                    const std::vector<zhuheng::ReportBlock>& blocks);
