// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/working.h"

#include "engine/checked_arithmetic.h"
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/text_to_number.h"
#include "working/working_writer.h"

#include <cmath>

namespace zhuheng {

namespace {

using namespace working_text;

// The steel area of a check as typed, in cm2. CalcState keeps only the area in m2 (the typed
// number divided by 10000), so this is the shortest number that the same division turns into the
// kept area: the number typed, unless it had more digits than tell areas apart. None where no
// number does (a state the division did not make).
// The candidates nearest the product come first: with an area of 0, a tiny negative number
// would also divide to 0, and must not be taken for the typed 0.
std::optional<std::string> typed_area_cm2(double ag_m2) {
    const double guess = ag_m2 * 10000.0;
    const double below = std::nextafter(guess, -HUGE_VAL), above = std::nextafter(guess, HUGE_VAL);
    const double candidates[] = {guess, below, above, std::nextafter(below, -HUGE_VAL),
                                 std::nextafter(above, HUGE_VAL)};
    for (int digits = 1; digits <= 17; ++digits) {
        for (const double candidate : candidates) {
            try {
                const double typed = text_to_number(significant_text(candidate, digits));
                if ((Checked(typed) / 10000.0).value() == ag_m2) {
                    return text_with_digits(typed, std::max(digits, 15));
                }
            } catch (const ArithmeticFault&) {
                // A text rounded up beyond the range of a double: no typed number.
            }
        }
    }
    return std::nullopt;
}

std::string concrete_label(const CalcState& s) {
    for (const ConcreteGrade& grade : ConcreteGradeTable) {
        if (s.ra && grade.ra == *s.ra) {
            return std::string(grade.label);
        }
    }
    return "（未选标号）";
}

std::string steel_label(const CalcState& s) {
    for (const SteelGrade& grade : SteelGradeTable) {
        if (s.rg_grade && grade.rg == *s.rg_grade) {
            return std::string(grade.label);
        }
    }
    return "（未选等级）";
}

void materials(Lines& out, const CalcState& s) {
    out.heading("一、材料");
    out.body("混凝土 " + concrete_label(s) + "：Ra = " + v(s.ra) + " KPa");
    // A strength typed in MPa replaces the grade's for the run.
    const bool typed = s.rg && std::holds_alternative<double>(*s.rg);
    out.body("钢筋 " + steel_label(s) + (typed ? "，强度按输入" : "") + "：Rg = " + v(s.rg) +
             " KPa，" + (s.xi_jg ? "ξjg = " + v(s.xi_jg) : "ξjg 未定（按 0 计）"));
    out.body("最小配筋率 ρmin = " + v(s.ratio_min) + " %，材料安全系数 γc = " + v(kGammaC));
}

void section(Lines& out, const CalcState& s) {
    const Values q(s);
    out.heading("二、截面与弯矩");
    out.body("b'i = " + v(s.bi) + " m，h'i = " + v(s.hi) + " m，b = " + v(s.b) +
             " m，h = " + v(s.h) + " m，a = " + v(s.bc) + " m");
    out.body().part(settled({"h0", "h − a", q.shown(&S::h) - q.shown(&S::bc),
                             stored(s, &S::h0, NumberForm::Shown), " m"}));
    if (s.mode == CalcMode::Check) {
        const auto typed = typed_area_cm2(value_or_zero(s.ag));
        out.body("Ag = " + (typed ? *typed + " cm² = " : "") + v(s.ag) + " m²");
    }
    out.body("Mj = " + v(s.mj) + " KN.m");
}

// Returns whether the run took the second type.
bool section_type(Lines& out, const CalcState& s) {
    const Values q(s);
    out.heading("三、截面类型");
    // The type is chosen on the values stored for the run, exactly as the calculation chose it.
    const auto [mj, k] = compared(stored(s, &S::mj, NumberForm::Shown),
                                  stored(s, &S::flange_capacity, NumberForm::Intermediate));
    out.body().part(settled({"K", "Ra·b'i·h'i·(h0 − h'i/2)/γc",
                             q.shown(&S::ra) * q.shown(&S::bi) * q.shown(&S::hi) *
                                 (q.shown(&S::h0) - q.shown(&S::hi) / q.c(2)) / q.c(kGammaC),
                             k, " KN.m"}));
    const bool second = mj.value > k.value;
    out.body()
        .part(Comparison{Compared{"Mj", mj}, relation(mj.value, k.value), {"K", k}, " KN.m"})
        .words(second ? "，属第二类T形截面" : "，属第一类T形截面");
    return second;
}

} // namespace

Working run_working(const CalcState& s) {
    const bool design = s.mode == CalcMode::Design;
    Lines out;
    out.heading(design ? "计算过程（配筋计算）" : "计算过程（强度复核）");
    materials(out, s);
    section(out, s);
    const bool second = section_type(out, s);
    if (design) {
        out.heading("四、配筋计算");
        design_working(out, s, second);
    } else {
        out.heading("四、强度复核");
        check_working(out, s, second);
    }
    out.heading(
        "注：结果一律向下取整，不四舍五入：面积、配筋率、弯矩取至 0.001，高度取至 0.0001；"
        "中间值和取整前的结果取 7 位有效数字，个别数为使本行按所示数字复算无误而多取几位。");

    Working working;
    SectionFigure figure{value_or_zero(s.bi),
                         value_or_zero(s.hi),
                         value_or_zero(s.b),
                         value_or_zero(s.h),
                         value_or_zero(s.bc),
                         value_or_zero(s.x),
                         second,
                         design ? "As" : "Ag"};
    if (const auto problem = figure_problem(figure)) {
        out.heading("截面图从略：" + *problem + "。");
    } else {
        working.figure = figure;
    }
    working.lines = out.take();
    return working;
}

} // namespace zhuheng
