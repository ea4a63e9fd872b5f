// SPDX-License-Identifier: GPL-3.0-or-later
// Lenient reading of the number typed in a box.

#include "engine/arithmetic_fault.h"
#include "engine/text_to_number.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace zhuheng;
using namespace zhuheng_test;

namespace {

struct ReadCase {
    std::string name;
    std::string text;
    double expected;
};

const std::vector<ReadCase> kReadCases{
    // Plain ASCII text.
    {"empty", "", 0.0},
    {"letters_only", "abc", 0.0},
    {"unit_after_number", "0.8m", 0.8},
    {"comma_is_not_a_separator", "1,5", 1.0},
    {"exponent", "-2.5E1", -25.0},
    {"lower_case_exponent_with_sign", "3e-2", 0.03},
    {"leading_point", ".5", 0.5},
    {"leading_spaces", "  12", 12.0},
    {"leading_tab", "\t7", 7.0},
    {"trailing_point", "5.", 5.0},
    {"point_without_digits_ends_number", "5.e3", 5.0},
    {"plus_and_leading_point", "+.5", 0.5},
    {"point_alone", ".", 0.0},
    {"minus_alone", "-", 0.0},
    {"sign_twice", "+-3", 0.0},
    {"blank_inside", "1 2", 1.0},
    {"blank_after_sign", "- 2", 0.0},
    {"hex_prefix", "0x10", 0.0},
    {"exponent_mark_without_digits", "2E", 2.0},
    {"exponent_mark_and_sign_without_digits", "2E+", 2.0},
    {"exponent_then_letters", "2e+x5", 2.0},
    {"second_point_ends_number", "1.2.3", 1.2},
    {"underflow_reads_as_zero", "1e-400", 0.0},
    {"many_digits_then_an_underflow", std::string(400, '9') + "e-800", 0.0},
    {"subnormal_reads_as_the_nearest_double", "4.9406564584124654e-324", 4.9406564584124654e-324},
    {"zeros_after_the_point_then_a_large_exponent", "0." + std::string(400, '0') + "1e700", 1e299},
    {"negative_zero", "-0", 0.0},
    {"negative_zero_with_exponent", "-0.0e5", 0.0},
    {"ideographic_space_is_not_a_number", "\u3000", 0.0},
    // Full-width forms.
    {"full_width_decimal", "\uff10\uff0e\uff18", 0.8},
    {"full_width_sign_and_exponent", "\uff0d\uff12\uff0e\uff15\uff45\uff11", -25.0},
    {"full_width_capital_exponent", "\uff13\uff25\uff12", 300.0},
    {"full_width_plus", "\uff0b\uff14", 4.0},
    {"ideographic_space_lead", "\u3000\u300012", 12.0},
    {"mixed_widths_and_blanks", " \u3000\t-1\uff15.\uff15e+\uff12kN", -1550.0},
    {"full_width_colon_ends_number", "\uff11\uff12\uff1a\uff13", 12.0},
    {"full_width_letter_is_not_a_number", "\uff41\uff11", 0.0},
    {"full_width_blank_inside", "\uff11\u3000\uff12", 1.0},
    // The ideographic full stop that a Chinese input method types for ".".
    {"ideographic_full_stop_is_the_point", "0\u300205", 0.05},
    {"ideographic_full_stop_leads", "\u30025", 0.5},
    {"full_width_digits_and_ideographic_stop", "\uff10\u3002\uff18", 0.8},
    {"second_ideographic_stop_ends_number", "1\u30022\u30023", 1.2},
    {"ideographic_stop_alone", "\u3002", 0.0},
    {"ideographic_comma_is_not_a_point", "0\u300105", 0.0},
};

TEST(TextToNumber, ReadsTheLongestLeadingNumber) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text_to_number(c.text), c.expected) << '"' << c.text << '"';
    }
}

struct OverflowCase {
    std::string name;
    std::string text;
};

const std::vector<OverflowCase> kOverflowCases{
    {"large_exponent", "1e999"},
    {"negative_large_exponent", "-1e999"},
    {"full_width_large_exponent", "\uff11\uff45\uff19\uff19\uff19"},
    {"many_digits", std::string(400, '9')},
    {"plus_sign_large_exponent", "+1e999"},
    {"fraction_with_large_exponent", "0.01e311"},
};

TEST(TextToNumber, NumberBeyondDoubleRangeIsAnOverflow) {
    for (const OverflowCase& c : kOverflowCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fault_of([&] { (void)text_to_number(c.text); }), FaultKind::Overflow);
    }
}

TEST(TextToNumber, LargestFiniteNumbersStillRead) {
    EXPECT_EQ(text_to_number("1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_EQ(text_to_number("-1e308"), -1e308);
}

TEST(TextToNumber, ReadingDoesNotDependOnTheCLocale) {
    const ForeignLocale locale;
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(text_to_number("0.8"), 0.8);
    EXPECT_EQ(text_to_number("1,5"), 1.0);
    EXPECT_EQ(text_to_number("-2.5E1"), -25.0);
    EXPECT_EQ(text_to_number("\uff10\uff0e\uff18"), 0.8);
}

TEST(TextToNumber, NegativeZeroKeepsItsSignAsStrtodDoes) {
    EXPECT_TRUE(std::signbit(text_to_number("-0")));
    EXPECT_TRUE(std::signbit(text_to_number("\uff0d0.0")));
    EXPECT_TRUE(std::signbit(text_to_number("-1e-400")));
    EXPECT_FALSE(std::signbit(text_to_number("0")));
}

// The strict reading of a table's cell: the whole text, blanks around it aside, is one number.
struct WholeCase {
    std::string name;
    std::string text;
    std::optional<double> expected;
};

const std::vector<WholeCase> kWholeCases{
    {"plain", "0.8", 0.8},
    {"blanks_around", " \t\u30001300\u3000 ", 1300.0},
    {"exponent", "-2.5E1", -25.0},
    {"full_width_and_ideographic_stop", "\uff10\u3002\uff18", 0.8},
    {"leading_point", ".5", 0.5},
    {"empty", "", std::nullopt},
    {"blanks_only", " \u3000", std::nullopt},
    {"digit_grouping", "1,300", std::nullopt},
    {"unit_after_number", "0.8m", std::nullopt},
    {"trailing_point", "5.", std::nullopt},
    {"exponent_mark_without_digits", "2E", std::nullopt},
    {"blank_inside", "1 2", std::nullopt},
    {"two_points", "1.2.3", std::nullopt},
    {"sign_alone", "-", std::nullopt},
    {"letters", "abc", std::nullopt},
    {"nul_after_number", std::string("1\0", 2), std::nullopt},
    {"underflow_is_a_number", "1e-400", 0.0},
};

TEST(WholeNumber, ReadsOnlyATextThatIsOneNumber) {
    for (const WholeCase& c : kWholeCases) {
        SCOPED_TRACE(c.name);
        const std::optional<double> value = whole_number(c.text);
        EXPECT_EQ(value, c.expected);
        if (value) {
            EXPECT_EQ(text_to_number(c.text), *value) << "the lenient reading differs";
        }
    }
}

TEST(WholeNumber, NumberBeyondDoubleRangeIsAnOverflow) {
    for (const OverflowCase& c : kOverflowCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fault_of([&] { (void)whole_number(c.text); }), FaultKind::Overflow);
    }
}

} // namespace
