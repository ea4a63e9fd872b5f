// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/strength_check.h"

#include "engine/common_quantities.h"

namespace zhuheng {

void strength_check(CalcState& s) {
    const auto [ra, rg, ag, bi, hi, b, mj, h0] = run_values(s);

    // The type follows from the moment alone, not from the steel force.
    if (mj.value() <= s.flange_capacity) {
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

    s.m_limit = (Checked(s.m_ult) * kMomentTolerance).value();
    s.verdict = std::string(mj.value() <= s.m_limit ? kVerdictPass : kVerdictFail);

    s.x_unfloored = *s.x;
    s.m_ult_unfloored = s.m_ult;
    s.x = floor_to(*s.x, 10000.0);
    s.m_ult = floor_to(s.m_ult, 1000.0);
}

} // namespace zhuheng
