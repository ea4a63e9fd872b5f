// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

class QPrintPreviewWidget;

// The text of one page as the preview paints it: its rows in the order painted, each row the
// runs of text on one baseline, a run being text painted without a gap (a label with its value).
using PageText = std::vector<std::vector<QString>>;

// The text of every page a print preview shows, top to bottom: each page of its scene painted
// onto a device of ours that records the text drawn, so that the text is what the preview
// shows, not worked out again from the sheet.
std::vector<PageText> preview_text(const QPrintPreviewWidget& preview);
