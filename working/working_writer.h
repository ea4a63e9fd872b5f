// SPDX-License-Identifier: GPL-3.0-or-later
// How the lines of the working are written: the numbers of a run as the lines print them, and
// the lines themselves. Used by the working alone.
#pragma once

#include "engine/calc_state.h"
#include "engine/number_text.h"
#include "working/working_line.h"

#include <algorithm>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace zhuheng::working_text {

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

inline double as_double(double v) {
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

ShownNumber constant(double value);

// A value as the boxes show it (inputs, material values, floored results).
inline std::string v(double value) {
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

// The formula with its operands printed so that it re-computes to its result.
Formula settled(Formula f);

// ≤ or >, as the run found a and b.
Relation relation(double a, double b);

// Two sides of a comparison, printed so that they read the way the run compared them.
std::pair<ShownNumber, ShownNumber> compared(ShownNumber a, ShownNumber b);

// A result before flooring, printed so that it floors to the kept one as printed.
ShownNumber unfloored(const CalcState& s, double S::*member, double kept, double scale);

template <class T> Kept kept(const CalcState& s, T S::*member, double scale, const char* unit) {
    return {stored(s, member, NumberForm::Shown), scale, unit};
}

// The area before flooring, in cm2, printed so that it floors to the kept area and gives each
// bar count as printed.
ShownNumber unfloored_area(const CalcState& s);

// The first type does not test whether the compression zone stays in the flange.
void zone_in_flange_note(Lines& out, const CalcState& s);

// A formula whose result is kept floored: "…，取 kept".
LineBuilder& floored_line(Lines& out, const Formula& f, const Kept& k);

// The lines of the path a run took in each mode, after the section's type: the design's with
// the bar counts, the check's with its verdict.
void design_working(Lines& out, const CalcState& s, bool second_type);
void check_working(Lines& out, const CalcState& s, bool second_type);

} // namespace zhuheng::working_text
