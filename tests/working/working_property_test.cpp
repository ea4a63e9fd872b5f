// SPDX-License-Identifier: GPL-3.0-or-later
// The working as a checker with a calculator audits it, over many generated runs of both modes and
// every grade, with the moments and areas where the printed digits matter most: at K, beside
// 1.05·Mu, at ξjg and ρmin, with cancelling sums and ξ near 2. Every formula, evaluated from its
// printed operands, gives its printed result to 6 significant digits; every kept value is its
// printed unfloored value floored; every comparison reads true as printed, and equal values print
// alike; every number is a rounding of the value the engine stored in the field it names.
#include "engine/checked_arithmetic.h"
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/number_text.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "engine/text_to_number.h"
#include "working/working.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace zhuheng;

namespace {

constexpr int kSectionsPerGradePair = 30;

// A field's value as a double; nothing for the fields that hold no single number.
std::optional<double> as_number(double v) {
    return v;
}
template <class T> std::optional<double> as_number(const std::optional<T>& v) {
    return value_or_zero(v);
}
template <class T> std::optional<double> as_number(const T&) {
    return std::nullopt;
}

// Every field that holds a number, by its name.
std::map<std::string, double> field_values(const CalcState& s) {
    std::map<std::string, double> out;
    for_each_field([&](const char* name, auto member) {
        if (const std::optional<double> v = as_number(s.*member)) {
            out[name] = *v;
        }
    });
    return out;
}

double printed(const ShownNumber& n) {
    return text_to_number(n.text);
}

// The checker's criterion: the re-computed result within half a unit of the 6th significant
// digit of the printed one; a printed 0 only by 0.
bool six_digits(double recomputed, double result) {
    if (result == 0.0) {
        return recomputed == 0.0;
    }
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(result))) - 5);
    return std::fabs(recomputed - result) <= unit / 2;
}

bool holds(Relation r, double a, double b) {
    switch (r) {
    case Relation::AtMost:
        return a <= b;
    case Relation::Above:
        return a > b;
    case Relation::Below:
        return a < b;
    case Relation::NotBelow:
        break;
    }
    return a >= b;
}

struct Tally {
    long design = 0, check = 0, formulas = 0, comparisons = 0, kept = 0;
    long widened = 0; // numbers printed with more digits than their form's
    long failing = 0; // workings a checker would fault
    std::vector<std::string> examples;
};

// What a checker finds wrong with one working.
class Auditor {
public:
    Auditor(const CalcState& s, Tally& tally) : s_(s), fields_(field_values(s)), tally_(tally) {}

    std::vector<std::string> audit(const Working& w) {
        for (const WorkingLine& line : w.lines) {
            line_ = line_text(line);
            const ShownNumber* result = nullptr; // of the last formula on the line
            for (const Clause& clause : line.clauses) {
                for (const LinePart& part : clause.parts) {
                    if (const auto* f = std::get_if<Formula>(&part)) {
                        formula(*f);
                        result = &f->result;
                    } else if (const auto* k = std::get_if<Kept>(&part)) {
                        result ? kept(*k, *result) : fault("a kept value without its result");
                    } else if (const auto* c = std::get_if<Comparison>(&part)) {
                        c->left || result ? comparison(*c, c->left ? c->left->number : *result)
                                          : fault("a comparison without its left side");
                    }
                }
            }
        }
        return std::move(faults_);
    }

private:
    void fault(const std::string& what) { faults_.push_back(what + "\n    in: " + line_); }

    // A rounding, to at least the digits of its form, of what the engine stored in the field
    // it names; a constant exactly.
    void stored(const ShownNumber& n) {
        if (n.field.empty()) {
            if (printed(n) != n.value) {
                fault("constant " + n.text + " is not " + significant_text(n.value, 17));
            }
            return;
        }
        const auto value = fields_.find(n.field);
        if (value == fields_.end() || value->second != n.value) {
            fault(n.text + " is not what the engine stored in " + n.field);
            return;
        }
        bool rounding = false;
        for (int d = usual_digits(n.form); d <= 17 && !rounding; ++d) {
            rounding = n.text == text_with_digits(n.value, d);
        }
        if (!rounding) {
            fault(n.text + " is no rounding of " + n.field + " = " + significant_text(n.value, 17));
        }
        tally_.widened += n.text != text_with_digits(n.value, usual_digits(n.form));
    }

    void numbers(const ValueExpr& e) {
        if (e.op == ValueExpr::Op::Number) {
            stored(e.number);
        }
        for (const ValueExpr& a : e.args) {
            numbers(a);
        }
    }

    void formula(const Formula& f) {
        ++tally_.formulas;
        numbers(f.values);
        stored(f.result);
        const double recomputed = evaluate(f.values, printed);
        if (!six_digits(recomputed, printed(f.result))) {
            fault(f.name + " re-computes to " + significant_text(recomputed, 17));
        }
        if (f.name == "As" && s_.mode == CalcMode::Design) {
            for (int i = 0; i < kBarDiameterCount; ++i) {
                if (bar_count(printed(f.result), BarCountTable[i].area_cm2) !=
                    s_.bar_counts.count(i)) {
                    fault(std::string(BarCountTable[i].label) + " count is not the printed area's");
                }
            }
        }
    }

    void kept(const Kept& k, const ShownNumber& unfloored) {
        ++tally_.kept;
        stored(k.kept);
        if (floor_to(printed(unfloored), k.scale) != printed(k.kept)) {
            fault(unfloored.text + " floored is not " + k.kept.text);
        }
    }

    void comparison(const Comparison& c, const ShownNumber& left) {
        ++tally_.comparisons;
        const ShownNumber& right = c.right.number;
        stored(left);
        stored(right);
        if (!holds(c.relation, left.value, right.value)) {
            fault("the relation is not the one the run found");
        }
        if (!holds(c.relation, printed(left), printed(right))) {
            fault("the comparison reads false as printed");
        }
        if (left.value == right.value ? left.text != right.text : printed(left) == printed(right)) {
            fault(left.value == right.value ? "equal values printed unlike"
                                            : "unequal values read alike");
        }
    }

    const CalcState& s_;
    const std::map<std::string, double> fields_;
    Tally& tally_;
    std::string line_;
    std::vector<std::string> faults_;
};

// A value as an engineer types it: 8 significant digits.
double typed(double v) {
    return text_to_number(significant_text(v, 8));
}

double beside(double v, int steps) {
    for (; steps > 0; --steps) {
        v = std::nextafter(v, HUGE_VAL);
    }
    for (; steps < 0; ++steps) {
        v = std::nextafter(v, -HUGE_VAL);
    }
    return v;
}

// Runs of one pair of grades, each audited when it completes.
class Runs {
public:
    Runs(const ConcreteGrade& concrete, const SteelGrade& steel, Tally& tally)
        : concrete_(concrete), steel_(steel), tally_(tally) {}

    CalcState prepared(SectionInput in, double mj, CalcMode mode, double ag_cm2 = 0) const {
        in.mj = mj;
        in.ag = ag_cm2;
        CalcState s;
        select_concrete_grade(s, concrete_.label);
        select_steel_grade(s, steel_.label);
        common_quantities(s, in, "");
        s.mode = mode;
        return s;
    }

    CalcState design(const SectionInput& in, double mj) {
        CalcState s = prepared(in, mj, CalcMode::Design);
        if (reinforcement_design(s) == DesignOutcome::Completed) {
            ++tally_.design;
            audit(s, in);
        }
        return s;
    }

    CalcState check(const SectionInput& in, double ag_cm2, double mj) {
        CalcState s = prepared(in, mj, CalcMode::Check, ag_cm2);
        strength_check(s);
        ++tally_.check;
        audit(s, in);
        return s;
    }

private:
    void audit(const CalcState& s, const SectionInput& in) {
        const std::vector<std::string> faults = Auditor(s, tally_).audit(run_working(s));
        if (faults.empty()) {
            return;
        }
        ++tally_.failing;
        if (tally_.examples.size() < 8) {
            std::ostringstream where;
            where.precision(17);
            where << concrete_.label << ' ' << steel_.label << " bi=" << in.bi << " b=" << in.b
                  << " hi=" << in.hi << " h=" << in.h << " bc=" << in.bc << " mj=" << s.mj.value()
                  << " ag=" << value_or_zero(s.ag) * 1e4 << ": " << faults.front();
            tally_.examples.push_back(where.str());
        }
    }

    const ConcreteGrade& concrete_;
    const SteelGrade& steel_;
    Tally& tally_;
};

TEST(WorkingAsPrinted, EveryLineReComputesAndEveryComparisonReadsTrue) {
    std::mt19937_64 random(20240624);
    const auto uniform = [&random](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    Tally tally;
    for (const ConcreteGrade& concrete : ConcreteGradeTable) {
        for (const SteelGrade& steel : SteelGradeTable) {
            Runs runs(concrete, steel, tally);
            for (int i = 0; i < kSectionsPerGradePair; ++i) {
                SectionInput in;
                in.b = uniform(0.15, 0.6);
                // One section in four without overhang and with a thin flange, where a
                // second-type ratio can fall to ρmin.
                in.bi = i % 4 == 0 ? in.b : uniform(in.b, 3.0);
                in.hi = i % 4 == 0 ? uniform(0.01, 0.05) : uniform(0.08, 0.3);
                in.h = uniform(std::max(0.4, in.hi + 0.1), 2.5);
                in.bc = uniform(0.03, 0.1);
                const CalcState base = runs.prepared(in, 0, CalcMode::Design);
                const double k = base.flange_capacity;
                const double ra = value_or_zero(base.ra), rg = value_or_zero(base.rg);
                const double h0 = value_or_zero(base.h0);

                // Design: any moment; at K and beside it, as stored and as typed.
                runs.design(in, uniform(10.0, 20000.0));
                for (const double mj : {k, beside(k, 1), beside(k, -1), typed(k),
                                        typed(k * (1 + 1e-7)), k * uniform(1.0, 1.3)}) {
                    runs.design(in, mj);
                }
                // ξ at ξjg: the web moment that gives it, and just below.
                const double xi = steel.xi_jg;
                const double m_flange =
                    ((((in.bi - in.b) * ra) * in.hi) * (h0 - in.hi / 2.0)) / kGammaC;
                const double m_web = (1 - (1 - xi) * (1 - xi)) / 2 * ra * in.b * h0 * h0 / kGammaC;
                for (const double f : {1.0, 1 - 1e-9, 1 - 1e-12, 1 - 1e-15}) {
                    runs.design(in, m_flange + m_web * f);
                }
                // ρ at ρmin: the moments either side of where the ratio crosses it, by halving.
                double below = k, above = m_flange + m_web;
                for (int step = 0; step < 80; ++step) {
                    const double mid = below + (above - below) / 2;
                    if (mid == below || mid == above) {
                        break;
                    }
                    CalcState s = runs.prepared(in, mid, CalcMode::Design);
                    const bool raised = reinforcement_design(s) == DesignOutcome::Completed &&
                                        s.ratio_unfloored < s.ratio_min;
                    (raised ? below : above) = mid;
                }
                runs.design(in, below);
                runs.design(in, above);

                // Check: any area; at K; beside 1.05·Mu down to the last digits.
                const double ag = uniform(5.0, 400.0);
                runs.check(in, ag, uniform(10.0, 20000.0));
                for (const double mj : {k, beside(k, 1), typed(k)}) {
                    runs.check(in, ag, mj);
                }
                const double limit = runs.check(in, ag, k * uniform(1.01, 2)).m_limit;
                for (const double mj : {limit, beside(limit, 1), beside(limit, -1), typed(limit),
                                        typed(limit * (1 + 2e-8)), typed(limit * (1 - 2e-8))}) {
                    runs.check(in, ag, mj);
                }
                // Second-type checks that cancel: Ag − Ag翼 near 0, M肋 + M翼 near 0, ξ near 2.
                const double mj = k * uniform(1.01, 2);
                const double ag_flange = ((ra * (in.bi - in.b)) * in.hi) / rg;
                const double c = rg / (ra * in.b * h0); // ξ per m2 of web steel
                const double q = ag_flange * (h0 - in.hi / 2) / h0;
                const double cancelling_web = (1 - std::sqrt(1 + 2 * c * q)) / c;
                for (const double f : {1e-3, 1e-6, -1e-6, 1e-9}) {
                    runs.check(in, ag_flange * (1 + f) * 1e4, mj);
                    runs.check(in, (ag_flange + cancelling_web * (1 + f)) * 1e4, mj);
                    runs.check(in, (ag_flange + 2 / c * (1 + f)) * 1e4, mj);
                }
            }
        }
    }
    std::printf("%ld workings (%ld designs, %ld checks): %ld formulas, %ld kept values, %ld "
                "comparisons; %ld numbers printed with more digits than their form's; %ld "
                "workings faulted\n",
                tally.design + tally.check, tally.design, tally.check, tally.formulas, tally.kept,
                tally.comparisons, tally.widened, tally.failing);
    RecordProperty("workings", static_cast<int>(tally.design + tally.check));
    std::string examples;
    for (const std::string& e : tally.examples) {
        examples += "\n" + e;
    }
    EXPECT_EQ(tally.failing, 0) << examples;
    EXPECT_GE(tally.design, 10000);
    EXPECT_GE(tally.check, 20000);
    EXPECT_GT(tally.widened, 0) << "no number needed more digits: the runs miss the edges";
}

} // namespace
