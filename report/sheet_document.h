// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"

#include <QImage>
#include <QPageLayout>
#include <QString>
#include <QTextFormat>

#include <memory>
#include <vector>

class QTextCharFormat;
class QTextDocument;

// The resolution the section drawing is drawn at for a document: print resolution.
inline constexpr int kDrawingDpi = 300;

// The name the drawing is known by in a document: its resource and its picture.
inline const QString kDrawingName = QStringLiteral("section.png");

// The properties that mark, in a document of the sheet, the paragraphs of the working's lines and
// their text outside Chinese words (formulas, numbers, units and marks).
inline constexpr int kWorkingRows = QTextFormat::UserProperty + 1;
inline constexpr int kFormulaText = QTextFormat::UserProperty + 2;

// The sheet as a word processor's document, on the paper of `layout`: the title, the lines'
// label-value pairs in a table of two columns (each line from a new row), then on a new page the
// working's lines as paragraphs with the texts the pages print, each broken into the rows of the
// exported PDF (measured at its resolution across the same print area) by line separators, with
// its hanging indent; and the section drawing as a picture at kDrawingDpi with its caption under
// it (or the line that says why it is left out). In the face and size of the printed sheet.
std::unique_ptr<QTextDocument> sheet_document(const std::vector<zhuheng::ReportBlock>& blocks,
                                              const QPageLayout& layout);

// The sheet as sheet_document lays it out, appended at the end of `document` (a calc book's),
// its drawing under the name `drawing_name`, which no other picture of the document has.
void append_sheet(QTextDocument& document, const std::vector<zhuheng::ReportBlock>& blocks,
                  const QPageLayout& layout, const QString& drawing_name);

// The family of the face the sheet is set in, and its text's format: that face in the sheet's
// size.
QString sheet_face();
QTextCharFormat sheet_text_format();
