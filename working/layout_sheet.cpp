// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/layout_sheet.h"

#include <algorithm>
#include <cmath>

namespace zhuheng::layout {

namespace {

double distance(FigurePoint p, const FigureRect& r) {
    const double dx = std::max({r.left - p.x, 0.0, p.x - r.right});
    const double dy = std::max({r.top - p.y, 0.0, p.y - r.bottom});
    return std::hypot(dx, dy);
}

double distance(FigurePoint p, const FigureLine& l) {
    const double dx = l.to.x - l.from.x, dy = l.to.y - l.from.y;
    const double length2 = dx * dx + dy * dy;
    const double t =
        length2 > 0
            ? std::clamp(((p.x - l.from.x) * dx + (p.y - l.from.y) * dy) / length2, 0.0, 1.0)
            : 0.0;
    return std::hypot(l.from.x + t * dx - p.x, l.from.y + t * dy - p.y);
}

// Whether the line enters the rectangle (clipped against its four sides in turn).
bool enters(const FigureLine& l, const FigureRect& r) {
    const double dx = l.to.x - l.from.x, dy = l.to.y - l.from.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {l.from.x - r.left, r.right - l.from.x, l.from.y - r.top,
                         r.bottom - l.from.y};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
        } else if (p[i] < 0) {
            t0 = std::max(t0, q[i] / p[i]);
        } else {
            t1 = std::min(t1, q[i] / p[i]);
        }
    }
    return t0 <= t1;
}

// How near the line comes to the rectangle, as far as it matters: at least `enough` when it
// comes no nearer.
double distance(const FigureLine& l, const FigureRect& r, double enough) {
    if (std::min(l.from.x, l.to.x) >= r.right + enough ||
        std::max(l.from.x, l.to.x) <= r.left - enough ||
        std::min(l.from.y, l.to.y) >= r.bottom + enough ||
        std::max(l.from.y, l.to.y) <= r.top - enough) {
        return enough;
    }
    if (enters(l, r)) {
        return 0;
    }
    return std::min({distance(l.from, r), distance(l.to, r), distance({r.left, r.top}, l),
                     distance({r.right, r.top}, l), distance({r.right, r.bottom}, l),
                     distance({r.left, r.bottom}, l)});
}

bool apart(const FigureRect& a, const FigureRect& b, double gap) {
    return a.right + gap <= b.left || b.right + gap <= a.left || a.bottom + gap <= b.top ||
           b.bottom + gap <= a.top;
}

bool within(const FigureRect& inner, const FigureRect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

} // namespace

std::array<int, 4> levels(const std::vector<FigureDimension>& dims) {
    std::array<int, 4> out{};
    for (const FigureDimension& dim : dims) {
        out[index(dim.side)] = std::max(out[index(dim.side)], dim.level);
    }
    return out;
}

bool Sheet::free(const FigureRect& r, const std::vector<FigureLine>& lines) const {
    if (!within(r, box_)) {
        return false;
    }
    for (const Stroke& s : strokes_) {
        const double need = s.half_width + sp_.clear;
        if (distance(s.line, r, need) + sp_.slack < need) {
            return false;
        }
    }
    for (const FigureLabel& l : labels_) {
        if (!apart(r, l.box, sp_.clear - sp_.slack)) {
            return false;
        }
    }
    const double need = sp_.line / 2 + sp_.clear;
    for (const FigureLine& line : lines) {
        if (distance(line, r, need) + sp_.slack < need) {
            return false;
        }
        for (const FigureLabel& l : labels_) {
            if (distance(line, l.box, need) + sp_.slack < need) {
                return false;
            }
        }
    }
    return true;
}

} // namespace zhuheng::layout
