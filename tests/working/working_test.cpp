// SPDX-License-Identifier: GPL-3.0-or-later
// The working of the worked examples line by line, whether and how their sections are drawn, the
// drawing's labels over the drawable range, and the rows a line of the working is set in.
#include "working/working.h"

#include "worked_examples.h"
#include "working/section_layout.h"
#include "working/working_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace zhuheng;

namespace {

// The characters of a UTF-8 text.
std::size_t code_points(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The working of each worked example: the lines given here stand, whole and in this order,
// among the working's lines, with the values the worked examples give; then the drawn section.
struct WorkingCase {
    const char* name;
    CalcState (*state)();
    std::vector<std::string> lines;
    std::optional<SectionFigure> figure;
};

void PrintTo(const WorkingCase& c, std::ostream* os) {
    *os << c.name;
}

class RunWorking : public ::testing::TestWithParam<WorkingCase> {};

TEST_P(RunWorking, ShowsEachFormulaWithTheStoredValues) {
    const WorkingCase& c = GetParam();
    const Working working = run_working(c.state());
    std::vector<std::string> lines;
    for (const WorkingLine& line : working.lines) {
        lines.push_back(line_text(line));
    }
    auto at = lines.begin();
    for (const std::string& expected : c.lines) {
        at = std::find(at, lines.end(), expected);
        ASSERT_NE(at, lines.end()) << "missing, or out of order: " << expected;
    }
    EXPECT_EQ(working.figure, c.figure);
}

CalcState design_first_type() {
    return zhuheng_test::designed(500);
}
CalcState design_second_type() {
    return zhuheng_test::designed(1300);
}
CalcState check_first_type() {
    return zhuheng_test::checked(50, 1500);
}
CalcState check_second_type_passes() {
    return zhuheng_test::checked(80, 2500);
}
// A flange thicker than the beam is high: the check still completes in the first type.
CalcState check_flange_thicker_than_the_beam() {
    using namespace zhuheng_test;
    CalcState s = prepared(kConcrete20, kSteelII,
                           with(check_example_section(50, 1500), &SectionInput::hi, 1.5));
    s.mode = CalcMode::Check;
    strength_check(s);
    return s;
}

// clang-format off
const WorkingCase kWorkingCases[] = {
    {"DesignFirstType",
     design_first_type,
     {"    K = Ra·b'i·h'i·(h0 − h'i/2)/γc = 14500 × 1 × 0.15 × (0.75 − 0.15/2)/1.25 = 1174.5 KN.m",
      "    Mj = 500 ≤ K = 1174.5 KN.m，属第一类T形截面",
      "    A0 = γc·Mj/(Ra·b'i·h0²) = 1.25 × 500/(14500 × 1 × 0.75²) = 0.07662835（1 − 2A0 ≥ 0）",
      "    γ0 = (1 + √(1 − 2A0))/2 = (1 + √(1 − 2 × 0.07662835))/2 = 0.9600933",
      "    As = γc·Mj/(Rg·γ0·h0) = 1.25 × 500/(340000 × 0.9600933 × 0.75) × 10⁴ = 25.52857 cm²，取 25.528 cm²",
      "    ρ = As/(b·h0) = 25.52857/(0.2 × 0.75 × 10⁴) × 100 = 1.701904 %，取 1.701 %",
      "    x = As·Rg/(Ra·b'i) = 25.52857/10⁴ × 340000/(14500 × 1) = 0.05986008 m，取 0.0598 m",
      "    提示：x = 0.0598 ≤ h'i = 0.15 m，受压区在翼缘内（第一类截面不作此项验算）",
      "    D12：a₁ = 1.131 cm²，n = 23；D14：a₁ = 1.539 cm²，n = 17；D16：a₁ = 2.011 cm²，n = 13",
      "    D32：a₁ = 8.042 cm²，n = 4；D34：a₁ = 9.079 cm²，n = 3"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"DesignSecondType",
     design_second_type,
     {"    M翼 = (b'i − b)·Ra·h'i·(h0 − h'i/2)/γc = (1 − 0.2) × 14500 × 0.15 × (0.75 − 0.15/2)/1.25 = 939.6 KN.m",
      "    M肋 = Mj − M翼 = 1300 − 939.6 = 360.4 KN.m",
      "    A0 = γc·M肋/(Ra·b·h0²) = 1.25 × 360.4/(14500 × 0.2 × 0.75²) = 0.2761686（1 − 2A0 ≥ 0）",
      "    γ0 = (1 + √(1 − 2A0))/2 = (1 + √(1 − 2 × 0.2761686))/2 = 0.8345381",
      "    ξ = 1 − √(1 − 2A0) = 1 − √(1 − 2 × 0.2761686) = 0.3309239 ≤ ξjg = 0.55",
      "    As翼 = (b'i − b)·Ra·h'i/Rg = (1 − 0.2) × 14500 × 0.15/340000 = 0.005117647 m²",
      "    As肋 = γc·M肋/(Rg·γ0·h0) = 1.25 × 360.4/(340000 × 0.8345381 × 0.75) = 0.00211694 m²",
      "    x = As肋·Rg/(Ra·b) = 0.00211694 × 340000/(14500 × 0.2) = 0.2481929 m，取 0.2481 m",
      "    ρ = (As翼 + As肋)/(b·h0) × 100 = (0.005117647 + 0.00211694)/(0.2 × 0.75) × 100 = 4.823058 %，取 4.823 %，不小于 ρmin = 0.15 %",
      "    As = (As翼 + As肋) × 10⁴ = (0.005117647 + 0.00211694) × 10⁴ = 72.34587 cm²，取 72.345 cm²",
      "    D12：a₁ = 1.131 cm²，n = 64；D14：a₁ = 1.539 cm²，n = 47；D16：a₁ = 2.011 cm²，n = 36"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.2481, true, "As"}},
    {"DesignAtTheMinimumRatio",
     zhuheng_test::designed_at_minimum_ratio,
     {"    钢筋 Ⅰ级：Rg = 240000 KPa，ξjg = 0.65",
      "    最小配筋率 ρmin = 0.15 %，材料安全系数 γc = 1.25",
      "    A0 = γc·M肋/(Ra·b·h0²) = 1.25 × 40/(8500 × 0.5 × 1²) = 0.01176471（1 − 2A0 ≥ 0）",
      "    ξ = 1 − √(1 − 2A0) = 1 − √(1 − 2 × 0.01176471) = 0.01183474 ≤ ξjg = 0.65",
      "    As肋 = γc·M肋/(Rg·γ0·h0) = 1.25 × 40/(240000 × 0.9940826 × 1) = 0.0002095735 m²",
      "    ρ = (As翼 + As肋)/(b·h0) × 100 = (0 + 0.0002095735)/(0.5 × 1) × 100 = 0.04191469 %，取 0.041 %，小于 ρmin = 0.15 %",
      "    As = ρmin·b·h0/100 × 10⁴ = 0.15 × 0.5 × 1/100 × 10⁴ = 7.5 cm²，取 7.5 cm²（按最小配筋率）",
      "    D12：a₁ = 1.131 cm²，n = 7；D14：a₁ = 1.539 cm²，n = 5；D16：a₁ = 2.011 cm²，n = 4"},
     SectionFigure{0.5, 0.01, 0.5, 1.05, 0.05, 0.0118, true, "As"}},
    {"CheckFirstType",
     check_first_type,
     {"    Ag = 50 cm² = 0.005 m²",
      "    K = Ra·b'i·h'i·(h0 − h'i/2)/γc = 11000 × 1.6 × 0.12 × (1.23 − 0.12/2)/1.25 = 1976.832 KN.m",
      "    Mj = 1500 ≤ K = 1976.832 KN.m，属第一类T形截面",
      "    x = Rg·Ag/(Ra·b'i) = 340000 × 0.005/(11000 × 1.6) = 0.09659091 m，取 0.0965 m",
      "    提示：x = 0.0965 ≤ h'i = 0.12 m，受压区在翼缘内（第一类截面不作此项验算）",
      "    Mu = Ra·b'i·x·(h0 − x/2)/γc = 11000 × 1.6 × 0.09659091 × (1.23 − 0.09659091/2)/1.25 = 1607.118 KN.m，取 1607.118 KN.m",
      "    1.05·Mu = 1.05 × 1607.118 = 1687.474 KN.m（Mu 取取整前的值）",
      "    Mj = 1500 ≤ 1.05·Mu = 1687.474 KN.m，结果：通过验算"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0.0965, false, "Ag"}},
    {"CheckSecondTypePasses",
     check_second_type_passes,
     {"    Ag = 80 cm² = 0.008 m²",
      "    Ag翼 = Ra·(b'i − b)·h'i/Rg = 11000 × (1.6 − 0.18) × 0.12/340000 = 0.005512941 m²",
      "    Ag肋 = Ag − Ag翼 = 0.008 − 0.005512941 = 0.002487059 m²",
      "    ρ肋 = Ag肋/(b·h0) = 0.002487059/(0.18 × 1.23) = 0.01123333",
      "    ξ = ρ肋·Rg/Ra = 0.01123333 × 340000/11000 = 0.347212",
      "    提示：ξ = 0.347212 ≤ ξjg = 0.55（强度复核不作此项验算，结果只由弯矩决定）",
      "    x = Rg·Ag肋/(Ra·b) = 340000 × 0.002487059/(11000 × 0.18) = 0.4270707 m，取 0.427 m",
      "    M肋 = Rg·Ag肋·(1 − 0.5ξ)·h0/γc = 340000 × 0.002487059 × (1 − 0.5 × 0.347212) × 1.23/1.25 = 687.618 KN.m",
      "    M翼 = Rg·Ag翼·(h0 − h'i/2)/γc = 340000 × 0.005512941 × (1.23 − 0.12/2)/1.25 = 1754.438 KN.m",
      "    Mu = M肋 + M翼 = 687.618 + 1754.438 = 2442.056 KN.m，取 2442.056 KN.m",
      "    1.05·Mu = 1.05 × 2442.056 = 2564.159 KN.m（Mu 取取整前的值）",
      "    Mj = 2500 ≤ 1.05·Mu = 2564.159 KN.m，结果：通过验算"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0.427, true, "Ag"}},
    // No steel typed: the area reads back as the 0 typed, not as the tiniest number that also
    // divides to 0.
    {"CheckWithNoSteelArea",
     [] { return zhuheng_test::checked(0, 1500); },
     {"    Ag = 0 cm² = 0 m²",
      "    Mj = 1500 > 1.05·Mu = 0 KN.m，结果：未通过"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0, false, "Ag"}},
    {"CheckSecondTypeFails",
     [] { return zhuheng_test::checked(80, 3000); },
     {"    Mj = 3000 > K = 1976.832 KN.m，属第二类T形截面",
      "    Mj = 3000 > 1.05·Mu = 2564.159 KN.m，结果：未通过"},
     SectionFigure{1.6, 0.12, 0.18, 1.3, 0.07, 0.427, true, "Ag"}},
    {"SectionThatCannotBeDrawn",
     check_flange_thicker_than_the_beam,
     {"    提示：x = 0.0965 ≤ h'i = 1.5 m，受压区在翼缘内（第一类截面不作此项验算）",
      "截面图从略：翼缘厚度大于梁体高度。"},
     std::nullopt},
    // K is 1976.8319999999999: the moment typed as the capacity shown is above it, and K is
    // shown with the digits that tell it from the moment, on its own line as well.
    {"MomentShownEqualToTheCapacity",
     [] { return zhuheng_test::checked(50, 1976.832); },
     {"    K = Ra·b'i·h'i·(h0 − h'i/2)/γc = 11000 × 1.6 × 0.12 × (1.23 − 0.12/2)/1.25 = 1976.8319999999999 KN.m",
      "    Mj = 1976.832 > K = 1976.8319999999999 KN.m，属第二类T形截面",
      "截面图从略：受压区高度超出截面。"},
     std::nullopt},
    {"DesignWithATypedStrength",
     [] {
         using namespace zhuheng_test;
         CalcState s = prepared(kConcrete25, kSteelI, design_example_section(500), "300");
         s.mode = CalcMode::Design;
         EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
         return s;
     },
     {"    钢筋 Ⅰ级，强度按输入：Rg = 300000 KPa，ξjg = 0.65",
      "    x = As·Rg/(Ra·b'i) = 28.93237/10⁴ × 300000/(14500 × 1) = 0.05986008 m，取 0.0598 m"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"DesignWithATypedStrengthAndNoGrade",
     [] {
         using namespace zhuheng_test;
         CalcState s = prepared(kConcrete25, "", design_example_section(500), "300");
         s.mode = CalcMode::Design;
         EXPECT_EQ(reinforcement_design(s), DesignOutcome::Completed);
         return s;
     },
     {"    钢筋 （未选等级），强度按输入：Rg = 300000 KPa，ξjg 未定（按 0 计）"},
     SectionFigure{1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"NegativeMoment",
     [] { return zhuheng_test::designed(-25); },
     {"    A0 = γc·Mj/(Ra·b'i·h0²) = 1.25 × (-25)/(14500 × 1 × 0.75²) = -0.003831418（1 − 2A0 ≥ 0）",
      "    x = As·Rg/(Ra·b'i) = (-1.223151)/10⁴ × 340000/(14500 × 1) = -0.002868079 m，取 -0.0029 m",
      "截面图从略：受压区高度超出截面。"},
     std::nullopt},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(WorkedExamples, RunWorking, ::testing::ValuesIn(kWorkingCases),
                         [](const ::testing::TestParamInfo<WorkingCase>& info) {
                             return std::string(info.param.name);
                         });

// Whether a section can be drawn to scale, and the compression zone drawn: the first type the
// section down to x, the second the whole flange and the web down to x.
struct FigureCase {
    const char* name;
    SectionFigure figure;
    std::optional<std::string> problem;
    std::vector<FigurePoint> compression; // when it can be drawn
};

void PrintTo(const FigureCase& c, std::ostream* os) {
    *os << c.name;
}

class Figure : public ::testing::TestWithParam<FigureCase> {};

TEST_P(Figure, ProblemOrCompressionZone) {
    const FigureCase& c = GetParam();
    EXPECT_EQ(figure_problem(c.figure), c.problem);
    if (c.problem) {
        return;
    }
    const SectionDrawing d = section_drawing(c.figure);
    EXPECT_EQ(d.width, std::max(c.figure.bi, c.figure.b));
    EXPECT_EQ(d.height, c.figure.h);
    ASSERT_EQ(d.compression.size(), c.compression.size());
    for (std::size_t i = 0; i < d.compression.size(); ++i) {
        EXPECT_NEAR(d.compression[i].x, c.compression[i].x, 1e-12) << "corner " << i;
        EXPECT_NEAR(d.compression[i].y, c.compression[i].y, 1e-12) << "corner " << i;
    }
}

// clang-format off
const FigureCase kFigureCases[] = {
    {"FirstTypeFlangeStrip", {1, 0.15, 0.2, 0.8, 0.05, 0.06, false, "As"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.06}, {0, 0.06}}},
    {"FirstTypeBelowTheFlange", {1, 0.15, 0.2, 0.8, 0.05, 0.3, false, "Ag"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.15}, {0.6, 0.15}, {0.6, 0.3}, {0.4, 0.3}, {0.4, 0.15}, {0, 0.15}}},
    {"SecondTypeFlangeAndWeb", {1, 0.15, 0.2, 0.8, 0.05, 0.25, true, "As"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.15}, {0.6, 0.15}, {0.6, 0.25}, {0.4, 0.25}, {0.4, 0.15}, {0, 0.15}}},
    {"SecondTypeWebAboveTheFlangeBottom", {1, 0.15, 0.2, 0.8, 0.05, 0.1, true, "Ag"}, std::nullopt,
     {{0, 0}, {1, 0}, {1, 0.15}, {0.6, 0.15}, {0.6, 0.1}, {0.4, 0.1}, {0.4, 0.15}, {0, 0.15}}},
    {"WebWiderThanTheFlange", {0.2, 0.1, 0.5, 0.8, 0.05, 0.05, false, "As"}, std::nullopt,
     {{0.15, 0}, {0.35, 0}, {0.35, 0.05}, {0.15, 0.05}}},
    {"ZeroWebWidth", {1, 0.15, 0, 0.8, 0.05, 0.1, true, "As"}, "截面尺寸有零或负值", {}},
    {"FlangeThickerThanTheBeam", {1, 0.9, 0.2, 0.8, 0.05, 0.1, false, "As"}, "翼缘厚度大于梁体高度", {}},
    {"SteelBelowTheBeam", {1, 0.15, 0.2, 0.8, -0.01, 0.1, false, "As"}, "钢筋重心不在截面内", {}},
    {"ZoneDeeperThanTheBeam", {1, 0.15, 0.2, 0.8, 0.05, 0.81, true, "As"}, "受压区高度超出截面", {}},
    {"FlangeTwentyKilometresWide", {20000, 0.15, 0.2, 0.8, 0.05, 0.07, false, "As"},
     "截面尺寸超出可按比例画出的范围", {}},
    {"SizesTooFarApart", {1000, 0.15, 0.2, 0.8, 0.05, 0.07, false, "As"},
     "截面各尺寸相差过于悬殊，按比例画不出", {}},
    {"SectionOfSubnormalSizes", {1e-310, 1e-310, 1e-310, 1e-310, 0, 0, false, "As"},
     "截面尺寸超出可按比例画出的范围", {}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sections, Figure, ::testing::ValuesIn(kFigureCases),
                         [](const ::testing::TestParamInfo<FigureCase>& info) {
                             return std::string(info.param.name);
                         });

// How near a line comes to a rectangle: the least distance of its points, which is convex
// along the line, found by ternary search.
double nearest_approach(const FigureLine& l, const FigureRect& r) {
    const auto at = [&](double t) {
        const double x = l.from.x + t * (l.to.x - l.from.x);
        const double y = l.from.y + t * (l.to.y - l.from.y);
        return std::hypot(std::max({r.left - x, 0.0, x - r.right}),
                          std::max({r.top - y, 0.0, y - r.bottom}));
    };
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        (at(m1) < at(m2) ? hi : lo) = at(m1) < at(m2) ? m2 : m1;
    }
    return std::min({at(0), at(1), at((lo + hi) / 2)});
}

// What is wrong with the labels of a layout, or nothing: a label outside the box, nearer a line,
// the dot or another label than the clearance, a dimension's label across one of its extension
// lines rather than between them or wholly beside them, the steel's label away from its dot
// with no leader from it.
std::optional<std::string> label_fault(const SectionDrawing& d, const SectionLayout& l,
                                       const FigureRect& box) {
    constexpr double kRounding = 1e-6;
    struct Stroke {
        FigureLine line;
        double half_width;
    };
    std::vector<Stroke> strokes;
    for (const FigureLine& line : l.lines) {
        strokes.push_back({line, l.line_width / 2});
    }
    for (std::size_t i = 0; i < l.outline.size(); ++i) {
        strokes.push_back(
            {{l.outline[i], l.outline[(i + 1) % l.outline.size()]}, l.outline_width / 2});
    }
    for (std::size_t i = 0; i < l.compression.size(); ++i) {
        strokes.push_back({{l.compression[i], l.compression[(i + 1) % l.compression.size()]}, 0});
    }
    strokes.push_back({{l.steel, l.steel}, l.steel_radius + l.outline_width / 2});
    std::vector<std::string> expected{d.steel_label}, texts;
    for (const FigureDimension& dim : d.dimensions) {
        expected.push_back(dim.label);
    }
    for (std::size_t i = 0; i < l.labels.size(); ++i) {
        const FigureLabel& label = l.labels[i];
        const FigureRect& r = label.box;
        texts.push_back(label.text);
        if (r.left < box.left || r.right > box.right || r.top < box.top || r.bottom > box.bottom) {
            return label.text + " outside the box";
        }
        for (const Stroke& s : strokes) {
            const double need = s.half_width + l.clearance;
            const bool far = std::min(s.line.from.x, s.line.to.x) >= r.right + need ||
                             std::max(s.line.from.x, s.line.to.x) <= r.left - need ||
                             std::min(s.line.from.y, s.line.to.y) >= r.bottom + need ||
                             std::max(s.line.from.y, s.line.to.y) <= r.top - need;
            if (!far && nearest_approach(s.line, r) + kRounding < need) {
                return label.text + " touches a line";
            }
        }
        for (std::size_t j = i + 1; j < l.labels.size(); ++j) {
            const FigureRect& o = l.labels[j].box;
            if (std::max({o.left - r.right, r.left - o.right, o.top - r.bottom, r.top - o.bottom}) +
                    kRounding <
                l.clearance) {
                return label.text + " touches " + l.labels[j].text;
            }
        }
    }
    std::sort(expected.begin(), expected.end());
    std::sort(texts.begin(), texts.end());
    if (texts != expected) {
        return std::string("labels missing or repeated");
    }
    const FigurePoint origin{l.outline[0].x - d.outline[0].x * l.scale,
                             l.outline[0].y - d.outline[0].y * l.scale};
    for (const FigureDimension& dim : d.dimensions) {
        const auto label = std::find_if(l.labels.begin(), l.labels.end(),
                                        [&](const FigureLabel& x) { return x.text == dim.label; });
        const bool across =
            dim.side == FigureDimension::Side::Above || dim.side == FigureDimension::Side::Below;
        const double a = across ? label->box.left : label->box.top;
        const double b = across ? label->box.right : label->box.bottom;
        const double s0 =
            across ? origin.x + dim.from.x * l.scale : origin.y + dim.from.y * l.scale;
        const double s1 = across ? origin.x + dim.to.x * l.scale : origin.y + dim.to.y * l.scale;
        if (!((s0 < a && b < s1) || b < s0 || a > s1)) {
            return dim.label + " across an extension line";
        }
    }
    const auto steel = std::find_if(l.labels.begin(), l.labels.end(),
                                    [&](const FigureLabel& x) { return x.text == d.steel_label; });
    const FigureRect& r = steel->box;
    const auto apart = [&](FigurePoint p) {
        return std::hypot(std::max({r.left - p.x, 0.0, p.x - r.right}),
                          std::max({r.top - p.y, 0.0, p.y - r.bottom}));
    };
    const double beside = l.steel_radius + l.outline_width / 2 + l.clearance + kRounding;
    const bool led = std::any_of(l.lines.begin(), l.lines.end(), [&](const FigureLine& line) {
        return line.from.x == l.steel.x && line.from.y == l.steel.y &&
               apart(line.to) < l.clearance + l.line_width;
    });
    if (apart(l.steel) > beside && !led) {
        return d.steel_label + " away from its dot with no leader";
    }
    return std::nullopt;
}

// Sections over the range that can be drawn, from the widest flange to the deepest web, with
// every compression zone and cover; their sizes times `digits`, which makes numbers of 15
// significant digits of them.
std::vector<SectionFigure> drawable_sections(double digits) {
    const double widths[] = {0.001, 0.03, 0.3, 1};
    const double heights[] = {0.001, 0.05, 1};
    const double flange[] = {0, 0.1, 1};           // h'i from its least to h
    const double cover[] = {0, 0.001, 0.06, 1};    // a as a part of h
    const double zone[] = {-1, 0, 0.0001, 0.5, 1}; // x as a part of h; -1: x = h'i
    std::vector<SectionFigure> out;
    for (const double bi : widths) {
        for (const double b : widths) {
            for (const double h : heights) {
                for (const double fh : flange) {
                    const double hi = std::max(std::max({bi, b, h}) * 1e-3, fh * h) * digits;
                    for (const double fa : cover) {
                        for (const double fx : zone) {
                            for (const bool second : {false, true}) {
                                const double x =
                                    std::min(fx < 0 ? hi : fx * h * digits, h * digits);
                                SectionFigure f{bi * digits,     hi, b * digits, h * digits,
                                                fa * h * digits, x,  second,     "As"};
                                if (!figure_problem(f)) {
                                    out.push_back(f);
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    return out;
}

// Each of them as the page sets it: in the box a drawing gets, or a page high where its labels
// need more room than that; in type as high as the page's and about as wide. Its labels keep
// clear (label_fault) on A4, and on narrow paper where the numbers are short.
TEST(FigureLayout, LabelsStandClearOverTheDrawableRange) {
    const FigureType type{12.3, [](const std::string& text) { return 6.0 * text.size(); }};
    struct Row {
        const char* name;
        double digits;
        FigureRect box, page;
    };
    const Row rows[] = {
        {"a4", 1, {57, 300, 538, 527}, {57, 57, 538, 765}},
        {"narrow", 1, {40, 40, 300, 190}, {40, 40, 300, 540}},
        {"a4_fifteen_digits", 1.00000000000001, {57, 300, 538, 527}, {57, 57, 538, 765}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<SectionFigure> sections = drawable_sections(row.digits);
        EXPECT_GT(sections.size(), 1000u);
        int faults = 0;
        for (const SectionFigure& f : sections) {
            const SectionDrawing d = section_drawing(f);
            std::optional<SectionLayout> l = section_layout(d, row.box, type);
            const FigureRect& box = l ? row.box : row.page;
            if (!l) {
                l = section_layout(d, box, type);
            }
            const std::optional<std::string> fault = l ? label_fault(d, *l, box) : "not drawn";
            if (fault && ++faults <= 5) {
                ADD_FAILURE() << *fault << ": b'i " << f.bi << ", h'i " << f.hi << ", b " << f.b
                              << ", h " << f.h << ", a " << f.a << ", x " << f.x;
            }
        }
        EXPECT_EQ(faults, 0) << "of " << sections.size() << " sections";
    }
}

// The ρ line of the second-type design set in rows of a given width, every character one wide:
// it breaks between clauses, keeping "取 4.823 %" whole; a clause wider than the row breaks
// before its " = ", its values before an operator; a piece wider than a row at a blank before a
// sign, else between characters (only there can a unit part from its number). No row is wider
// than its room and no character is lost.
struct RowsCase {
    const char* name;
    double first, rest;
    std::vector<std::string> rows;
};

void PrintTo(const RowsCase& c, std::ostream* os) {
    *os << c.name;
}

class WorkingRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(WorkingRows, BreakBetweenClausesFirst) {
    const RowsCase& c = GetParam();
    const auto width = [](const std::string& text) {
        return static_cast<double>(code_points(text));
    };
    const Working working = run_working(zhuheng_test::designed(1300));
    const auto line = std::find_if(working.lines.begin(), working.lines.end(), [](const auto& l) {
        return line_text(l).rfind("    ρ = ", 0) == 0;
    });
    ASSERT_NE(line, working.lines.end());
    const std::vector<std::string> rows = working_rows(line_pieces(*line), c.first, c.rest, width);
    EXPECT_EQ(rows, c.rows);
    std::string joined;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_LE(width(rows[r]), r == 0 ? c.first : c.rest) << rows[r];
        joined += rows[r];
    }
    const auto squeezed = [](std::string t) {
        t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
        return t;
    };
    EXPECT_EQ(squeezed(joined), squeezed(line_text(*line)));
}

// clang-format off
const RowsCase kRowsCases[] = {
    {"LineThatFitsStaysWhole", 120, 118,
     {"ρ = (As翼 + As肋)/(b·h0) × 100 = (0.005117647 + 0.00211694)/(0.2 × 0.75) × 100 = 4.823058 %，取 4.823 %，不小于 ρmin = 0.15 %"}},
    {"BreaksAfterAComma", 100, 98,
     {"ρ = (As翼 + As肋)/(b·h0) × 100 = (0.005117647 + 0.00211694)/(0.2 × 0.75) × 100 = 4.823058 %，取 4.823 %，",
      "不小于 ρmin = 0.15 %"}},
    {"ClauseTooWideBreaksBeforeAnEquals", 80, 78,
     {"ρ = (As翼 + As肋)/(b·h0) × 100 = (0.005117647 + 0.00211694)/(0.2 × 0.75) × 100",
      "= 4.823058 %，取 4.823 %，不小于 ρmin = 0.15 %"}},
    {"EachEqualsOnARowOfItsOwn", 50, 48,
     {"ρ = (As翼 + As肋)/(b·h0) × 100",
      "= (0.005117647 + 0.00211694)/(0.2 × 0.75) × 100",
      "= 4.823058 %，取 4.823 %，不小于 ρmin = 0.15 %"}},
    {"ValuesTooWideBreakBeforeAnOperatorAndTakeStaysWhole", 22, 20,
     {"ρ = (As翼 + As肋)/(b·h0)", "× 100", "= (0.005117647", "+ 0.00211694)/(0.2", "× 0.75) × 100",
      "= 4.823058 %，", "取 4.823 %，", "不小于 ρmin = 0.15 %"}},
    {"PieceWiderThanARowBreaksAtABlankBeforeASignThenAnywhere", 12, 10,
     {"ρ = (As翼", "+ As肋)/(b·", "h0) × 100", "= (0.00511", "7647", "+ 0.002116", "94)/(0.2",
      "× 0.75)", "× 100", "= 4.823058", "%，", "取 4.823 %，", "不小于 ρmin", "= 0.15 %"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, WorkingRows, ::testing::ValuesIn(kRowsCases),
                         [](const ::testing::TestParamInfo<RowsCase>& info) {
                             return std::string(info.param.name);
                         });

// The blanks a row may not end at, made no-break spaces for a word processor that breaks the
// rows itself: after a sign, and after a number unless a sign follows; the other blanks stay.
TEST(NoBreakBlanks, StandWhereARowMayNotEnd) {
    struct Case {
        const char* name;
        const char* text;
        const char* fixed;
    };
    const Case cases[] = {
        {"NumberKeepsItsUnitSignItsOperand", "取 4.823 %，不小于 ρmin = 0.15 %",
         "取 4.823\u00A0%，不小于 ρmin =\u00A00.15\u00A0%"},
        {"NumberBeforeAnOperatorMayBreak", "(0.75 − 0.15/2) × 100",
         "(0.75 −\u00A00.15/2) ×\u00A0100"},
        {"GreaterOrEqualIsASign", "（1 − 2A0 ≥ 0）", "（1 −\u00A02A0 ≥\u00A00）"},
        {"NumberKeepsTheWordItCounts", "取 7 位有效数字", "取 7\u00A0位有效数字"},
        {"BlanksBetweenWordsStay", "，As 取取整前的 72.34587 cm²",
         "，As 取取整前的 72.34587\u00A0cm²"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(with_no_break_blanks(c.text), c.fixed) << c.name;
    }
}

} // namespace
