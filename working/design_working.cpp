// SPDX-License-Identifier: GPL-3.0-or-later
// The working of a reinforcement design after the section's type.
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "working/working_digits.h"
#include "working/working_writer.h"

namespace zhuheng::working_text {

namespace {

// A symbol of a formula and its value in the run.
struct Named {
    const char* symbol;
    ValueExpr value;
};

// The rectangle `width` wide that takes `moment` (the whole section in the first type, the web
// in the second): A0 and γ0, stored in `a0` and `gamma0`.
void a0_gamma0_lines(Lines& out, const CalcState& s, const Named& moment, const Named& width,
                     std::optional<double> S::*a0, std::optional<double> S::*gamma0) {
    const Values q(s);
    out.body()
        .part(settled({"A0", std::string("γc·") + moment.symbol + "/(Ra·" + width.symbol + "·h0²)",
                       q.c(kGammaC) * moment.value /
                           (q.shown(&S::ra) * width.value * squared(q.shown(&S::h0))),
                       stored(s, a0, NumberForm::Intermediate), ""}))
        .words("（1 − 2A0 ≥ 0）");
    out.body().part(settled({"γ0", "(1 + √(1 − 2A0))/2",
                             (q.c(1) + root(q.c(1) - q.c(2) * q.computed(a0))) / q.c(2),
                             stored(s, gamma0, NumberForm::Intermediate), ""}));
}

void design_first_type(Lines& out, const CalcState& s) {
    const Values q(s);
    a0_gamma0_lines(out, s, {"Mj", q.shown(&S::mj)}, {"b'i", q.shown(&S::bi)}, &S::a0, &S::gamma0);
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
    a0_gamma0_lines(out, s, {"M肋", q.computed(&S::m_web)}, {"b", q.shown(&S::b)}, &S::a0_web,
                    &S::gamma0_web);
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

} // namespace

void design_working(Lines& out, const CalcState& s, bool second_type) {
    second_type ? design_second_type(out, s) : design_first_type(out, s);
    bar_counts(out, s);
}

} // namespace zhuheng::working_text
