// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/working_digits.h"

#include "engine/checked_arithmetic.h"
#include "engine/number_text.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace zhuheng {

bool agrees_to_six_digits(double recomputed, double printed) {
    if (printed == 0.0) {
        return recomputed == 0.0;
    }
    const double half_unit = 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(printed))) - 5);
    return std::fabs(recomputed - printed) <= half_unit;
}

bool read_in_order(double a, double b, const std::string& a_text, const std::string& b_text) {
    if (a == b) {
        return a_text == b_text;
    }
    const double pa = significant_text_value(a_text), pb = significant_text_value(b_text);
    return a < b ? pa < pb : pa > pb;
}

bool floors_to(const std::string& text, double scale, double kept) {
    return floor_to(significant_text_value(text), scale) == kept;
}

void settle_texts(const std::vector<ShownNumber*>& numbers,
                  const std::function<bool(const std::vector<std::string>& texts)>& reads_true) {
    std::vector<std::string> texts(numbers.size());
    for (int more = 0;; ++more) {
        bool exact = true;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const int digits = usual_digits(numbers[i]->form) + more;
            texts[i] = text_with_digits(numbers[i]->value, digits);
            exact = exact && digits >= exact_digits(numbers[i]->value);
        }
        if (exact || reads_true(texts)) {
            break;
        }
    }
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        numbers[i]->text = texts[i];
    }
}

namespace {

// The numbers of an expression, for the operands to be printed with more digits.
void collect(ValueExpr& e, std::vector<ShownNumber*>& out) {
    if (e.op == ValueExpr::Op::Number) {
        out.push_back(&e.number);
    }
    for (ValueExpr& a : e.args) {
        collect(a, out);
    }
}

// One operand: a field (or constant) with the digits it is printed with and the value it then
// reads as.
struct Operand {
    std::string field;
    double value;
    int digits;
    int exact; // digits of its exact text
    double shown;

    void widen() {
        ++digits;
        shown = significant_text_value(text_with_digits(value, digits));
    }
};

} // namespace

void settle_operands(Formula& f) {
    std::vector<ShownNumber*> numbers;
    collect(f.values, numbers);
    // Each number of the values as the operand it prints.
    std::vector<Operand> operands;
    std::vector<std::pair<const ShownNumber*, std::size_t>> operand_index;
    for (const ShownNumber* n : numbers) {
        std::size_t i = 0;
        while (i < operands.size() &&
               !(operands[i].field == n->field && operands[i].value == n->value)) {
            ++i;
        }
        if (i == operands.size()) {
            const int digits = usual_digits(n->form);
            operands.push_back({n->field, n->value, digits, exact_digits(n->value),
                                significant_text_value(text_with_digits(n->value, digits))});
        }
        operand_index.emplace_back(n, i);
    }
    const auto index_of = [&operand_index](const ShownNumber& n) {
        std::size_t k = 0;
        while (operand_index[k].first != &n) {
            ++k;
        }
        return operand_index[k].second;
    };
    const double result = significant_text_value(f.result.text);
    const double exact = evaluate(f.values, [](const ShownNumber& n) { return n.value; });
    for (;;) {
        const double recomputed =
            evaluate(f.values, [&](const ShownNumber& n) { return operands[index_of(n)].shown; });
        if (agrees_to_six_digits(recomputed, result)) {
            break;
        }
        // The operand that, printed as it is while the others are exact, moves the result most.
        std::optional<std::size_t> worst;
        double worst_error = -1.0;
        for (std::size_t i = 0; i < operands.size(); ++i) {
            if (operands[i].digits >= operands[i].exact) {
                continue;
            }
            double error =
                std::fabs(evaluate(f.values,
                                   [&](const ShownNumber& n) {
                                       return index_of(n) == i ? operands[i].shown : n.value;
                                   }) -
                          exact);
            if (std::isnan(error)) {
                error = std::numeric_limits<double>::infinity(); // a root of a negative
            }
            if (error > worst_error) {
                worst = i;
                worst_error = error;
            }
        }
        if (!worst) {
            break; // every operand exact
        }
        operands[*worst].widen();
    }
    for (ShownNumber* n : numbers) {
        n->text = text_with_digits(n->value, operands[index_of(*n)].digits);
    }
}

} // namespace zhuheng
