// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/arithmetic_fault.h"

#include <cmath>

namespace zhuheng {

// A double whose every operation checks its result, so that an expression written with the
// grouping of a formula evaluates in exactly that order and faults at the exact operation.
// Operands are always finite, so a non-finite result can only be an overflow.
class Checked {
public:
    constexpr Checked(double v) : v_(v) {}
    constexpr double value() const { return v_; }

    friend Checked operator+(Checked a, Checked b) { return finish(a.v_ + b.v_); }
    friend Checked operator-(Checked a, Checked b) { return finish(a.v_ - b.v_); }
    friend Checked operator*(Checked a, Checked b) { return finish(a.v_ * b.v_); }
    friend Checked operator/(Checked a, Checked b) {
        if (b.v_ == 0.0) {
            throw ArithmeticFault(FaultKind::DivisionByZero);
        }
        return finish(a.v_ / b.v_);
    }

private:
    static Checked finish(double r) {
        if (!std::isfinite(r)) {
            throw ArithmeticFault(FaultKind::Overflow);
        }
        return Checked(r);
    }

    double v_;
};

// Only reached after the radicand has been tested non-negative.
inline Checked checked_sqrt(Checked a) {
    return Checked(std::sqrt(a.value()));
}

// The stored form of a result: floor(v * scale) / scale, rounding towards negative infinity.
inline double floor_to(double v, double scale) {
    const Checked scaled = Checked(v) * scale;
    return (Checked(std::floor(scaled.value())) / scale).value();
}

} // namespace zhuheng
