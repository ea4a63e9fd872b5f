// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_sheet.h"
#include "report/report_printer.h"
#include "working/section_figure.h"
#include "working/working.h"

#include <QPageLayout>
#include <QString>

#include <algorithm>
#include <functional>
#include <string>
#include <variant>
#include <vector>

class QFont;
class QFontMetricsF;
class QPagedPaintDevice;
class QPainter;
class QRectF;

// How the report is set on the page: type of 10.5 points (五号) in the application's face, at
// least 20 mm of margin on every edge, print zones of at least 18 em. Zones that wide hold the
// widest label of the report with its value, so that a value always follows its own label and
// the pairs of every line stand in the same columns: two zones across A4 or Letter, three
// across A4 landscape.
inline constexpr double kTypePoints = 10.5;
inline constexpr double kMinimumMarginMillimetres = 20.0;
inline constexpr double kMinimumZoneEms = 18.0;
inline constexpr double kLineSpacing = 1.25; // times the face's own line spacing

// The line that stands for the section drawing where not even a page of this paper holds its
// labels (a narrow paper and sizes typed to many digits).
inline constexpr char kFigureTooWideForThePaper[] = "截面图从略：纸张太窄，尺寸标注排不下。";

// The printer's page layout with the report's margins: 20 mm, or the printer's own where larger.
QPageLayout report_page_layout(const QPageLayout& chosen);

// The widths a line is set in: one column of the indent step, one print zone, the print area.
struct LineGeometry {
    double column;
    double zone;
    double page_width;
};

struct ItemPosition {
    double x; // from the left edge of the print area
    int row;  // 0 for the line's own row, 1 and on where it wraps
    bool operator==(const ItemPosition& o) const { return x == o.x && row == o.row; }
};

// Where each item of a line stands, given the width of an item's text. The indent step puts the
// first item at column `indent`; a zone step goes on to the next zone. A label and the value
// joined to it stand together: a pair that would run past the right edge goes on to a new row at
// the indent, so that no value is cut off or parted from its label (only a pair wider than a
// whole row is split).
std::vector<ItemPosition> item_positions(const zhuheng::ReportLine& line, const LineGeometry& g,
                                         const std::function<double(const QString&)>& width);

using zhuheng::ReportBlock;

// The type the sheet is set in: kTypePoints of the application's face.
QFont report_type();

// A line of the working as a page `width` wide sets it in `metrics` (device units): its rows, as
// working_rows breaks it, the first `indent` in from the left edge and the others `hanging`
// further, two ideographic spaces.
struct WorkingLineRows {
    double indent;
    double hanging;
    std::vector<std::string> rows;
};
WorkingLineRows working_line_rows(const zhuheng::WorkingLine& line, const QFontMetricsF& metrics,
                                  double width);

// Called as each page the report is painted on begins, the current one it starts on included,
// before anything of the report is on it: what a calc book adds to every page (a heading in the
// margin), and its page count.
using PageBegun = std::function<void()>;

// Paints the blocks page after page, from the top of the current page: the lines in print zones,
// a line too wide for the page wrapped, a full page going on to a new one; each working on pages
// of its own, its lines and then its section. Throws PrintError when a page cannot be begun.
void paint_report(QPainter& painter, QPagedPaintDevice& device,
                  const std::vector<ReportBlock>& blocks, const PageBegun& page_begun = {});

// The height of the box a section drawing gets on a page `width` wide and `page_height` high: a
// third of the page at most. Labels too long for it take the height of a page.
inline double section_box_height(double width, double page_height) {
    return std::min(width * 0.6, page_height / 3);
}

// The section drawing within `box` (device units) as section_layout sets it out in the painter's
// type: one scale for both directions, the compression zone shaded, dimension lines outside the
// outline, no label touching a line; with `caption`, the caption under it, wrapped where the box
// is narrow. Returns the height it took from the top of the box; paints nothing and returns 0
// when the box has too little room for the labels.
double paint_section(QPainter& painter, const zhuheng::SectionDrawing& drawing, const QRectF& box,
                     bool caption = true);
