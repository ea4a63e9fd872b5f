// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"

#include <QPageLayout>
#include <QString>

#include <vector>

class QTextDocument;

// Writes the sheet (sheet_document) as an OpenDocument text file at `path`, which Word, WPS and
// LibreOffice open and edit, whole or not at all (save_whole). Qt's OpenDocument writer writes
// the text, tables and pictures; it names no language, no face for Chinese text and no paper,
// so an office suite would set the Chinese text in a face of its own choice, Japanese glyph
// forms among them. The archive gets the document's styles besides: the sheet's face for every
// script with fallbacks, the language zh-CN, the paper and margins of `layout`; and its
// metadata: title, creator and language. Throws PrintError with the reason when it cannot.
void write_document_file(const QString& path, const std::vector<zhuheng::ReportBlock>& blocks,
                         const QPageLayout& layout);

// Writes `document` (a calc book's) as write_document_file writes a sheet's.
void write_text_document(const QString& path, const QTextDocument& document,
                         const QPageLayout& layout);
