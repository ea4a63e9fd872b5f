// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a table: the encodings and separators Excel and WPS write, quoting, the header's
// captions, ragged rows, and files that are no table at all.

#include "batch_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zhuheng_test;

namespace {

const std::string kRow = "梁1,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r\n";
const std::string kBom = "\xEF\xBB\xBF";
// The header and kRow as Excel saves them as "CSV（逗号分隔）" on a Chinese Windows.
const std::string kGbkHeader = "\xB1\xE0\xBA\xC5,\xBC\xC6\xCB\xE3\xC0\xE0\xD0\xCD,\xBB\xEC\xC4\xFD\xCD\xC1\xB1\xEA\xBA\xC5,\xB8\xD6\xBD\xEE\xB5\xC8\xBC\xB6,\xB8\xD6\xBD\xEE\xC7\xBF\xB6\xC8\xA3\xA8MPa\xA3\xA9,\xB8\xD6\xBD\xEE\xC3\xE6\xBB\xFD\xA3\xA8" "cm2\xA3\xA9,\xB1\xA3\xBB\xA4\xB2\xE3\xBA\xF1\xB6\xC8\xA3\xA8m\xA3\xA9,\xD2\xED\xD4\xB5\xBF\xED\xB6\xC8\xA3\xA8m\xA3\xA9,\xD2\xED\xD4\xB5\xBA\xF1\xB6\xC8\xA3\xA8m\xA3\xA9,\xC1\xBA\xC0\xDF\xBF\xED\xB6\xC8\xA3\xA8m\xA3\xA9,\xC1\xBA\xCC\xE5\xB8\xDF\xB6\xC8\xA3\xA8m\xA3\xA9,\xB3\xD0\xCA\xDC\xCD\xE4\xBE\xD8\xA3\xA8KN.m\xA3\xA9\r\n";
const std::string kGbkRow = "\xC1\xBA" "1,\xC5\xE4\xBD\xEE\xBC\xC6\xCB\xE3,25\xBA\xC5,\xA2\xF2\xBC\xB6,,,0.05,1,0.15,0.2,0.8,500\r\n";

// Excel's "Unicode 文本": UTF-16 LE with its BOM.
std::string utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}
const std::u16string kUtf16Table =
    u"编号\t计算类型\t混凝土标号\t钢筋等级\t钢筋强度（MPa）\t钢筋面积（cm2）\t保护层厚度（m）\t"
    u"翼缘宽度（m）\t翼缘厚度（m）\t梁肋宽度（m）\t梁体高度（m）\t承受弯矩（KN.m）\r\n"
    u"梁1\t配筋计算\t25号\t\u2161级\t\t\t0.05\t1\t0.15\t0.2\t0.8\t500\r\n";

std::string with_lf(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

std::string tabs_for_commas(std::string text) {
    for (char& c : text) {
        c = c == ',' ? '\t' : c;
    }
    return text;
}

struct ReadCase {
    std::string name;
    std::string bytes;
};

const std::vector<ReadCase> kReadCases{
    {"utf8_with_bom", kBom + kHeader + kRow},
    {"utf8_without_bom", kHeader + kRow},
    {"gbk", kGbkHeader + kGbkRow},
    {"utf16_with_tabs", utf16le(kUtf16Table)},
    {"lf_line_ends", with_lf(kHeader + kRow)},
    {"cr_line_ends", "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
                     "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）\r"
                     "梁1,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r"},
    {"no_line_end_at_the_end", kHeader + kRow.substr(0, kRow.size() - 2)},
    {"blank_lines_and_rows_of_commas_skipped", "\r\n" + kHeader + "\r\n,,,,\r\n \r\n" + kRow + "\r\n"},
    {"utf8_with_tabs", tabs_for_commas(kHeader + kRow)},
    {"header_reordered_half_width_and_blanks",
     " 承受弯矩(kn.m) ,梁体高度(m),梁肋宽度（M）,翼缘厚度（m）,翼缘宽度（m）,保护层厚度（m）,"
     "钢筋面积(cm2),钢筋强度（MPa）,\u3000钢筋等级\t,混凝土标号,计算类型,编号\r\n"
     "500,0.8,0.2,0.15,1,0.05,,,Ⅱ级,25号,配筋计算,梁1\r\n"},
};

TEST(TableReading, EveryEncodingAndLayoutGivesTheSameRow) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.name);
        const Ran ran = run_table(c.bytes);
        ASSERT_EQ(ran.rows.size(), 2u);
        EXPECT_EQ(ran.at(0, "编号"), "梁1");
        EXPECT_EQ(ran.at(0, "受拉钢筋面积"), "25.528");
        EXPECT_EQ(ran.at(0, "D34"), "3");
        EXPECT_EQ(ran.at(0, "提示"), "");
        EXPECT_EQ(ran.summary.completed, 1u);
    }
}

TEST(TableReading, HeaderCellsAndOtherColumnsAreEchoedAsGiven) {
    const Ran ran = run_table(" 承受弯矩(kn.m) ,备注,梁体高度(m),梁肋宽度（m）,翼缘厚度（m）,"
                              "翼缘宽度（m）,保护层厚度（m）,钢筋面积（cm2）,钢筋强度（MPa）,钢筋等级,"
                              "混凝土标号,计算类型\r\n"
                              "500,\"左跨, 中梁\",0.8,0.2,0.15,1,0.05,,,Ⅱ级,25号,配筋计算\r\n");
    const std::vector<std::string> echoed(ran.rows[0].begin(), ran.rows[0].begin() + 12);
    EXPECT_EQ(echoed[0], " 承受弯矩(kn.m) ");
    EXPECT_EQ(echoed[1], "备注");
    EXPECT_EQ(ran.rows[0][12], "受拉钢筋面积");
    EXPECT_EQ(ran.rows[1][1], "左跨, 中梁");
    EXPECT_EQ(ran.at(0, "配筋率"), "1.701");
    EXPECT_NE(ran.bytes.find("\"左跨, 中梁\""), std::string::npos) << "quoted again";
}

struct QuoteCase {
    std::string name;
    std::string label_cell; // the 编号 cell as written in the table
    std::string echoed;     // as the results table gives it back
};

const std::vector<QuoteCase> kQuoteCases{
    {"comma_inside_quotes", "\"1,2\"", "1,2"},
    {"doubled_quote", "\"梁\"\"甲\"\"\"", "梁\"甲\""},
    {"line_break_inside_quotes", "\"上\r\n下\"", "上\r\n下"},
    {"stray_quote_inside_a_cell", "梁\"1", "梁\"1"},
    {"text_after_the_closing_quote", "\"梁\"1", "梁1"},
    {"quotes_around_nothing", "\"\"", ""},
};

TEST(TableReading, QuotedCellsReadAsExcelWritesThem) {
    for (const QuoteCase& c : kQuoteCases) {
        SCOPED_TRACE(c.name);
        const Ran ran = run_table(kHeader + c.label_cell + kRow.substr(kRow.find(',')) +
                                  "甲,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,abc\r\n");
        ASSERT_EQ(ran.rows.size(), 3u);
        EXPECT_EQ(ran.at(0, "编号"), c.echoed);
        EXPECT_EQ(ran.at(0, "受拉钢筋面积"), "25.528");
        // The next row's line counts the line breaks inside quotes.
        const std::size_t line = c.name == "line_break_inside_quotes" ? 4 : 3;
        EXPECT_EQ(ran.summary.error_lines, std::vector<std::size_t>{line});
    }
}

TEST(TableReading, RaggedRows) {
    const std::string header = "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,"
                               "保护层厚度（m）,翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,"
                               "梁体高度（m）,承受弯矩（KN.m）,备注\r\n";
    const Ran ran = run_table(header +
                              "短,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500\r\n"   // no 备注
                              "更短,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8\r\n"    // no moment
                              "空尾,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500,x,,\r\n"
                              "多出,配筋计算,25号,Ⅱ级,,,0.05,1,0.15,0.2,0.8,500,x,多\r\n");
    ASSERT_EQ(ran.rows.size(), 5u);
    for (const auto& row : ran.rows) {
        EXPECT_EQ(row.size(), ran.rows[0].size()) << "every row as wide as the header";
    }
    EXPECT_EQ(ran.at(0, "受拉钢筋面积"), "25.528");
    EXPECT_EQ(ran.at(0, "备注"), "");
    EXPECT_EQ(ran.at(1, "提示"), "第 3 行：承受弯矩（KN.m）为空");
    EXPECT_EQ(ran.at(2, "受拉钢筋面积"), "25.528");
    EXPECT_EQ(ran.at(3, "提示"), "第 5 行：表头之外的第 14 列还有内容“多”（表头只有 13 列）");
    EXPECT_EQ(ran.summary.error_lines, (std::vector<std::size_t>{3, 5}));
}

const std::string kCompound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10);
std::string utf16le_name(std::string_view ascii) {
    std::string name;
    for (const char c : ascii) {
        name += c;
        name += '\0';
    }
    return name;
}

struct RefusalCase {
    std::string name;
    std::string bytes;
    std::string says; // a part of the message
};

const std::vector<RefusalCase> kRefusalCases{
    {"xlsx_workbook", std::string("PK\x03\x04\x14\0\x06\0", 8) + "[Content_Types].xml", "Excel 工作簿（.xlsx）"},
    // Compound files, told apart by the streams their directory names (UTF-16 LE).
    {"xls_workbook", kCompound + std::string(300, '\0') + utf16le_name("Workbook"),
     "旧版 Excel 工作簿（.xls），无法直接读取"},
    {"encrypted_workbook", kCompound + utf16le_name("EncryptionInfo") + std::string(70000, '\0') +
                               utf16le_name("EncryptedPackage"),
     "这个工作簿设有打开密码（已加密）"},
    {"compound_file_of_neither", kCompound + utf16le_name("WordDocument"), "旧版 Office 文件"},
    {"semicolons", "编号;计算类型;混凝土标号\r\n1;配筋计算;25号\r\n", "分号（;）分隔"},
    {"bytes_neither_utf8_nor_gbk", kHeader + kRow + "\x81\x20,\r\n", "第 3 行的字节既不是 UTF-8 也不是 GBK"},
    {"bom_then_bytes_not_utf8", kBom + kHeader + "\xC1\xBA" "1" + kRow.substr(3), "第 2 行有不是 UTF-8 编码的字节"},
    {"nul_byte", kHeader + std::string("梁\0", 4) + kRow.substr(3), "第 2 行含有空字符（NUL）"},
    {"binary_file", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20), "第 1 行含有空字符（NUL）"},
    {"utf16_without_its_low_surrogate", utf16le(u"编号\t\xD800\t计算类型\r\n"), "第 1 行有不成对的 UTF-16 字符"},
    {"utf16_half_a_character_at_the_end", utf16le(kUtf16Table) + "\x41", "第 3 行有不成对的 UTF-16 字符"},
    {"utf16_big_endian", "\xFE\xFF\0A", "UTF-16 大端序"},
    {"empty_file", "", "表格是空的"},
    {"only_blank_lines", "\r\n\r\n,,\r\n", "表格是空的"},
    {"columns_missing", "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,保护层厚度（m）,翼缘宽度（m）,"
                        "翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）\r\n" + kRow,
     "第 1 行的表头缺少这些列：钢筋面积（cm2）、承受弯矩（KN.m）。"},
    {"column_doubled", "\r\n" + kHeader.substr(0, kHeader.size() - 2) + ",钢筋等级,编号\r\n" + kRow,
     "第 2 行的表头有重复的列：“钢筋等级”在第 4 列和第 13 列；“编号”在第 1 列和第 14 列。"},
    {"result_column_doubled", kHeader.substr(0, kHeader.size() - 2) + ",D12,d12\r\n" + kRow, "“D12”在第 13 列和第 14 列"},
    {"quote_never_closed_in_the_header", "编号,\"计算类型,混凝土标号\r\n" + kRow, "第 1 行有一个引号，直到文件末尾也没有配对的引号"},
};

TEST(TableReading, AFileThatIsNoTableStopsBeforeAnythingIsWritten) {
    for (const RefusalCase& c : kRefusalCases) {
        SCOPED_TRACE(c.name);
        const Refusal refusal = refusal_of(c.bytes);
        EXPECT_NE(refusal.what.find(c.says), std::string::npos) << refusal.what;
        EXPECT_FALSE(refusal.wrote);
    }
}

TEST(TableReading, AWorkbookOrBadBytesSayWhatToDo) {
    for (const char* name : {"xlsx_workbook", "bytes_neither_utf8_nor_gbk", "semicolons"}) {
        const auto c = std::find_if(kRefusalCases.begin(), kRefusalCases.end(),
                                    [&](const RefusalCase& r) { return r.name == name; });
        EXPECT_NE(refusal_of(c->bytes).what.find("“另存为”CSV（逗号分隔）"), std::string::npos) << name;
    }
}

TEST(TableReading, BadGbkBytesLateInTheFileStopBeforeAnythingIsWritten) {
    std::string table = kGbkHeader;
    for (int i = 0; i < 20000; ++i) {
        table += kGbkRow;
    }
    table += "\xC1\xBA\x81\x20,\r\n"; // 0x81 leads a character that a blank cannot end
    const Refusal refusal = refusal_of(table);
    EXPECT_NE(refusal.what.find("第 20002 行的字节既不是 UTF-8 也不是 GBK"), std::string::npos)
        << refusal.what;
    EXPECT_FALSE(refusal.wrote);
}

TEST(TableReading, AQuoteNeverClosedInARowIsAnErrorOfTheTable) {
    MemorySource in(kHeader + kRow + "\"梁2,配筋计算\r\n" + kRow + kRow);
    StringSink out;
    try {
        run_batch(in, out, {});
        FAIL() << "no TableError";
    } catch (const TableError& e) {
        EXPECT_STREQ(e.what(), "第 3 行有一个引号，直到文件末尾也没有配对的引号。");
    }
}

TEST(TableReading, AHundredMegabyteLineIsRefused) {
    std::string table = kHeader + kRow + "梁2,";
    table.append(100u << 20, '9');
    table += "\r\n" + kRow;
    MemorySource in(std::move(table));
    StringSink out;
    try {
        run_batch(in, out, {});
        FAIL() << "no TableError";
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find("第 3 行过长（超过 1 MB）"), std::string::npos) << e.what();
    }
    EXPECT_LT(out.text.size(), 4096u);
}

} // namespace
