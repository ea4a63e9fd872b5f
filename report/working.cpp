// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/working.h"

#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/number_text.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "engine/text_to_number.h"
#include "report/working_digits.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

namespace zhuheng {

namespace {

using S = CalcState;

// The name of a field in the one list of CalcState's fields.
template <class T> std::string field_name(T CalcState::*member) {
    std::string name;
    for_each_field([&](const char* n, auto m) {
        if constexpr (std::is_same_v<decltype(m), T CalcState::*>) {
            if (m == member) {
                name = n;
            }
        }
    });
    return name;
}

double as_double(double v) {
    return v;
}
template <class T> double as_double(const std::optional<T>& v) {
    return value_or_zero(v);
}

// A value the engine stored for the run, at the digits of its form.
template <class T> ShownNumber stored(const CalcState& s, T CalcState::*member, NumberForm form) {
    const double value = as_double(s.*member);
    return {field_name(member), value, form, text_with_digits(value, usual_digits(form))};
}

ShownNumber constant(double value) {
    return {"", value, NumberForm::Shown, plain_number_text(value)};
}

// A value as the boxes show it (inputs, material values, floored results).
std::string v(double value) {
    return plain_number_text(value);
}
template <class T> std::string v(const std::optional<T>& value) {
    return v(value_or_zero(value));
}

// A line being written: text and the parts of formulas, comparisons and kept values.
class LineBuilder {
public:
    explicit LineBuilder(int indent) {
        line_.indent = indent;
        line_.clauses.emplace_back();
    }

    // A clause ends after each "，" and "；" of the text.
    LineBuilder& words(const std::string& text) {
        std::size_t from = 0;
        while (from < text.size()) {
            std::size_t end = std::min(text.find("，", from), text.find("；", from));
            const bool ends_clause = end != std::string::npos;
            end = ends_clause ? end + std::string("，").size() : text.size();
            std::vector<LinePart>& parts = line_.clauses.back().parts;
            if (!parts.empty() && std::holds_alternative<Words>(parts.back())) {
                std::get<Words>(parts.back()).text += text.substr(from, end - from);
            } else {
                parts.emplace_back(Words{text.substr(from, end - from)});
            }
            if (ends_clause) {
                line_.clauses.emplace_back();
            }
            from = end;
        }
        return *this;
    }
    LineBuilder& part(LinePart p) {
        line_.clauses.back().parts.push_back(std::move(p));
        return *this;
    }
    WorkingLine take() {
        if (line_.clauses.back().parts.empty()) {
            line_.clauses.pop_back();
        }
        return std::move(line_);
    }

private:
    WorkingLine line_;
};

class Lines {
public:
    LineBuilder& heading(const std::string& text) { return begin(0).words(text); }
    LineBuilder& body(const std::string& text = "") { return begin(4).words(text); }
    std::vector<WorkingLine> take() {
        finish();
        return std::move(lines_);
    }

private:
    LineBuilder& begin(int indent) {
        finish();
        return current_.emplace(indent);
    }
    void finish() {
        if (current_) {
            lines_.push_back(current_->take());
            current_.reset();
        }
    }

    std::vector<WorkingLine> lines_;
    std::optional<LineBuilder> current_;
};

// The numbers of one run as operands of its formulas: a value as the boxes show it, a computed
// one (an intermediate value or a result before flooring), a constant of the formulas.
class Values {
public:
    explicit Values(const CalcState& s) : s_(s) {}
    template <class T> ValueExpr shown(T S::*m) const {
        return operand(stored(s_, m, NumberForm::Shown));
    }
    template <class T> ValueExpr computed(T S::*m) const {
        return operand(stored(s_, m, NumberForm::Intermediate));
    }
    static ValueExpr c(double value) { return operand(constant(value)); }

private:
    const CalcState& s_;
};

Formula settled(Formula f) {
    settle_operands(f);
    return f;
}

Relation relation(double a, double b) {
    return a > b ? Relation::Above : Relation::AtMost;
}

// Two sides of a comparison, printed so that they read the way the run compared them.
std::pair<ShownNumber, ShownNumber> compared(ShownNumber a, ShownNumber b) {
    settle_texts({&a, &b}, [&](const std::vector<std::string>& t) {
        return read_in_order(a.value, b.value, t[0], t[1]);
    });
    return {a, b};
}

// A result before flooring, printed so that it floors to the kept one as printed.
ShownNumber unfloored(const CalcState& s, double S::*member, double kept, double scale) {
    ShownNumber n = stored(s, member, NumberForm::Intermediate);
    settle_texts({&n},
                 [&](const std::vector<std::string>& t) { return floors_to(t[0], scale, kept); });
    return n;
}

template <class T> Kept kept(const CalcState& s, T S::*member, double scale, const char* unit) {
    return {stored(s, member, NumberForm::Shown), scale, unit};
}

// The area before flooring, in cm2, printed so that it floors to the kept area and gives each
// bar count as printed.
ShownNumber unfloored_area(const CalcState& s) {
    ShownNumber n = stored(s, &S::as_unfloored, NumberForm::Intermediate);
    settle_texts({&n}, [&](const std::vector<std::string>& t) {
        const double area = significant_text_value(t[0]);
        bool counts = floors_to(t[0], 1000.0, value_or_zero(s.as_req));
        for (int i = 0; i < kBarDiameterCount; ++i) {
            counts = counts && bar_count(area, BarCountTable[i].area_cm2) == s.bar_counts.count(i);
        }
        return counts;
    });
    return n;
}

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

// The first type does not test whether the compression zone stays in the flange.
void zone_in_flange_note(Lines& out, const CalcState& s) {
    const auto [x, hi] =
        compared(stored(s, &S::x, NumberForm::Shown), stored(s, &S::hi, NumberForm::Shown));
    const bool inside = x.value <= hi.value;
    out.body("提示：")
        .part(Comparison{Compared{"x", x}, relation(x.value, hi.value), {"h'i", hi}, " m"})
        .words(std::string("，受压区") + (inside ? "在翼缘内" : "超出翼缘") +
               "（第一类截面不作此项验算）");
}

// A formula whose result is kept floored: "…，取 kept".
LineBuilder& floored_line(Lines& out, const Formula& f, const Kept& k) {
    return out.body().part(settled(f)).words("，").part(k);
}

void design_first_type(Lines& out, const CalcState& s) {
    const Values q(s);
    out.body()
        .part(settled({"A0", "γc·Mj/(Ra·b'i·h0²)",
                       q.c(kGammaC) * q.shown(&S::mj) /
                           (q.shown(&S::ra) * q.shown(&S::bi) * squared(q.shown(&S::h0))),
                       stored(s, &S::a0, NumberForm::Intermediate), ""}))
        .words("（1 − 2A0 ≥ 0）");
    out.body().part(settled({"γ0", "(1 + √(1 − 2A0))/2",
                             (q.c(1) + root(q.c(1) - q.c(2) * q.computed(&S::a0))) / q.c(2),
                             stored(s, &S::gamma0, NumberForm::Intermediate), ""}));
    // The area is found in m2 and kept in cm2: the factor 10⁴ is that change of unit.
    floored_line(out,
                 {"As", "γc·Mj/(Rg·γ0·h0)",
                  q.c(kGammaC) * q.shown(&S::mj) /
                      (q.shown(&S::rg) * q.computed(&S::gamma0) * q.shown(&S::h0)) *
                      power_of_ten(4),
                  unfloored_area(s), " cm²"},
                 kept(s, &S::as_req, 1000.0, " cm²"));
    floored_line(out,
                 {"ρ", "As/(b·h0)",
                  q.computed(&S::as_unfloored) /
                      (q.shown(&S::b) * q.shown(&S::h0) * power_of_ten(4)) * q.c(100),
                  unfloored(s, &S::ratio_unfloored, s.ratio, 1000.0), " %"},
                 kept(s, &S::ratio, 1000.0, " %"));
    floored_line(out,
                 {"x", "As·Rg/(Ra·b'i)",
                  // /10⁴ (cm² to m²), not × 10⁻⁴: the pinned face has no superscript minus.
                  q.computed(&S::as_unfloored) / power_of_ten(4) * q.shown(&S::rg) /
                      (q.shown(&S::ra) * q.shown(&S::bi)),
                  unfloored(s, &S::x_unfloored, value_or_zero(s.x), 10000.0), " m"},
                 kept(s, &S::x, 10000.0, " m"));
    zone_in_flange_note(out, s);
}

void design_second_type(Lines& out, const CalcState& s) {
    const Values q(s);
    out.body().part(
        settled({"M翼", "(b'i − b)·Ra·h'i·(h0 − h'i/2)/γc",
                 (q.shown(&S::bi) - q.shown(&S::b)) * q.shown(&S::ra) * q.shown(&S::hi) *
                     (q.shown(&S::h0) - q.shown(&S::hi) / q.c(2)) / q.c(kGammaC),
                 stored(s, &S::m_flange, NumberForm::Intermediate), " KN.m"}));
    out.body().part(settled({"M肋", "Mj − M翼", q.shown(&S::mj) - q.computed(&S::m_flange),
                             stored(s, &S::m_web, NumberForm::Intermediate), " KN.m"}));
    out.body()
        .part(settled({"A0", "γc·M肋/(Ra·b·h0²)",
                       q.c(kGammaC) * q.computed(&S::m_web) /
                           (q.shown(&S::ra) * q.shown(&S::b) * squared(q.shown(&S::h0))),
                       stored(s, &S::a0_web, NumberForm::Intermediate), ""}))
        .words("（1 − 2A0 ≥ 0）");
    out.body().part(settled({"γ0", "(1 + √(1 − 2A0))/2",
                             (q.c(1) + root(q.c(1) - q.c(2) * q.computed(&S::a0_web))) / q.c(2),
                             stored(s, &S::gamma0_web, NumberForm::Intermediate), ""}));
    const auto [xi, xi_jg] = compared(stored(s, &S::xi, NumberForm::Intermediate),
                                      stored(s, &S::xi_jg, NumberForm::Shown));
    out.body()
        .part(settled({"ξ", "1 − √(1 − 2A0)",
                       q.c(1) - root(q.c(1) - q.c(2) * q.computed(&S::a0_web)), xi, ""}))
        .part(Comparison{std::nullopt, relation(xi.value, xi_jg.value), {"ξjg", xi_jg}, ""});
    out.body().part(settled(
        {"As翼", "(b'i − b)·Ra·h'i/Rg",
         (q.shown(&S::bi) - q.shown(&S::b)) * q.shown(&S::ra) * q.shown(&S::hi) / q.shown(&S::rg),
         stored(s, &S::ag_flange, NumberForm::Intermediate), " m²"}));
    out.body().part(settled({"As肋", "γc·M肋/(Rg·γ0·h0)",
                             q.c(kGammaC) * q.computed(&S::m_web) /
                                 (q.shown(&S::rg) * q.computed(&S::gamma0_web) * q.shown(&S::h0)),
                             stored(s, &S::ag_web, NumberForm::Intermediate), " m²"}));
    floored_line(out,
                 {"x", "As肋·Rg/(Ra·b)",
                  q.computed(&S::ag_web) * q.shown(&S::rg) / (q.shown(&S::ra) * q.shown(&S::b)),
                  unfloored(s, &S::x_unfloored, value_or_zero(s.x), 10000.0), " m"},
                 kept(s, &S::x, 10000.0, " m"));
    // The minimum ratio is tested on the ratio as computed, before flooring.
    ShownNumber ratio = stored(s, &S::ratio_unfloored, NumberForm::Intermediate);
    ShownNumber ratio_min = stored(s, &S::ratio_min, NumberForm::Shown);
    settle_texts({&ratio, &ratio_min}, [&](const std::vector<std::string>& t) {
        return read_in_order(ratio.value, ratio_min.value, t[0], t[1]) &&
               floors_to(t[0], 1000.0, s.ratio);
    });
    const bool raised = ratio.value < ratio_min.value;
    out.body()
        .part(settled({"ρ", "(As翼 + As肋)/(b·h0) × 100",
                       (q.computed(&S::ag_flange) + q.computed(&S::ag_web)) /
                           (q.shown(&S::b) * q.shown(&S::h0)) * q.c(100),
                       ratio, " %"}))
        .words("，")
        .part(kept(s, &S::ratio, 1000.0, " %"))
        .words("，")
        .part(Comparison{std::nullopt,
                         raised ? Relation::Below : Relation::NotBelow,
                         {"ρmin", ratio_min},
                         " %"});
    if (raised) {
        floored_line(
            out,
            {"As", "ρmin·b·h0/100 × 10⁴",
             q.shown(&S::ratio_min) * q.shown(&S::b) * q.shown(&S::h0) / q.c(100) * power_of_ten(4),
             unfloored_area(s), " cm²"},
            kept(s, &S::as_req, 1000.0, " cm²"))
            .words("（按最小配筋率）");
    } else {
        floored_line(out,
                     {"As", "(As翼 + As肋) × 10⁴",
                      (q.computed(&S::ag_flange) + q.computed(&S::ag_web)) * power_of_ten(4),
                      unfloored_area(s), " cm²"},
                     kept(s, &S::as_req, 1000.0, " cm²"));
    }
}

void bar_counts(Lines& out, const CalcState& s) {
    out.heading("五、钢筋根数 n = ⌊As/a₁ + 0.9⌋（a₁ 为单根钢筋面积，As 取取整前的 " +
                unfloored_area(s).text + " cm²）");
    std::string line;
    for (int i = 0; i < kBarDiameterCount; ++i) {
        line += (line.empty() ? "" : "；") + std::string(BarCountTable[i].label) +
                "：a₁ = " + v(BarCountTable[i].area_cm2) + " cm²，n = " + v(s.bar_counts.count(i));
        if (i % 3 == 2 || i + 1 == kBarDiameterCount) {
            out.body(line);
            line.clear();
        }
    }
}

void check_first_type(Lines& out, const CalcState& s) {
    const Values q(s);
    floored_line(out,
                 {"x", "Rg·Ag/(Ra·b'i)",
                  q.shown(&S::rg) * q.shown(&S::ag) / (q.shown(&S::ra) * q.shown(&S::bi)),
                  unfloored(s, &S::x_unfloored, value_or_zero(s.x), 10000.0), " m"},
                 kept(s, &S::x, 10000.0, " m"));
    zone_in_flange_note(out, s);
    floored_line(out,
                 {"Mu", "Ra·b'i·x·(h0 − x/2)/γc",
                  q.shown(&S::ra) * q.shown(&S::bi) * q.computed(&S::x_unfloored) *
                      (q.shown(&S::h0) - q.computed(&S::x_unfloored) / q.c(2)) / q.c(kGammaC),
                  unfloored(s, &S::m_ult_unfloored, s.m_ult, 1000.0), " KN.m"},
                 kept(s, &S::m_ult, 1000.0, " KN.m"));
}

void check_second_type(Lines& out, const CalcState& s) {
    const Values q(s);
    out.body().part(settled(
        {"Ag翼", "Ra·(b'i − b)·h'i/Rg",
         q.shown(&S::ra) * (q.shown(&S::bi) - q.shown(&S::b)) * q.shown(&S::hi) / q.shown(&S::rg),
         stored(s, &S::chk_ag_flange, NumberForm::Intermediate), " m²"}));
    out.body().part(settled({"Ag肋", "Ag − Ag翼", q.shown(&S::ag) - q.computed(&S::chk_ag_flange),
                             stored(s, &S::chk_ag_web, NumberForm::Intermediate), " m²"}));
    out.body().part(settled({"ρ肋", "Ag肋/(b·h0)",
                             q.computed(&S::chk_ag_web) / (q.shown(&S::b) * q.shown(&S::h0)),
                             stored(s, &S::chk_ratio_web, NumberForm::Intermediate), ""}));
    const auto [xi, xi_jg] = compared(stored(s, &S::chk_xi, NumberForm::Intermediate),
                                      stored(s, &S::xi_jg, NumberForm::Shown));
    out.body().part(
        settled({"ξ", "ρ肋·Rg/Ra",
                 q.computed(&S::chk_ratio_web) * q.shown(&S::rg) / q.shown(&S::ra), xi, ""}));
    out.body("提示：")
        .part(Comparison{Compared{"ξ", xi}, relation(xi.value, xi_jg.value), {"ξjg", xi_jg}, ""})
        .words("（强度复核不作此项验算，结果只由弯矩决定）");
    floored_line(out,
                 {"x", "Rg·Ag肋/(Ra·b)",
                  q.shown(&S::rg) * q.computed(&S::chk_ag_web) / (q.shown(&S::ra) * q.shown(&S::b)),
                  unfloored(s, &S::x_unfloored, value_or_zero(s.x), 10000.0), " m"},
                 kept(s, &S::x, 10000.0, " m"));
    out.body().part(
        settled({"M肋", "Rg·Ag肋·(1 − 0.5ξ)·h0/γc",
                 q.shown(&S::rg) * q.computed(&S::chk_ag_web) *
                     (q.c(1) - q.c(0.5) * q.computed(&S::chk_xi)) * q.shown(&S::h0) / q.c(kGammaC),
                 stored(s, &S::m_web, NumberForm::Intermediate), " KN.m"}));
    out.body().part(settled({"M翼", "Rg·Ag翼·(h0 − h'i/2)/γc",
                             q.shown(&S::rg) * q.computed(&S::chk_ag_flange) *
                                 (q.shown(&S::h0) - q.shown(&S::hi) / q.c(2)) / q.c(kGammaC),
                             stored(s, &S::m_flange, NumberForm::Intermediate), " KN.m"}));
    floored_line(out,
                 {"Mu", "M肋 + M翼", q.computed(&S::m_web) + q.computed(&S::m_flange),
                  unfloored(s, &S::m_ult_unfloored, s.m_ult, 1000.0), " KN.m"},
                 kept(s, &S::m_ult, 1000.0, " KN.m"));
}

void verdict(Lines& out, const CalcState& s) {
    const Values q(s);
    const auto [mj, limit] = compared(stored(s, &S::mj, NumberForm::Shown),
                                      stored(s, &S::m_limit, NumberForm::Intermediate));
    out.body()
        .part(settled({"1.05·Mu", "", q.c(kMomentTolerance) * q.computed(&S::m_ult_unfloored),
                       limit, " KN.m"}))
        .words("（Mu 取取整前的值）");
    out.body()
        .part(Comparison{
            Compared{"Mj", mj}, relation(mj.value, limit.value), {"1.05·Mu", limit}, " KN.m"})
        .words("，结果：" + s.verdict);
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
