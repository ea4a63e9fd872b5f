// SPDX-License-Identifier: GPL-3.0-or-later
// Text forms of a number in a result box and in the printed report.

#include "engine/number_text.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zhuheng;
using namespace zhuheng_test;

namespace {

struct TextCase {
    std::string name;
    double value;
    std::string box_text;
};

const std::vector<TextCase> kTextCases{
    {"zero", 0.0, " 0"},
    {"negative_zero", -0.0, " 0"},
    {"whole_number", 23.0, " 23"},
    {"negative_whole_number", -21.0, "-21"},
    {"stored_area", 25.528, " 25.528"},
    {"stored_height_below_one", 0.0598, " 0.0598"},
    {"negative_fraction", -0.5, "-0.5"},
    {"negative_stored_area", -1.235, "-1.235"},
    {"fifteen_significant_digits", 1.0 / 3.0, " 0.333333333333333"},
    {"sum_shown_to_fifteen_digits", 0.1 + 0.2, " 0.3"},
    {"largest_plain_form", 1e14, " 100000000000000"},
    {"exponent_form_above", 1e15, " 1E+15"},
    {"exponent_form_with_digits", 123456789012345678.0, " 1.23456789012346E+17"},
    {"smallest_plain_form", 1e-4, " 0.0001"},
    {"exponent_form_below", 1e-5, " 1E-05"},
    {"negative_exponent_form", -2.5e-7, "-2.5E-07"},
    {"three_digit_exponent", 1e308, " 1E+308"},
    {"count_limit", -32768.0, "-32768"},
};

TEST(NumberText, BoxForm) {
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(number_text(c.value), c.box_text);
    }
}

TEST(NumberText, PrintedFormAddsOneBlank) {
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(printed_number_text(c.value), c.box_text + " ");
    }
}

TEST(NumberText, FormDoesNotDependOnTheCLocale) {
    const ForeignLocale locale;
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(number_text(25.528), " 25.528");
    EXPECT_EQ(number_text(-0.0598), "-0.0598");
    EXPECT_EQ(printed_number_text(1e-5), " 1E-05 ");
}

} // namespace
