// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's decoder of code page 936: Excel's GBK to UTF-8, bytes that are no GBK refused.

#include "batch/platform_gbk.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct GbkCase {
    std::string name;
    std::string bytes;
    std::optional<std::string> text;
};

const std::vector<GbkCase> kGbkCases{
    {"empty", "", ""},
    {"ascii", "0.8,500\r\n", "0.8,500\r\n"},
    {"two_byte_characters", "\xD6\xFE\xBA\xE2", "筑衡"},
    {"roman_numeral_two", "\xA2\xF2\xBC\xB6", "Ⅱ级"},
    {"full_width_bracket", "\xA3\xA8m\xA3\xA9", "（m）"},
    {"euro_of_code_page_936", "\x80", "€"},
    {"lead_byte_before_a_blank", "\x81 A", std::nullopt},
    {"lead_byte_cut_at_the_end", "\xD6\xFE\xBA", std::nullopt},
    {"lead_byte_before_a_line_break", "\xBA\n", std::nullopt},
    {"byte_ff_is_no_character", "0.8\xFF", std::nullopt},
};

TEST(PlatformGbk, DecodesCodePage936AndRefusesWhatIsNotGbk) {
    const zhuheng::batch::GbkDecoder gbk = zhuheng::batch::platform_gbk_decoder();
    ASSERT_TRUE(gbk) << "this platform has no GBK decoder";
    for (const GbkCase& c : kGbkCases) {
        EXPECT_EQ(gbk(c.bytes), c.text) << c.name;
    }
}

} // namespace
