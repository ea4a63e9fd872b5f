// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace zhuheng {

enum class FaultKind { DivisionByZero, Overflow };

// The one exception type of the engine: a division by zero or a result beyond the range of a
// double, raised at the step where it happens. Fields written before that step keep their values.
class ArithmeticFault : public std::runtime_error {
public:
    explicit ArithmeticFault(FaultKind kind)
        : std::runtime_error(kind == FaultKind::DivisionByZero ? "division by zero" : "overflow"),
          kind_(kind) {}
    FaultKind kind() const noexcept { return kind_; }

private:
    FaultKind kind_;
};

} // namespace zhuheng
