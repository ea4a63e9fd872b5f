// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/reinforcement_design.h"

#include "engine/common_quantities.h"

#include <cmath>

namespace zhuheng {

namespace {

// Fields are written as their steps are reached, so that a run that ends in re-dimension keeps
// the intermediates of its path up to the test that stopped it. (The Calculate command discards
// every field of a run that faults.)
DesignOutcome first_type(CalcState& s) {
    const auto [ra, rg, ag, bi, hi, b, mj, h0] = run_values(s);

    const Checked a0 = (((((kGammaC * mj) / ra) / bi) / h0) / h0);
    s.a0 = a0.value();
    if ((1.0 - 2.0 * a0).value() < 0.0) {
        return DesignOutcome::Redimension;
    }
    const Checked gamma0 = (checked_sqrt(1.0 - 2.0 * a0) + 1.0) * 0.5;
    s.gamma0 = gamma0.value();
    const Checked as_req = (((kGammaC * mj) / rg) / gamma0) / h0; // m2
    s.as_req = as_req.value();
    const Checked ratio = (as_req / b) / h0;
    s.ratio = ratio.value();
    s.x = (((as_req * rg) / ra) / bi).value();
    s.as_req = (as_req * 10000.0).value(); // cm2
    s.ratio = (ratio * 100.0).value();     // %
    return DesignOutcome::Completed;
}

DesignOutcome second_type(CalcState& s) {
    const auto [ra, rg, ag, bi, hi, b, mj, h0] = run_values(s);

    const Checked m_flange = ((((bi - b) * ra) * hi) * (h0 - hi / 2.0)) / kGammaC;
    s.m_flange = m_flange.value();
    const Checked m_web = mj - m_flange;
    s.m_web = m_web.value();
    const Checked a0_web = ((((kGammaC * m_web) / ra) / b) / h0) / h0;
    s.a0_web = a0_web.value();
    if ((1.0 - 2.0 * a0_web).value() < 0.0) {
        return DesignOutcome::Redimension;
    }
    const Checked root = checked_sqrt(1.0 - 2.0 * a0_web);
    s.gamma0_web = ((root + 1.0) * 0.5).value();
    const Checked xi = 1.0 - root;
    s.xi = xi.value();
    if (s.xi > value_or_zero(s.xi_jg)) {
        return DesignOutcome::Redimension;
    }
    const Checked ag_flange = (((bi - b) * ra) * hi) / rg; // m2
    s.ag_flange = ag_flange.value();
    const Checked ag_web = (((kGammaC * m_web) / rg) / Checked(*s.gamma0_web)) / h0; // m2
    s.ag_web = ag_web.value();
    s.x = (((ag_web * rg) / ra) / b).value();
    Checked as_req = ag_flange + ag_web; // m2
    s.as_req = as_req.value();
    const Checked ratio = ((as_req / b) / h0) * 100.0; // % of the web area
    s.ratio = ratio.value();
    if (s.ratio < s.ratio_min) {
        as_req = ((Checked(s.ratio_min) * b) * h0) / 100.0; // the area at the minimum ratio
        s.as_req = as_req.value();
    }
    s.as_req = (as_req * 10000.0).value(); // cm2
    return DesignOutcome::Completed;
}

// From the unfloored area in cm2.
void count_bars(CalcState& s) {
    for (int i = 0; i < kBarDiameterCount - 1; ++i) {
        s.bar_counts.d12_to_d32[i] = bar_count(*s.as_req, BarCountTable[i].area_cm2);
    }
    const double d34 = bar_count(*s.as_req, BarCountTable[kBarDiameterCount - 1].area_cm2);
    if (d34 < -32768.0 || d34 > 32767.0) {
        throw ArithmeticFault(FaultKind::Overflow); // the 34 mm count is a 16-bit integer
    }
    s.bar_counts.d34 = static_cast<std::int16_t>(d34);
}

} // namespace

double bar_count(double as_req_cm2, double bar_area_cm2) {
    return std::floor((Checked(as_req_cm2) / bar_area_cm2 + 0.9).value());
}

DesignOutcome reinforcement_design(CalcState& s) {
    const bool first = value_or_zero(s.mj) <= s.flange_capacity;
    const DesignOutcome outcome = first ? first_type(s) : second_type(s);
    if (outcome == DesignOutcome::Redimension) {
        return outcome;
    }
    count_bars(s);
    s.as_unfloored = *s.as_req;
    s.ratio_unfloored = s.ratio;
    s.x_unfloored = *s.x;
    s.as_req = floor_to(*s.as_req, 1000.0);
    s.ratio = floor_to(s.ratio, 1000.0);
    s.x = floor_to(*s.x, 10000.0);
    return DesignOutcome::Completed;
}

} // namespace zhuheng
