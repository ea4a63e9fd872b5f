// SPDX-License-Identifier: GPL-3.0-or-later
// The working of a strength check after the section's type.
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/strength_check.h"
#include "working/working_writer.h"

namespace zhuheng::working_text {

namespace {

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

void check_working(Lines& out, const CalcState& s, bool second_type) {
    second_type ? check_second_type(out, s) : check_first_type(out, s);
    verdict(out, s);
}

} // namespace zhuheng::working_text
