// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/working.h"

#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/number_text.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"

#include <utility>

namespace zhuheng {

namespace {

// A value as the boxes show it (inputs, material values, floored results).
std::string v(double value) {
    return plain_number_text(value);
}
template <class T> std::string v(const std::optional<T>& value) {
    return v(value_or_zero(value));
}

// An intermediate value, or a result before flooring: 7 significant digits.
std::string v7(double value) {
    return significant_text(value, 7);
}
template <class T> std::string v7(const std::optional<T>& value) {
    return v7(value_or_zero(value));
}

// A value put into a formula: a negative one in parentheses.
std::string in(const std::string& text) {
    return text[0] == '-' ? "(" + text + ")" : text;
}

// A comparison of two values as the calculation made it. Where the two shown forms read alike
// but the values differ, both are shown in full, so that the sheet never states 1976.832 >
// 1976.832.
std::string compared(double a, std::string a_text, double b, std::string b_text,
                     const char* relation_if_not_above, const std::string& b_name) {
    if (a != b && a_text == b_text) {
        a_text = significant_text(a, 17);
        b_text = significant_text(b, 17);
    }
    return a_text + (a > b ? " > " : relation_if_not_above) + b_name + " = " + b_text;
}

// A floored result: its value as computed, then as kept.
std::string floored(double unfloored, double kept, const char* unit) {
    return v7(unfloored) + unit + "，取 " + v(kept) + unit;
}

class Lines {
public:
    void heading(const std::string& text) { lines_.push_back(text); }
    void body(const std::string& text) { lines_.push_back("    " + text); }
    std::vector<std::string> take() { return std::move(lines_); }

private:
    std::vector<std::string> lines_;
};

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
    out.heading("二、截面与弯矩");
    out.body("b'i = " + v(s.bi) + " m，h'i = " + v(s.hi) + " m，b = " + v(s.b) +
             " m，h = " + v(s.h) + " m，a = " + v(s.bc) + " m");
    out.body("h0 = h − a = " + in(v(s.h)) + " − " + in(v(s.bc)) + " = " + v(s.h0) + " m");
    if (s.mode == CalcMode::Check) {
        out.body("Ag = " + v(s.ag) + " m²");
    }
    out.body("Mj = " + v(s.mj) + " KN.m");
}

// Returns whether the run took the second type.
bool section_type(Lines& out, const CalcState& s) {
    out.heading("三、截面类型");
    out.body("K = Ra·b'i·h'i·(h0 − h'i/2)/γc = " + in(v(s.ra)) + " × " + in(v(s.bi)) + " × " +
             in(v(s.hi)) + " × (" + in(v(s.h0)) + " − " + in(v(s.hi)) + "/2)/" + v(kGammaC) +
             " = " + v7(s.flange_capacity) + " KN.m");
    // The type is chosen on the values stored for the run, exactly as the calculation chose it.
    const double mj = value_or_zero(s.mj);
    const bool second = mj > s.flange_capacity;
    out.body("Mj = " + compared(mj, v(mj), s.flange_capacity, v7(s.flange_capacity), " ≤ ", "K") +
             " KN.m，属" + (second ? "第二类T形截面" : "第一类T形截面"));
    return second;
}

// The first type does not test whether the compression zone stays in the flange.
void zone_in_flange_note(Lines& out, const CalcState& s) {
    const bool inside = value_or_zero(s.x) <= value_or_zero(s.hi);
    out.body("提示：x = " +
             compared(value_or_zero(s.x), v(s.x), value_or_zero(s.hi), v(s.hi), " ≤ ", "h'i") +
             " m，受压区" + (inside ? "在翼缘内" : "超出翼缘") + "（第一类截面不作此项验算）");
}

void design_first_type(Lines& out, const CalcState& s) {
    out.body("A0 = γc·Mj/(Ra·b'i·h0²) = " + v(kGammaC) + " × " + in(v(s.mj)) + "/(" + in(v(s.ra)) +
             " × " + in(v(s.bi)) + " × " + in(v(s.h0)) + "²) = " + v7(s.a0) + "（1 − 2A0 ≥ 0）");
    out.body("γ0 = (1 + √(1 − 2A0))/2 = (1 + √(1 − 2 × " + in(v7(s.a0)) + "))/2 = " + v7(s.gamma0));
    // The area is found in m2 and kept in cm2: the factor 10⁴ is that change of unit.
    out.body("As = γc·Mj/(Rg·γ0·h0) = " + v(kGammaC) + " × " + in(v(s.mj)) + "/(" + in(v(s.rg)) +
             " × " + in(v7(s.gamma0)) + " × " + in(v(s.h0)) +
             ") × 10⁴ = " + floored(s.as_unfloored, value_or_zero(s.as_req), " cm²"));
    out.body("ρ = As/(b·h0) = " + in(v7(s.as_unfloored)) + "/(" + in(v(s.b)) + " × " + in(v(s.h0)) +
             " × 10⁴) × 100 = " + floored(s.ratio_unfloored, s.ratio, " %"));
    out.body("x = As·Rg/(Ra·b'i) = " + in(v7(s.as_unfloored)) + " × 10⁻⁴ × " + in(v(s.rg)) + "/(" +
             in(v(s.ra)) + " × " + in(v(s.bi)) +
             ") = " + floored(s.x_unfloored, value_or_zero(s.x), " m"));
    zone_in_flange_note(out, s);
}

void design_second_type(Lines& out, const CalcState& s) {
    out.body("M翼 = (b'i − b)·Ra·h'i·(h0 − h'i/2)/γc = (" + in(v(s.bi)) + " − " + in(v(s.b)) +
             ") × " + in(v(s.ra)) + " × " + in(v(s.hi)) + " × (" + in(v(s.h0)) + " − " +
             in(v(s.hi)) + "/2)/" + v(kGammaC) + " = " + v7(s.m_flange) + " KN.m");
    out.body("M肋 = Mj − M翼 = " + in(v(s.mj)) + " − " + in(v7(s.m_flange)) + " = " + v7(s.m_web) +
             " KN.m");
    out.body("A0 = γc·M肋/(Ra·b·h0²) = " + v(kGammaC) + " × " + in(v7(s.m_web)) + "/(" +
             in(v(s.ra)) + " × " + in(v(s.b)) + " × " + in(v(s.h0)) + "²) = " + v7(s.a0_web) +
             "（1 − 2A0 ≥ 0）");
    out.body("γ0 = (1 + √(1 − 2A0))/2 = (1 + √(1 − 2 × " + in(v7(s.a0_web)) +
             "))/2 = " + v7(s.gamma0_web));
    out.body("ξ = 1 − √(1 − 2A0) = 1 − √(1 − 2 × " + in(v7(s.a0_web)) +
             ") = " + compared(s.xi, v7(s.xi), value_or_zero(s.xi_jg), v(s.xi_jg), " ≤ ", "ξjg"));
    out.body("As翼 = (b'i − b)·Ra·h'i/Rg = (" + in(v(s.bi)) + " − " + in(v(s.b)) + ") × " +
             in(v(s.ra)) + " × " + in(v(s.hi)) + "/" + in(v(s.rg)) + " = " + v7(s.ag_flange) +
             " m²");
    out.body("As肋 = γc·M肋/(Rg·γ0·h0) = " + v(kGammaC) + " × " + in(v7(s.m_web)) + "/(" +
             in(v(s.rg)) + " × " + in(v7(s.gamma0_web)) + " × " + in(v(s.h0)) +
             ") = " + v7(s.ag_web) + " m²");
    out.body("x = As肋·Rg/(Ra·b) = " + in(v7(s.ag_web)) + " × " + in(v(s.rg)) + "/(" + in(v(s.ra)) +
             " × " + in(v(s.b)) + ") = " + floored(s.x_unfloored, value_or_zero(s.x), " m"));
    // The minimum ratio is tested on the ratio as computed, before flooring.
    const bool raised = s.ratio_unfloored < s.ratio_min;
    out.body("ρ = (As翼 + As肋)/(b·h0) × 100 = (" + in(v7(s.ag_flange)) + " + " + in(v7(s.ag_web)) +
             ")/(" + in(v(s.b)) + " × " + in(v(s.h0)) +
             ") × 100 = " + floored(s.ratio_unfloored, s.ratio, " %") + "，" +
             (raised ? "小于" : "不小于") + " ρmin = " + v(s.ratio_min) + " %");
    if (raised) {
        out.body("As = ρmin·b·h0/100 × 10⁴ = " + v(s.ratio_min) + " × " + in(v(s.b)) + " × " +
                 in(v(s.h0)) + "/100 × 10⁴ = " +
                 floored(s.as_unfloored, value_or_zero(s.as_req), " cm²") + "（按最小配筋率）");
    } else {
        out.body("As = (As翼 + As肋) × 10⁴ = (" + in(v7(s.ag_flange)) + " + " + in(v7(s.ag_web)) +
                 ") × 10⁴ = " + floored(s.as_unfloored, value_or_zero(s.as_req), " cm²"));
    }
}

void bar_counts(Lines& out, const CalcState& s) {
    out.heading("五、钢筋根数 n = ⌊As/a₁ + 0.9⌋（a₁ 为单根钢筋面积，As 取取整前的 " +
                v7(s.as_unfloored) + " cm²）");
    std::string line;
    for (int i = 0; i < kBarDiameterCount; ++i) {
        const double count = i + 1 < kBarDiameterCount ? value_or_zero(s.bar_counts.d12_to_d32[i])
                                                       : s.bar_counts.d34;
        line += (line.empty() ? "" : "；") + std::string(BarCountTable[i].label) +
                "：a₁ = " + v(BarCountTable[i].area_cm2) + " cm²，n = " + v(count);
        if (i % 3 == 2 || i + 1 == kBarDiameterCount) {
            out.body(line);
            line.clear();
        }
    }
}

void check_first_type(Lines& out, const CalcState& s) {
    out.body("x = Rg·Ag/(Ra·b'i) = " + in(v(s.rg)) + " × " + in(v(s.ag)) + "/(" + in(v(s.ra)) +
             " × " + in(v(s.bi)) + ") = " + floored(s.x_unfloored, value_or_zero(s.x), " m"));
    zone_in_flange_note(out, s);
    out.body("Mu = Ra·b'i·x·(h0 − x/2)/γc = " + in(v(s.ra)) + " × " + in(v(s.bi)) + " × " +
             in(v7(s.x_unfloored)) + " × (" + in(v(s.h0)) + " − " + in(v7(s.x_unfloored)) + "/2)/" +
             v(kGammaC) + " = " + floored(s.m_ult_unfloored, s.m_ult, " KN.m"));
}

void check_second_type(Lines& out, const CalcState& s) {
    out.body("Ag翼 = Ra·(b'i − b)·h'i/Rg = " + in(v(s.ra)) + " × (" + in(v(s.bi)) + " − " +
             in(v(s.b)) + ") × " + in(v(s.hi)) + "/" + in(v(s.rg)) + " = " + v7(s.chk_ag_flange) +
             " m²");
    out.body("Ag肋 = Ag − Ag翼 = " + in(v(s.ag)) + " − " + in(v7(s.chk_ag_flange)) + " = " +
             v7(s.chk_ag_web) + " m²");
    out.body("ρ肋 = Ag肋/(b·h0) = " + in(v7(s.chk_ag_web)) + "/(" + in(v(s.b)) + " × " +
             in(v(s.h0)) + ") = " + v7(s.chk_ratio_web));
    out.body("ξ = ρ肋·Rg/Ra = " + in(v7(s.chk_ratio_web)) + " × " + in(v(s.rg)) + "/" +
             in(v(s.ra)) + " = " + v7(s.chk_xi));
    out.body("提示：ξ = " +
             compared(value_or_zero(s.chk_xi), v7(s.chk_xi), value_or_zero(s.xi_jg), v(s.xi_jg),
                      " ≤ ", "ξjg") +
             "（强度复核不作此项验算，结果只由弯矩决定）");
    out.body("x = Rg·Ag肋/(Ra·b) = " + in(v(s.rg)) + " × " + in(v7(s.chk_ag_web)) + "/(" +
             in(v(s.ra)) + " × " + in(v(s.b)) +
             ") = " + floored(s.x_unfloored, value_or_zero(s.x), " m"));
    out.body("M肋 = Rg·Ag肋·(1 − 0.5ξ)·h0/γc = " + in(v(s.rg)) + " × " + in(v7(s.chk_ag_web)) +
             " × (1 − 0.5 × " + in(v7(s.chk_xi)) + ") × " + in(v(s.h0)) + "/" + v(kGammaC) + " = " +
             v7(s.m_web) + " KN.m");
    out.body("M翼 = Rg·Ag翼·(h0 − h'i/2)/γc = " + in(v(s.rg)) + " × " + in(v7(s.chk_ag_flange)) +
             " × (" + in(v(s.h0)) + " − " + in(v(s.hi)) + "/2)/" + v(kGammaC) + " = " +
             v7(s.m_flange) + " KN.m");
    out.body("Mu = M肋 + M翼 = " + in(v7(s.m_web)) + " + " + in(v7(s.m_flange)) + " = " +
             floored(s.m_ult_unfloored, s.m_ult, " KN.m"));
}

void verdict(Lines& out, const CalcState& s) {
    out.body("1.05·Mu = " + v(kMomentTolerance) + " × " + in(v7(s.m_ult_unfloored)) + " = " +
             v7(s.m_limit) + " KN.m（Mu 取取整前的值）");
    const double mj = value_or_zero(s.mj);
    out.body("Mj = " + compared(mj, v(mj), s.m_limit, v7(s.m_limit), " ≤ ", "1.05·Mu") +
             " KN.m，结果：" + s.verdict);
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
        second ? design_second_type(out, s) : design_first_type(out, s);
        bar_counts(out, s);
    } else {
        out.heading("四、强度复核");
        second ? check_second_type(out, s) : check_first_type(out, s);
        verdict(out, s);
    }
    out.heading("注：结果一律向下取整，不四舍五入：面积、配筋率、弯矩取至 0.001，高度取至 0.0001；"
                "中间值和取整前的结果取 7 位有效数字。");

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
