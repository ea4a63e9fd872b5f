// SPDX-License-Identifier: GPL-3.0-or-later
// The page a section drawing is set out on, as the layout sees it: the spacing taken from the
// type, where the drawing stands, and the lines and labels set so far. Used by the layout alone.
#pragma once

#include "working/section_layout.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace zhuheng::layout {

using Side = FigureDimension::Side;

inline bool across(Side side) {
    return side == Side::Above || side == Side::Below;
}

// The distances of the layout, all taken from the height of a line of text.
struct Spacing {
    explicit Spacing(double text_height)
        : text(text_height), tick(text / 4), clear(text / 8), line(text / 16), outline(text / 8),
          off(tick + clear + line / 2), step(text + 2 * off), slack(text * 1e-9) {}
    double text;
    double tick;    // how far a tick reaches from its end, and an extension line past its dimension
    double clear;   // between a label and anything else, beyond the pens
    double line;    // the thin pen
    double outline; // the outline's pen
    double off;     // from a dimension line, or its end, to its label
    double step;    // from one dimension line to the next: a label and its offsets
    double slack;   // for rounding
};

// Rooms around the drawing, and other values by Side: above, below, left, right.
using Rooms = std::array<double, 4>;

inline int index(Side side) {
    return static_cast<int>(side);
}

// How many dimension lines stand on each side.
std::array<int, 4> levels(const std::vector<FigureDimension>& dims);

// Where the drawing stands on the page. Beside it, s runs along a side (the page's x above and
// below, its y left and right) and n away from the drawing's edge on that side.
struct Frame {
    double x0, y0, scale, x1, y1;

    FigurePoint page(FigurePoint p) const { return {x0 + p.x * scale, y0 + p.y * scale}; }
    double along(Side side, FigurePoint p) const { return across(side) ? p.x : p.y; }
    FigurePoint at(Side side, double s, double n) const {
        switch (side) {
        case Side::Above:
            return {s, y0 - n};
        case Side::Below:
            return {s, y1 + n};
        case Side::Left:
            return {x0 - n, s};
        case Side::Right:
            break;
        }
        return {x1 + n, s};
    }
    FigureRect band(Side side, double s0, double s1, double n0, double n1) const {
        const FigurePoint a = at(side, s0, n0), b = at(side, s1, n1);
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    // Each side's own ground, which no label of another side enters: beside the drawing, and the
    // corner ahead of it going round clockwise (above: the top right one).
    bool on_own_ground(Side side, const FigureRect& r) const {
        switch (side) {
        case Side::Above:
            return r.left >= x0 && r.bottom <= y0;
        case Side::Below:
            return r.right <= x1 && r.top >= y1;
        case Side::Left:
            return r.right <= x0 && r.bottom <= y1;
        case Side::Right:
            break;
        }
        return r.left >= x1 && r.top >= y0;
    }
};

// A dimension on the page: its line `n` out from the drawing's edge, from s0 to s1 along it.
struct Dimensioned {
    const FigureDimension* dim;
    double n, s0, s1;
};

// The labels set so far and the lines they keep clear of.
class Sheet {
public:
    Sheet(const Spacing& sp, const FigureRect& box) : sp_(sp), box_(box) {}

    // A line that labels keep clear of; a thin line is one the painter draws as well.
    void keep_clear_of(const FigureLine& line, double half_width) {
        strokes_.push_back({line, half_width});
    }
    void draw(const FigureLine& line) {
        keep_clear_of(line, sp_.line / 2);
        lines_.push_back(line);
    }
    std::vector<FigureLine>& lines() { return lines_; }
    std::vector<FigureLabel>& labels() { return labels_; }

    // Whether a label fits at `r` within the box, clear of every line and label, with `lines`
    // (its leader, or its dimension line drawn on) clear of every label.
    bool free(const FigureRect& r, const std::vector<FigureLine>& lines) const;
    void set(std::string text, const FigureRect& r, bool upright,
             const std::vector<FigureLine>& lines) {
        labels_.push_back({std::move(text), r, upright});
        for (const FigureLine& line : lines) {
            draw(line);
        }
    }

private:
    // A line of the drawing that labels keep clear of, with half its pen; the steel's dot is a line
    // of no length with its radius.
    struct Stroke {
        FigureLine line;
        double half_width;
    };

    const Spacing& sp_;
    FigureRect box_;
    std::vector<Stroke> strokes_;
    std::vector<FigureLine> lines_;
    std::vector<FigureLabel> labels_;
};

} // namespace zhuheng::layout
