// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/working_writer.h"

#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "working/working_digits.h"

namespace zhuheng::working_text {

ShownNumber constant(double value) {
    return {"", value, NumberForm::Shown, plain_number_text(value)};
}

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

} // namespace zhuheng::working_text
