// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zhuheng {

// How a number of the working is printed unless its line needs it more exact: as the boxes show
// it (inputs, material values, kept results and the constants of the formulas, up to 15
// significant digits), or as an intermediate value or a result before flooring (7).
enum class NumberForm { Shown, Intermediate };

// The significant digits of a form.
int usual_digits(NumberForm form);

// A number printed in the working: a value the engine stored for the run, named by its CalcState
// field, or a constant of the formulas (no field). `text` is what is printed, a rounding of
// `value`; an operand that is negative is printed in parentheses around it.
struct ShownNumber {
    std::string field;
    double value = 0.0;
    NumberForm form = NumberForm::Shown;
    std::string text;

    bool operator==(const ShownNumber& o) const {
        return field == o.field && value == o.value && form == o.form && text == o.text;
    }
};

// The values of a formula as printed, and as a calculator evaluates them: the usual precedence
// (× and / before + and −, left to right), parentheses printed where the tree needs them.
struct ValueExpr {
    enum class Op { Number, PowerOfTen, Add, Subtract, Multiply, Divide, Square, Root };
    Op op = Op::Number;
    ShownNumber number; // of a Number
    int exponent = 0;   // of a PowerOfTen: printed 10⁴ (the pinned face has no superscript minus)
    std::vector<ValueExpr> args; // the operands of the others, left to right

    bool operator==(const ValueExpr& o) const {
        return op == o.op && number == o.number && exponent == o.exponent && args == o.args;
    }
};

ValueExpr operand(ShownNumber n);
ValueExpr power_of_ten(int exponent);
ValueExpr operator+(ValueExpr a, ValueExpr b);
ValueExpr operator-(ValueExpr a, ValueExpr b);
ValueExpr operator*(ValueExpr a, ValueExpr b);
ValueExpr operator/(ValueExpr a, ValueExpr b);
ValueExpr squared(ValueExpr a);
ValueExpr root(ValueExpr a); // printed √(…)

// The expression evaluated in double precision, each number read as `value_of` tells.
double evaluate(const ValueExpr& e, const std::function<double(const ShownNumber&)>& value_of);

// "name = symbolic = values = result unit", the symbolic form left out when empty:
// "h0 = h − a = 0.8 − 0.05 = 0.75 m".
struct Formula {
    std::string name;
    std::string symbolic;
    ValueExpr values;
    ShownNumber result;
    std::string unit;

    bool operator==(const Formula& o) const {
        return name == o.name && symbolic == o.symbolic && values == o.values &&
               result == o.result && unit == o.unit;
    }
};

// "取 25.528 cm²": the result of the formula before it on the line, floored to 1/scale as the
// engine keeps it.
struct Kept {
    ShownNumber kept;
    double scale = 1000.0;
    std::string unit;

    bool operator==(const Kept& o) const {
        return kept == o.kept && scale == o.scale && unit == o.unit;
    }
};

// The relation that the run found between two values.
enum class Relation { AtMost, Above, Below, NotBelow }; // ≤, >, 小于, 不小于

struct Compared {
    std::string name;
    ShownNumber number;

    bool operator==(const Compared& o) const { return name == o.name && number == o.number; }
};

// "Mj = 500 ≤ K = 1174.5 KN.m"; without a left side it compares the result of the formula before
// it on the line: "… = 0.3309239 ≤ ξjg = 0.55", "不小于 ρmin = 0.15 %".
struct Comparison {
    std::optional<Compared> left;
    Relation relation = Relation::AtMost;
    Compared right;
    std::string unit;

    bool operator==(const Comparison& o) const {
        return left == o.left && relation == o.relation && right == o.right && unit == o.unit;
    }
};

// Text that states nothing a calculator checks.
struct Words {
    std::string text;

    bool operator==(const Words& o) const { return text == o.text; }
};

using LinePart = std::variant<Words, Formula, Kept, Comparison>;

// What a line may be broken between: it ends after "，" or "；" (a kept value "取 …" begins one).
struct Clause {
    std::vector<LinePart> parts;

    bool operator==(const Clause& o) const { return parts == o.parts; }
};

// A line of the working: a heading (indent 0) or a body line (indented by four blanks).
struct WorkingLine {
    int indent = 0;
    std::vector<Clause> clauses;

    bool operator==(const WorkingLine& o) const {
        return indent == o.indent && clauses == o.clauses;
    }
};

// The line as printed, its indent as blanks.
std::string line_text(const WorkingLine& line);

// Where a line may break, best first: between clauses; then, in a clause wider than the page,
// before a " = " or a relation of a formula or comparison; then before an operator of a
// formula's values, outside parentheses before one within them. Never between a number and its
// unit.
enum class LineBreak { Clause, Equals, Operator, NestedOperator };

// A piece of a line, and the kind of break it may be set after the piece before it with.
struct LinePiece {
    std::string text;
    LineBreak before;
};

// The line, without its indent, in the pieces it may be broken into; they join into its text.
std::vector<LinePiece> line_pieces(const WorkingLine& line);

} // namespace zhuheng
