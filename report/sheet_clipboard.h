// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"

#include <QPageLayout>

#include <vector>

class QMimeData;

// The sheet as the clipboard holds it, for the caller to own: rich text (HTML, the document of
// sheet_document with the drawing embedded as PNG data) for word processors, and plain text
// (sheet_text, a line of text to each line of the sheet) for everything else.
QMimeData* sheet_mime_data(const std::vector<zhuheng::ReportBlock>& blocks,
                           const QPageLayout& layout);
