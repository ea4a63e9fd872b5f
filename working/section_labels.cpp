// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/section_labels.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace zhuheng::layout {

namespace {

// A place for a label: where it starts along its side, and the dimension line drawn on under it
// when it stands beside the line.
struct Place {
    double s;
    std::vector<FigureLine> lines;
};

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

} // namespace

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

} // namespace zhuheng::layout
