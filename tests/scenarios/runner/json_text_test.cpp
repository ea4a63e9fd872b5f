// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON text of the scenario language: string literals read and written.
#include "json_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

namespace {

using scenario::json_number;
using scenario::json_string;
using scenario::parse_json_string;

struct ParseCase {
    const char* name;
    const char* literal;
    std::optional<std::string> text;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class ParseJsonString : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseJsonString, ReadsExactlyOneLiteral) {
    EXPECT_EQ(parse_json_string(GetParam().literal), GetParam().text);
}

const ParseCase kParseCases[] = {
    {"Empty", R"("")", ""},
    {"OneBlank", R"(" ")", " "},
    {"Chinese", "\"25号\"", "25号"},
    {"Escapes", R"("\t1\n\"\\\/")", "\t1\n\"\\/"},
    {"UnicodeEscape", R"("\u2160\u7ea7")", "Ⅰ级"},
    {"SurrogatePair", R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
    {"LoneHighSurrogate", R"("\ud83d")", std::nullopt},
    {"LoneLowSurrogate", R"("\ude00")", std::nullopt},
    {"TextAfterTheLiteral", R"("a" b)", std::nullopt},
    {"Unterminated", R"("abc)", std::nullopt},
    {"BareWord", "abc", std::nullopt},
    {"RawControlCharacter", "\"a\tb\"", std::nullopt},
    {"UnknownEscape", R"("\x41")", std::nullopt},
    {"ShortUnicodeEscape", R"("\u12")", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Literals, ParseJsonString, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JsonString, WritesWhatReadsBack) {
    for (const std::string& text : std::vector<std::string>{
             "", " ", "\t1", "a\"b\\c", "筑衡\n", std::string("\x01\x1f", 2), "4.823\u00A0%"}) {
        EXPECT_EQ(parse_json_string(json_string(text)), text);
    }
    EXPECT_EQ(json_string("\x01"), R"("\u0001")");
    EXPECT_EQ(json_string("4.823\u00A0%，取"), R"("4.823\u00a0%，取")");
}

TEST(JsonNumber, ReadsBackToTheSameDouble) {
    for (double v :
         {0.05, 25.528, 1174.5, -1.2345, 1e-310, std::numeric_limits<double>::max(), 0.1 + 0.2}) {
        EXPECT_EQ(std::strtod(json_number(v).c_str(), nullptr), v) << json_number(v);
    }
    EXPECT_EQ(json_number(14500), "14500");
}

} // namespace
