// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/section_layout.h"

#include "working/layout_sheet.h"
#include "working/section_labels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace zhuheng {

namespace {

using namespace layout;

// One try at a scale, within rooms at least as wide as `given`: the layout, and the rooms that
// labels set in their corners ask for beyond those.
struct Attempt {
    std::optional<SectionLayout> layout;
    Rooms asked{};
    bool crowded = false; // a label found no free place
};

Attempt attempt_in(const SectionDrawing& d, const std::vector<FigureDimension>& dims,
                   const FigureRect& box, const FigureType& type, const Spacing& sp,
                   const Rooms& given) {
    const double steel_width = type.advance(d.steel_label);
    // The dimension lines stand `step` apart, the first `step` out, on the right far enough for
    // the steel's label between the outline and the first line.
    Rooms first{};
    first.fill(sp.step);
    first[index(Side::Right)] = std::max(sp.step, steel_width + 2 * sp.off);
    const std::array<int, 4> count = levels(dims);
    Rooms rooms{};
    for (int side = 0; side < 4; ++side) {
        const double labels =
            count[side] > 0 ? first[side] + (count[side] - 1) * sp.step + sp.off + sp.text : 0.0;
        rooms[side] = std::max(std::max(labels, first[side]) + sp.clear, given[side]);
    }
    const double width =
        box.right - box.left - rooms[index(Side::Left)] - rooms[index(Side::Right)];
    const double height =
        box.bottom - box.top - rooms[index(Side::Above)] - rooms[index(Side::Below)];
    const double scale = std::min(width / d.width, height / d.height);
    Attempt attempt;
    if (!(scale > 0) || !std::isfinite(scale)) {
        return attempt;
    }
    // One scale for both directions, the drawing centred across the box.
    Frame f{};
    f.scale = scale;
    f.x0 = box.left + rooms[index(Side::Left)] + (width - d.width * scale) / 2;
    f.y0 = box.top + rooms[index(Side::Above)];
    f.x1 = f.x0 + d.width * scale;
    f.y1 = f.y0 + d.height * scale;

    SectionLayout out;
    out.scale = scale;
    out.outline_width = sp.outline;
    out.line_width = sp.line;
    out.clearance = sp.clear;
    out.steel = f.page(d.steel);
    out.steel_radius = sp.tick;
    Sheet sheet(sp, box);
    const auto polygon = [&](const std::vector<FigurePoint>& points, double half_width) {
        std::vector<FigurePoint> page;
        for (std::size_t i = 0; i < points.size(); ++i) {
            page.push_back(f.page(points[i]));
            sheet.keep_clear_of({f.page(points[i]), f.page(points[(i + 1) % points.size()])},
                                half_width);
        }
        return page;
    };
    out.outline = polygon(d.outline, sp.outline / 2);
    out.compression = polygon(d.compression, 0);
    sheet.keep_clear_of({out.steel, out.steel}, out.steel_radius + sp.outline / 2);

    // The dimension lines, their extension lines (from the outline to a little past the line)
    // and their ticks.
    std::vector<Dimensioned> all;
    for (const FigureDimension& dim : dims) {
        const double n = first[index(dim.side)] + (dim.level - 1) * sp.step;
        const FigurePoint from = f.page(dim.from), to = f.page(dim.to);
        const double s0 = f.along(dim.side, from), s1 = f.along(dim.side, to);
        all.push_back({&dim, n, s0, s1});
        sheet.draw({f.at(dim.side, s0, n), f.at(dim.side, s1, n)});
        sheet.draw({from, f.at(dim.side, s0, n + sp.tick)});
        sheet.draw({to, f.at(dim.side, s1, n + sp.tick)});
        for (const double s : {s0, s1}) {
            const FigurePoint c = f.at(dim.side, s, n);
            sheet.draw({{c.x - sp.tick, c.y + sp.tick}, {c.x + sp.tick, c.y - sp.tick}});
        }
    }
    // The labels from the nearest line out, then the steel's.
    std::vector<Dimensioned> order = all;
    std::stable_sort(order.begin(), order.end(), [](const Dimensioned& a, const Dimensioned& b) {
        return a.dim->level < b.dim->level;
    });
    for (const Dimensioned& it : order) {
        set_dimension_label(sheet, f, sp, type, it, all, rooms, attempt.asked, attempt.crowded);
    }
    set_steel_label(sheet, f, sp, d.steel_label, steel_width, out, attempt.crowded);

    out.lines = std::move(sheet.lines());
    out.labels = std::move(sheet.labels());
    // The lowest of the drawing and its dimension lines, and of the labels, which may stand
    // lower in the side's corner where the box has room there.
    out.bottom = f.y1 + rooms[index(Side::Below)];
    for (const FigureLabel& label : out.labels) {
        out.bottom = std::max(out.bottom, label.box.bottom + sp.clear);
    }
    attempt.layout = std::move(out);
    return attempt;
}

// The layout at one order of the dimension lines: the rooms widened for the labels that stand
// in their corners until every label is within the box.
std::optional<SectionLayout> lay_out(const SectionDrawing& d,
                                     const std::vector<FigureDimension>& dims,
                                     const FigureRect& box, const FigureType& type,
                                     const Spacing& sp) {
    Rooms rooms{};
    // Each round widens the room for one more of the labels, at most for all of them.
    for (std::size_t round = 0; round <= dims.size() + 1; ++round) {
        Attempt attempt = attempt_in(d, dims, box, type, sp, rooms);
        bool widened = false;
        for (int side = 0; side < 4; ++side) {
            if (attempt.asked[side] > rooms[side]) {
                rooms[side] = attempt.asked[side];
                widened = true;
            }
        }
        if (!attempt.layout) {
            return std::nullopt;
        }
        if (!widened) {
            return attempt.crowded ? std::nullopt : attempt.layout;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<SectionLayout> section_layout(const SectionDrawing& d, const FigureRect& box,
                                            const FigureType& type) {
    const Spacing sp(type.height);
    // Where two dimensions stand on one side, their lines in either order: the larger scale
    // wins, else the order given.
    const std::array<int, 4> count = levels(d.dimensions);
    std::optional<SectionLayout> best;
    for (int swap = 0; swap < 4; ++swap) {
        std::vector<FigureDimension> dims = d.dimensions;
        for (FigureDimension& dim : dims) {
            if ((dim.side == Side::Left && (swap & 1)) || (dim.side == Side::Right && (swap & 2))) {
                dim.level = count[index(dim.side)] + 1 - dim.level;
            }
        }
        std::optional<SectionLayout> layout = lay_out(d, dims, box, type, sp);
        if (layout && (!best || layout->scale > best->scale * (1 + 1e-9))) {
            best = std::move(layout);
        }
    }
    return best;
}

} // namespace zhuheng
