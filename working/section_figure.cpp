// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/section_figure.h"

#include "engine/number_text.h"

#include <algorithm>

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

} // namespace zhuheng
