// SPDX-License-Identifier: GPL-3.0-or-later
#include "working/working_line.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace zhuheng {

int usual_digits(NumberForm form) {
    return form == NumberForm::Shown ? 15 : 7;
}

ValueExpr operand(ShownNumber n) {
    ValueExpr e;
    e.number = std::move(n);
    return e;
}

ValueExpr power_of_ten(int exponent) {
    ValueExpr e;
    e.op = ValueExpr::Op::PowerOfTen;
    e.exponent = exponent;
    return e;
}

namespace {

ValueExpr applied(ValueExpr::Op op, std::vector<ValueExpr> args) {
    ValueExpr e;
    e.op = op;
    e.args = std::move(args);
    return e;
}

} // namespace

ValueExpr operator+(ValueExpr a, ValueExpr b) {
    return applied(ValueExpr::Op::Add, {std::move(a), std::move(b)});
}
ValueExpr operator-(ValueExpr a, ValueExpr b) {
    return applied(ValueExpr::Op::Subtract, {std::move(a), std::move(b)});
}
ValueExpr operator*(ValueExpr a, ValueExpr b) {
    return applied(ValueExpr::Op::Multiply, {std::move(a), std::move(b)});
}
ValueExpr operator/(ValueExpr a, ValueExpr b) {
    return applied(ValueExpr::Op::Divide, {std::move(a), std::move(b)});
}
ValueExpr squared(ValueExpr a) {
    return applied(ValueExpr::Op::Square, {std::move(a)});
}
ValueExpr root(ValueExpr a) {
    return applied(ValueExpr::Op::Root, {std::move(a)});
}

double evaluate(const ValueExpr& e, const std::function<double(const ShownNumber&)>& value_of) {
    using Op = ValueExpr::Op;
    const auto arg = [&](std::size_t i) { return evaluate(e.args[i], value_of); };
    switch (e.op) {
    case Op::Number:
        return value_of(e.number);
    case Op::PowerOfTen: {
        double p = 1.0;
        for (int i = 0; i < std::abs(e.exponent); ++i) {
            p *= 10.0;
        }
        return e.exponent < 0 ? 1.0 / p : p;
    }
    case Op::Add:
        return arg(0) + arg(1);
    case Op::Subtract:
        return arg(0) - arg(1);
    case Op::Multiply:
        return arg(0) * arg(1);
    case Op::Divide:
        return arg(0) / arg(1);
    case Op::Square: {
        const double a = arg(0);
        return a * a;
    }
    case Op::Root:
        return std::sqrt(arg(0));
    }
    return 0.0;
}

namespace {

// Binding strength: sums, then products, then the square, then what stands alone.
int precedence(const ValueExpr& e) {
    using Op = ValueExpr::Op;
    switch (e.op) {
    case Op::Add:
    case Op::Subtract:
        return 1;
    case Op::Multiply:
    case Op::Divide:
        return 2;
    case Op::Square:
        return 3;
    default:
        return 4;
    }
}

std::string superscript(int exponent) {
    static const char* const digits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string out = exponent < 0 ? "⁻" : "";
    for (const char c : std::to_string(std::abs(exponent))) {
        out += digits[c - '0'];
    }
    return out;
}

// Collects the pieces of a line: text is added to the last piece, or begins a new one where a
// break may come.
class PieceWriter {
public:
    void add(const std::string& text) {
        if (pending_ || pieces_.empty()) {
            pieces_.push_back({text, pending_.value_or(LineBreak::Clause)});
            pending_.reset();
        } else {
            pieces_.back().text += text;
        }
    }
    void begin(LineBreak before, const std::string& text) {
        pending_ = before;
        add(text);
    }
    void next_clause() { pending_ = LineBreak::Clause; }
    std::vector<LinePiece> take() { return std::move(pieces_); }

private:
    std::vector<LinePiece> pieces_;
    std::optional<LineBreak> pending_;
};

// `depth`: how many parentheses the expression stands in.
void write_values(PieceWriter& out, const ValueExpr& e, int depth = 0) {
    using Op = ValueExpr::Op;
    const auto side = [&](const ValueExpr& a, bool bracket) {
        if (bracket) {
            out.add("(");
        }
        write_values(out, a, depth + bracket);
        if (bracket) {
            out.add(")");
        }
    };
    const LineBreak before_operator = depth == 0 ? LineBreak::Operator : LineBreak::NestedOperator;
    switch (e.op) {
    case Op::Number:
        out.add(e.number.text[0] == '-' ? "(" + e.number.text + ")" : e.number.text);
        return;
    case Op::PowerOfTen:
        out.add("10" + superscript(e.exponent));
        return;
    case Op::Square:
        side(e.args[0], precedence(e.args[0]) <= precedence(e));
        out.add("²");
        return;
    case Op::Root:
        out.add("√(");
        write_values(out, e.args[0], depth + 1);
        out.add(")");
        return;
    default:
        break;
    }
    // A binary operation; its right operand in parentheses also at the same precedence, so that
    // the text reads in the order the tree evaluates.
    side(e.args[0], precedence(e.args[0]) < precedence(e));
    switch (e.op) {
    case Op::Add:
        out.begin(before_operator, " + ");
        break;
    case Op::Subtract:
        out.begin(before_operator, " − ");
        break;
    case Op::Multiply:
        out.begin(before_operator, " × ");
        break;
    default:
        out.add("/");
        break;
    }
    side(e.args[1], precedence(e.args[1]) <= precedence(e));
}

const char* relation_text(Relation r) {
    switch (r) {
    case Relation::AtMost:
        return " ≤ ";
    case Relation::Above:
        return " > ";
    case Relation::Below:
        return "小于 ";
    case Relation::NotBelow:
        break;
    }
    return "不小于 ";
}

void write_part(PieceWriter& out, const LinePart& part) {
    if (const auto* w = std::get_if<Words>(&part)) {
        out.add(w->text);
    } else if (const auto* f = std::get_if<Formula>(&part)) {
        out.add(f->name + (f->symbolic.empty() ? "" : " = " + f->symbolic));
        out.begin(LineBreak::Equals, " = ");
        write_values(out, f->values);
        out.begin(LineBreak::Equals, " = " + f->result.text + f->unit);
    } else if (const auto* k = std::get_if<Kept>(&part)) {
        out.add("取 " + k->kept.text + k->unit);
    } else {
        const Comparison& c = std::get<Comparison>(part);
        if (c.left) {
            out.add(c.left->name + " = " + c.left->number.text);
        }
        const std::string rest =
            relation_text(c.relation) + c.right.name + " = " + c.right.number.text + c.unit;
        const bool symbol = c.relation == Relation::AtMost || c.relation == Relation::Above;
        symbol ? out.begin(LineBreak::Equals, rest) : out.add(rest);
    }
}

} // namespace

std::vector<LinePiece> line_pieces(const WorkingLine& line) {
    PieceWriter out;
    for (const Clause& clause : line.clauses) {
        out.next_clause();
        for (const LinePart& part : clause.parts) {
            write_part(out, part);
        }
    }
    return out.take();
}

std::string line_text(const WorkingLine& line) {
    std::string out(static_cast<std::size_t>(line.indent), ' ');
    for (const LinePiece& piece : line_pieces(line)) {
        out += piece.text;
    }
    return out;
}

} // namespace zhuheng
