// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared helpers of the engine tests: grade labels, the sections of the worked examples, a state
// primed with marker values so that a test can tell written fields from untouched ones, and a
// guard that switches the C locale to one with other conventions.

#include "engine/arithmetic_fault.h"
#include "engine/calc_state.h"
#include "engine/common_quantities.h"
#include "engine/material_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace zhuheng_test {

using namespace zhuheng;

// Steel labels begin with the Roman numerals U+2160..U+2163.
inline constexpr std::string_view kSteelI = "\u2160\u7ea7";
inline constexpr std::string_view kSteelII = "\u2161\u7ea7";
inline constexpr std::string_view kSteelIII = "\u2162\u7ea7";
inline constexpr std::string_view kSteelIV = "\u2163\u7ea7";
inline constexpr std::string_view kSteel5 = "5\u53f7";
inline constexpr std::string_view kConcrete15 = "15\u53f7";
inline constexpr std::string_view kConcrete20 = "20\u53f7";
inline constexpr std::string_view kConcrete25 = "25\u53f7";
inline constexpr std::string_view kConcrete50 = "50\u53f7";

// A fresh state after the two grade picks; an empty label means "not picked".
inline CalcState picked(std::string_view concrete, std::string_view steel) {
    CalcState s;
    if (!concrete.empty()) {
        select_concrete_grade(s, concrete);
    }
    if (!steel.empty()) {
        select_steel_grade(s, steel);
    }
    return s;
}

// Grades picked and the common quantities of a run formed, ready for the design or the check.
inline CalcState prepared(std::string_view concrete, std::string_view steel, const SectionInput& in,
                          std::string_view strength_text = "") {
    CalcState s = picked(concrete, steel);
    common_quantities(s, in, strength_text);
    return s;
}

// Design examples: flange 1.0 x 0.15, web 0.2, height 0.8, cover 0.05 (h0 0.75).
inline SectionInput design_example_section(double mj) {
    SectionInput in;
    in.bc = 0.05;
    in.bi = 1.0;
    in.hi = 0.15;
    in.b = 0.2;
    in.h = 0.8;
    in.mj = mj;
    return in;
}

// Minimum-ratio example: no overhang, flange 0.01 thick, h0 1.0.
inline SectionInput min_ratio_example_section(double mj) {
    SectionInput in;
    in.bc = 0.05;
    in.bi = 0.5;
    in.hi = 0.01;
    in.b = 0.5;
    in.h = 1.05;
    in.mj = mj;
    return in;
}

// Check example: flange 1.6 x 0.12, web 0.18, height 1.3, cover 0.07 (h0 1.23).
inline SectionInput check_example_section(double ag_cm2, double mj) {
    SectionInput in;
    in.ag = ag_cm2;
    in.bc = 0.07;
    in.bi = 1.6;
    in.hi = 0.12;
    in.b = 0.18;
    in.h = 1.3;
    in.mj = mj;
    return in;
}

// The kind of the arithmetic fault that `run` raises, or none.
template <class Run> std::optional<FaultKind> fault_of(Run run) {
    try {
        run();
    } catch (const ArithmeticFault& fault) {
        return fault.kind();
    }
    return std::nullopt;
}

// A copy of `in` with one field replaced.
inline SectionInput with(SectionInput in, double SectionInput::*field, double value) {
    in.*field = value;
    return in;
}

// Marker held by every result field before a run that is expected to fault.
inline constexpr double kUntouched = -7777.0;
inline constexpr std::int16_t kUntouchedD34 = -77;
inline const std::string kUntouchedVerdict = "marker";

using OptionalField = std::optional<double> CalcState::*;

// The fields that the grade picks and the common quantities write before a calculation; the two
// calculations write every other field of CalcState.
inline bool set_before_the_calculation(std::string_view name) {
    for (std::string_view before : {"mode", "ra", "rg", "xi_jg", "ratio_min", "ag", "bc", "bi",
                                    "hi", "b", "h", "mj", "flange_capacity", "h0", "rg_grade"}) {
        if (name == before) {
            return true;
        }
    }
    return false;
}

inline void prime(std::optional<double>& v) {
    v = kUntouched;
}
inline void prime(double& v) {
    v = kUntouched;
}
inline void prime(std::string& v) {
    v = kUntouchedVerdict;
}
inline void prime(BarCounts& counts) {
    for (auto& count : counts.d12_to_d32) {
        count = kUntouched;
    }
    counts.d34 = kUntouchedD34;
}
template <class T> void prime(T&) {
    ADD_FAILURE() << "a calculated field of a kind that prime_results cannot mark";
}

// Every field that the calculations write holds a marker.
inline void prime_results(CalcState& s) {
    for_each_field([&](const char* name, auto member) {
        if (!set_before_the_calculation(name)) {
            prime(s.*member);
        }
    });
}

inline void expect_marked(const char* name, const std::optional<double>& v) {
    EXPECT_EQ(v, std::optional<double>(kUntouched)) << name << " should be untouched";
}
inline void expect_marked(const char* name, double v) {
    EXPECT_EQ(v, kUntouched) << name << " should be untouched";
}
inline void expect_marked(const char* name, const std::string& v) {
    EXPECT_EQ(v, kUntouchedVerdict) << name << " should be untouched";
}
inline void expect_marked(const char* name, const BarCounts& counts) {
    for (const auto& count : counts.d12_to_d32) {
        EXPECT_EQ(count, std::optional<double>(kUntouched)) << name << " should be untouched";
    }
    EXPECT_EQ(counts.d34, kUntouchedD34) << name << " should be untouched";
}
template <class T> void expect_marked(const char* name, const T&) {
    ADD_FAILURE() << name << ": a calculated field of a kind that cannot be checked";
}

// After prime_results and a run: the optional fields listed in `written` hold the given values
// (to 1e-9 relative); every other field that the calculations write still holds its marker.
inline void expect_only_written(const CalcState& s,
                                const std::vector<std::pair<OptionalField, double>>& written) {
    for_each_field([&](const char* name, auto member) {
        if (set_before_the_calculation(name)) {
            return;
        }
        if constexpr (std::is_same_v<decltype(member), OptionalField>) {
            const auto hit = std::find_if(written.begin(), written.end(),
                                          [&](const auto& w) { return w.first == member; });
            if (hit != written.end()) {
                const std::optional<double>& actual = s.*member;
                ASSERT_TRUE(actual.has_value()) << name;
                const double tolerance = 1e-9 * std::max(1.0, std::fabs(hit->second));
                EXPECT_NEAR(*actual, hit->second, tolerance) << name << " should be written";
                return;
            }
        }
        expect_marked(name, s.*member);
    });
}

// One intermediate value of a worked example: the stored value must equal the formula evaluated
// in the test in its written grouping, and lie within `tolerance` of the value printed with the
// example.
struct Intermediate {
    const char* name;
    double actual;
    double formula;
    double printed;
    double tolerance;
};

inline void expect_intermediates(const std::vector<Intermediate>& rows) {
    for (const Intermediate& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.actual, row.formula);
        EXPECT_NEAR(row.actual, row.printed, row.tolerance);
    }
}

// German as the platform names it: its decimal separator is ",".
#ifdef _WIN32
inline constexpr const char* kGermanLocale = "German_Germany.1252";
#else
inline constexpr const char* kGermanLocale = "de_DE.UTF-8";
#endif

// Switches the C locale to German and restores "C" at the end of the scope. A machine without
// that locale fails the test: under another locale it could not catch a reading or a number form
// that follows the locale.
class ForeignLocale {
public:
    ForeignLocale() : set_(std::setlocale(LC_ALL, kGermanLocale) != nullptr) {}
    ~ForeignLocale() { std::setlocale(LC_ALL, "C"); }
    ForeignLocale(const ForeignLocale&) = delete;
    ForeignLocale& operator=(const ForeignLocale&) = delete;

    ::testing::AssertionResult active() const {
        if (!set_) {
            return ::testing::AssertionFailure()
                   << kGermanLocale
                   << " is not known here (on Linux: run scripts/install-deps.sh, which runs locale-gen)";
        }
        if (std::string(std::localeconv()->decimal_point) != ",") {
            return ::testing::AssertionFailure() << kGermanLocale << " has no decimal comma here";
        }
        return ::testing::AssertionSuccess();
    }

private:
    bool set_;
};

} // namespace zhuheng_test
