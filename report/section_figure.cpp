// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/section_figure.h"

#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>

namespace zhuheng {

std::optional<std::string> figure_problem(const SectionFigure& f) {
    if (!(f.bi > 0 && f.hi > 0 && f.b > 0 && f.h > 0)) {
        return "截面尺寸有零或负值";
    }
    if (f.hi > f.h) {
        return "翼缘厚度大于梁体高度";
    }
    if (f.a < 0 || f.a > f.h) {
        return "钢筋重心不在截面内";
    }
    if (f.x < 0 || f.x > f.h) {
        return "受压区高度超出截面";
    }
    // To scale on a page, every size must show and the whole fit: no size under a thousandth of
    // the largest, which lies between a millimetre and ten kilometres.
    const double largest = std::max({f.bi, f.b, f.h});
    if (largest < 1e-3 || largest > 1e4) {
        return "截面尺寸超出可按比例画出的范围";
    }
    if (std::min({f.bi, f.hi, f.b, f.h}) < largest * 1e-3) {
        return "截面各尺寸相差过于悬殊，按比例画不出";
    }
    return std::nullopt;
}

SectionDrawing section_drawing(const SectionFigure& f) {
    SectionDrawing d;
    d.width = std::max(f.bi, f.b);
    d.height = f.h;
    // Flange and web stand centred on one axis.
    const double fl = (d.width - f.bi) / 2, fr = fl + f.bi;
    const double wl = (d.width - f.b) / 2, wr = wl + f.b;
    d.outline = {{fl, 0},   {fr, 0},   {fr, f.hi}, {wr, f.hi},
                 {wr, f.h}, {wl, f.h}, {wl, f.hi}, {fl, f.hi}};
    if (!f.second_type && f.x <= f.hi) {
        d.compression = {{fl, 0}, {fr, 0}, {fr, f.x}, {fl, f.x}};
    } else {
        // The flange whole, and the web down to x (a notch in the flange where x < h'i).
        d.compression = {{fl, 0},   {fr, 0},   {fr, f.hi}, {wr, f.hi},
                         {wr, f.x}, {wl, f.x}, {wl, f.hi}, {fl, f.hi}};
    }
    d.steel = {d.width / 2, f.h - f.a};
    d.steel_label = f.steel;
    // The outline's left and right edges at depth y, where the extension lines start.
    const auto left = [&](double y) {
        return FigurePoint{y < f.hi ? fl : y > f.hi ? wl : std::min(fl, wl), y};
    };
    const auto right = [&](double y) {
        return FigurePoint{y < f.hi ? fr : y > f.hi ? wr : std::max(fr, wr), y};
    };
    // h'i and x both measure from the top face: the shorter stands nearer.
    const int x_level = f.x < f.hi ? 1 : 2;
    using Side = FigureDimension::Side;
    d.dimensions = {
        {{fl, 0}, {fr, 0}, Side::Above, 1, "b'i = " + plain_number_text(f.bi)},
        {{fl, 0}, left(f.hi), Side::Left, 3 - x_level, "h'i = " + plain_number_text(f.hi)},
        {{fl, 0}, left(f.x), Side::Left, x_level, "x = " + plain_number_text(f.x)},
        {{wl, f.h}, {wr, f.h}, Side::Below, 1, "b = " + plain_number_text(f.b)},
        {right(f.h - f.a), right(f.h), Side::Right, 1, "a = " + plain_number_text(f.a)},
        {{fr, 0}, right(f.h), Side::Right, 2, "h = " + plain_number_text(f.h)},
    };
    d.caption = "截面图（按比例，尺寸单位 m）：阴影为受压区，● 为受拉钢筋重心 " + f.steel;
    return d;
}

namespace {

using Side = FigureDimension::Side;

bool across(Side side) {
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

// A line of the drawing that labels keep clear of, with half its pen; the steel's dot is a line
// of no length with its radius.
struct Stroke {
    FigureLine line;
    double half_width;
};

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
    bool free(const FigureRect& r, const std::vector<FigureLine>& lines) const {
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
    void set(std::string text, const FigureRect& r, bool upright,
             const std::vector<FigureLine>& lines) {
        labels_.push_back({std::move(text), r, upright});
        for (const FigureLine& line : lines) {
            draw(line);
        }
    }

private:
    const Spacing& sp_;
    FigureRect box_;
    std::vector<Stroke> strokes_;
    std::vector<FigureLine> lines_;
    std::vector<FigureLabel> labels_;
};

// Rooms around the drawing, and other values by Side: above, below, left, right.
using Rooms = std::array<double, 4>;

int index(Side side) {
    return static_cast<int>(side);
}

// How many dimension lines stand on each side.
std::array<int, 4> levels(const std::vector<FigureDimension>& dims) {
    std::array<int, 4> out{};
    for (const FigureDimension& dim : dims) {
        out[index(dim.side)] = std::max(out[index(dim.side)], dim.level);
    }
    return out;
}

// A dimension on the page: its line `n` out from the drawing's edge, from s0 to s1 along it.
struct Dimensioned {
    const FigureDimension* dim;
    double n, s0, s1;
};

// A place for a label: where it starts along its side, and the dimension line drawn on under it
// when it stands beside the line.
struct Place {
    double s;
    std::vector<FigureLine> lines;
};

// Sets the label of `it` between its extension lines where it fits, centred or else clear of the
// extension lines of the dimensions farther out that cross it; else beside the dimension line
// past one end, on the side's own length first, last in the side's corner. Where the corner is
// outside the box, the label is set there all the same and the room it needs is asked for.
void set_dimension_label(Sheet& sheet, const Frame& f, const Spacing& sp, const FigureType& type,
                         const Dimensioned& it, const std::vector<Dimensioned>& all,
                         const Rooms& rooms, Rooms& asked, bool& crowded) {
    const FigureDimension& dim = *it.dim;
    const double length = type.advance(dim.label);
    const double n0 = it.n + sp.off;
    const auto rect = [&](double s) { return f.band(dim.side, s, s + length, n0, n0 + sp.text); };
    std::vector<Place> places;
    const double lo = it.s0 + sp.off, hi = it.s1 - sp.off - length;
    if (lo <= hi) {
        const double centre = (it.s0 + it.s1 - length) / 2;
        std::vector<double> starts{centre};
        for (const Dimensioned& other : all) {
            if (other.dim->side == dim.side && other.n > it.n) {
                for (const double p : {other.s0, other.s1}) {
                    starts.push_back(p + sp.clear + sp.line);
                    starts.push_back(p - sp.clear - sp.line - length);
                }
            }
        }
        std::stable_sort(starts.begin(), starts.end(), [&](double a, double b) {
            return std::abs(a - centre) < std::abs(b - centre);
        });
        for (const double s : starts) {
            if (s >= lo && s <= hi) {
                places.push_back({s, {}});
            }
        }
    }
    const double after = it.s1 + sp.off, before = it.s0 - sp.off - length;
    const Place past_end{after,
                         {{f.at(dim.side, it.s1, it.n), f.at(dim.side, after + length, it.n)}}};
    const Place past_start{before, {{f.at(dim.side, it.s0, it.n), f.at(dim.side, before, it.n)}}};
    // The corner is past the end above and right, past the start below and left.
    const bool corner_past_end = dim.side == Side::Above || dim.side == Side::Right;
    const Place& corner = corner_past_end ? past_end : past_start;
    places.push_back(corner_past_end ? past_start : past_end);
    places.push_back(corner);

    const Place* chosen = nullptr;
    for (const Place& place : places) {
        if (f.on_own_ground(dim.side, rect(place.s)) && sheet.free(rect(place.s), place.lines)) {
            chosen = &place;
            break;
        }
    }
    if (!chosen) {
        chosen = &corner;
        const Side into = dim.side == Side::Above   ? Side::Right
                          : dim.side == Side::Right ? Side::Below
                          : dim.side == Side::Below ? Side::Left
                                                    : Side::Above;
        const double need = sp.off + length + sp.clear;
        if (need > rooms[index(into)]) {
            asked[index(into)] = std::max(asked[index(into)], need);
        }
        // Nothing else stands in the corner, so it is free once its room is wide enough; should
        // it not be, the layout is given up rather than set a label on a line.
        crowded = crowded || !sheet.free(rect(corner.s), corner.lines);
    }
    sheet.set(dim.label, rect(chosen->s), !across(dim.side), chosen->lines);
}

// Where the outline's edges cross the depth of `p` nearest it on the left and on the right.
std::pair<double, double> edges_beside(const std::vector<FigurePoint>& outline, FigurePoint p) {
    double left = p.x, right = p.x;
    bool found_left = false, found_right = false;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const FigurePoint a = outline[i], b = outline[(i + 1) % outline.size()];
        if (a.y == b.y || p.y < std::min(a.y, b.y) || p.y > std::max(a.y, b.y)) {
            continue;
        }
        const double x = a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y);
        if (x <= p.x && (!found_left || x > left)) {
            left = x;
            found_left = true;
        }
        if (x >= p.x && (!found_right || x < right)) {
            right = x;
            found_right = true;
        }
    }
    return {left, right};
}

// Sets the steel's symbol beside its dot where it finds room, else on a short leader from the
// dot to beside the web or past the drawing's right edge, last under the bottom face there
// between the outline and the first dimension line, where nothing else stands.
void set_steel_label(Sheet& sheet, const Frame& f, const Spacing& sp, const std::string& text,
                     double width, const SectionLayout& out, bool& crowded) {
    const FigurePoint dot = out.steel;
    const double h = sp.text, off = sp.off;
    const double near = out.steel_radius + sp.outline / 2 + sp.clear;
    const auto [web_left, web_right] = edges_beside(out.outline, dot);
    const FigureRect places[] = {
        {dot.x - width / 2, dot.y - near - h, dot.x + width / 2, dot.y - near},
        {dot.x + near, dot.y - h / 2, dot.x + near + width, dot.y + h / 2},
        {dot.x - near - width, dot.y - h / 2, dot.x - near, dot.y + h / 2},
        {dot.x - width / 2, dot.y + near, dot.x + width / 2, dot.y + near + h},
        {web_right + off, dot.y - off - h, web_right + off + width, dot.y - off},
        {web_left - off - width, dot.y - off - h, web_left - off, dot.y - off},
        {f.x1 + off, dot.y - off - h, f.x1 + off + width, dot.y - off},
        {f.x1 + off, dot.y + off, f.x1 + off + width, dot.y + off + h},
        {f.x1 + off, f.y1 + off, f.x1 + off + width, f.y1 + off + h},
    };
    // The leader runs from the dot's centre and stops short of the label by the clearance.
    const auto leader = [&](const FigureRect& r) {
        std::vector<FigureLine> lines;
        const FigurePoint nearest{std::clamp(dot.x, r.left, r.right),
                                  std::clamp(dot.y, r.top, r.bottom)};
        const double gap = std::hypot(dot.x - nearest.x, dot.y - nearest.y);
        if (gap > near) {
            const double t = (sp.clear + sp.line / 2) * (1 + 1e-6) / gap;
            lines.push_back(
                {dot, {nearest.x + (dot.x - nearest.x) * t, nearest.y + (dot.y - nearest.y) * t}});
        }
        return lines;
    };
    const FigureRect* chosen = nullptr;
    for (const FigureRect& r : places) {
        if (sheet.free(r, leader(r))) {
            chosen = &r;
            break;
        }
    }
    if (!chosen) {
        crowded = true;
        chosen = &places[std::size(places) - 1];
    }
    sheet.set(text, *chosen, false, leader(*chosen));
}

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
