// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/strength_check.h"

#include "engine/common_quantities.h"

namespace zhuheng {

void strength_check(CalcState& s) {
    const Checked ra = value_or_zero(s.ra);
    const Checked rg = value_or_zero(s.rg);
    const Checked ag = value_or_zero(s.ag);
    const Checked bi = value_or_zero(s.bi);
    const Checked hi = value_or_zero(s.hi);
    const Checked b = value_or_zero(s.b);
    const Checked h0 = value_or_zero(s.h0);
    const double mj = value_or_zero(s.mj);

    // The type follows from the moment alone, not from the steel force.
    if (mj <= s.flange_capacity) {
        const Checked x = ((rg * ag) / ra) / bi;
        s.x = x.value();
        s.m_ult = ((((ra * bi) * x) * (h0 - x / 2.0)) / kGammaC).value();
    } else {
        const Checked ag_flange = ((ra * (bi - b)) * hi) / rg;
        s.chk_ag_flange = ag_flange.value();
        const Checked ag_web = ag - ag_flange;
        s.chk_ag_web = ag_web.value();
        const Checked ratio_web = (ag_web / b) / h0;
        s.chk_ratio_web = ratio_web.value();
        const Checked xi = (ratio_web * rg) / ra;
        s.chk_xi = xi.value();
        s.x = (((rg * ag_web) / ra) / b).value();
        const Checked m_web = (((rg * ag_web) * (1.0 - 0.5 * xi)) * h0) / kGammaC;
        s.m_web = m_web.value();
        const Checked m_flange = ((rg * ag_flange) * (h0 - hi / 2.0)) / kGammaC;
        s.m_flange = m_flange.value();
        s.m_ult = (m_web + m_flange).value();
    }

    const double limit = (Checked(s.m_ult) * kMomentTolerance).value();
    s.verdict = std::string(mj <= limit ? kVerdictPass : kVerdictFail);

    s.x = floor_to(*s.x, 10000.0);
    s.m_ult = floor_to(s.m_ult, 1000.0);
}

} // namespace zhuheng
