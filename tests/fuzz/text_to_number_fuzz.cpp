// SPDX-License-Identifier: GPL-3.0-or-later
// text_to_number on any bytes: it never throws but on overflow, never gives NaN or infinity, and
// an ordinary decimal number typed alone reads exactly as strtod reads it.
#include "engine/arithmetic_fault.h"
#include "engine/text_to_number.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

using namespace zhuheng;

namespace {

// [+-]digits[.digits][(e|E)[+-]digits], nothing else.
bool is_plain_decimal(const std::string& t) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            ++i;
        }
        return i > start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        ++i;
    }
    if (!digits()) {
        return false;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (!digits()) {
            return false;
        }
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            ++i;
        }
        if (!digits()) {
            return false;
        }
    }
    return i == t.size();
}

[[noreturn]] void fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s: [%s]\n", what, text.c_str());
    std::abort();
}

double strtod_c(const std::string& t) {
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(t.c_str(), nullptr, c);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool plain = is_plain_decimal(text);
    double value = 0;
    try {
        value = text_to_number(text);
    } catch (const ArithmeticFault& fault) {
        if (fault.kind() != FaultKind::Overflow) {
            fail("a fault other than overflow", text);
        }
        if (plain && std::isfinite(strtod_c(text))) {
            fail("overflow reported for a number in range", text);
        }
        return 0;
    } catch (...) {
        fail("an exception other than ArithmeticFault", text);
    }
    if (!std::isfinite(value)) {
        fail("a value that is not finite", text);
    }
    if (plain) {
        const double expected = strtod_c(text);
        if (std::memcmp(&expected, &value, sizeof value) != 0) {
            fail("a plain decimal number read otherwise than strtod reads it", text);
        }
    }
    return 0;
}
