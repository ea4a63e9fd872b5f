// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "working/section_figure.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zhuheng {

// A rectangle of the page, y down.
struct FigureRect {
    double left, top, right, bottom;
};

// A straight line of the page.
struct FigureLine {
    FigurePoint from, to;
};

// A text set on the page within `box`, which is as long as the text's advance and as high as a
// line of the type; an upright text runs up the page, turned a quarter to the left.
struct FigureLabel {
    std::string text;
    FigureRect box;
    bool upright;
};

// What the layout needs of the type it is set in: the height of a line of text, and the advance
// of a text.
struct FigureType {
    double height;
    std::function<double(const std::string&)> advance;
};

// A drawing set out on the page in one scale. The outline is drawn with a pen `outline_width`
// wide, and so is the steel's filled dot of radius `steel_radius`; the thin lines (extension and
// dimension lines, ticks, the steel's leader) with a pen `line_width` wide. Every label stands
// clear of every line, of the dot and of each other label by at least `clearance` beyond the pens;
// a label too long for its dimension stands outside its extension lines, beside the dimension line
// drawn on under it.
struct SectionLayout {
    double scale = 0;  // page units per m
    double bottom = 0; // how far down the page the drawing and its labels reach, with clearance
    double outline_width = 0, line_width = 0, clearance = 0;
    std::vector<FigurePoint> outline;
    std::vector<FigurePoint> compression;
    FigurePoint steel{0, 0};
    double steel_radius = 0;
    std::vector<FigureLine> lines;
    std::vector<FigureLabel> labels;
};

// The drawing set out within `box` of the page, labels included, at the largest scale at which
// they all find a place; where two dimensions share a side, with their lines in the order that
// gives the larger scale (the order given when alike). Nothing when the box is too small for the
// labels.
std::optional<SectionLayout> section_layout(const SectionDrawing& drawing, const FigureRect& box,
                                            const FigureType& type);

} // namespace zhuheng
