// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zhuheng {

// The T-section of a completed run as it is drawn, in m: flange b'i x h'i, web b, overall height
// h, the tension steel's centroid a above the bottom face, the compression zone of height x.
struct SectionFigure {
    double bi = 0, hi = 0, b = 0, h = 0, a = 0, x = 0;
    // The second type compresses the whole flange and a web strip of height x; the first type
    // the section down to x.
    bool second_type = false;
    std::string steel; // "As" for a design, "Ag" for a check

    bool operator==(const SectionFigure& o) const {
        return bi == o.bi && hi == o.hi && b == o.b && h == o.h && a == o.a && x == o.x &&
               second_type == o.second_type && steel == o.steel;
    }
};

// Why a section cannot be drawn to scale, in the user's language; nothing when it can.
std::optional<std::string> figure_problem(const SectionFigure& figure);

// A point of the drawing in m: x to the right from the left edge of the wider of flange and web,
// y down from the top face. On the page (SectionLayout), in the page's units, y down.
struct FigurePoint {
    double x, y;
};

// The size measured between two points of the outline, `from` and `to` (top to bottom, left to
// right), each with an extension line out to the dimension line, which stands outside the
// section on `side`, `level` steps away from it (1 nearest); and its label.
struct FigureDimension {
    enum class Side { Above, Below, Left, Right };
    FigurePoint from, to;
    Side side;
    int level;
    std::string label;
};

// The drawing itself, to scale: the outline of the T, the compression zone to shade, the steel
// centroid with its symbol, the dimension lines and a caption. width x height is its extent.
struct SectionDrawing {
    double width = 0, height = 0;
    std::vector<FigurePoint> outline;
    std::vector<FigurePoint> compression;
    FigurePoint steel{0, 0};
    std::string steel_label;
    std::vector<FigureDimension> dimensions;
    std::string caption;
};

// The drawing of a section that figure_problem accepts.
SectionDrawing section_drawing(const SectionFigure& figure);

} // namespace zhuheng
