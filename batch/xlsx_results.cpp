// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/xlsx_results.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <map>

#if !defined(_WIN32)
#include <locale.h>
#endif

namespace zhuheng::batch {

namespace {

// The sheet's limits (Excel's, which libxlsxwriter enforces).
constexpr std::size_t kLastRow = LXW_ROW_MAX - 1;
constexpr std::size_t kLongestText = 32767; // characters of a cell
constexpr std::size_t kLastColumn = LXW_COL_MAX - 1;
// Widths in widths of a digit: Excel's default, and the widest a long note makes its column.
constexpr double kNarrowest = 8.43;
constexpr double kWidest = 60;

// libxlsxwriter on Debian writes each number with the C library's printf, whose decimal point
// is the locale's (a German locale writes 1300,25: a corrupt workbook). On POSIX systems every
// call into it runs in the "C" locale of this thread. For Windows the library is built with its
// own conversion (scripts/xlsxwriter-windows.sh), which this file is compiled to call: a library
// without it does not link.
class CNumbers {
public:
    CNumbers() {
#if !defined(_WIN32)
        c_ = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        if (c_ != static_cast<locale_t>(nullptr)) {
            before_ = uselocale(c_);
        }
#endif
    }
    ~CNumbers() {
#if !defined(_WIN32)
        if (c_ != static_cast<locale_t>(nullptr)) {
            uselocale(before_);
            freelocale(c_);
        }
#endif
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

    // Refuses to write when the library would not write 0.5 as "0.5".
    static void check() {
        const CNumbers c_numbers;
        char text[LXW_ATTR_32] = {};
        lxw_sprintf_dbl(text, 0.5);
        if (std::string_view(text) != "0.5") {
            throw WorkbookError("无法以“.”为小数点写出数字：0.5 写成了“" + std::string(text) + "”。", 0);
        }
    }

private:
#if !defined(_WIN32)
    locale_t c_ = static_cast<locale_t>(nullptr);
    locale_t before_ = static_cast<locale_t>(nullptr);
#endif
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Columns a text takes in a sheet: two for a character of the East Asian scripts and the
// full-width forms (and the Roman numerals of the steel grades, wide in Chinese faces), one for
// any other.
double text_width(std::string_view text) {
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            code = lead & 0x07u;
            length = 4;
        } else if (lead >= 0xE0) {
            code = lead & 0x0Fu;
            length = 3;
        } else if (lead >= 0xC0) {
            code = lead & 0x1Fu;
            length = 2;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        i += length;
        const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2150 && code <= 0x218F) ||
                          (code >= 0x2E80 && code <= 0xA4CF) || (code >= 0xAC00 && code <= 0xD7A3) ||
                          (code >= 0xF900 && code <= 0xFAFF) || (code >= 0xFE30 && code <= 0xFE4F) ||
                          (code >= 0xFF00 && code <= 0xFF60) || (code >= 0xFFE0 && code <= 0xFFE6) ||
                          code >= 0x20000;
        width += wide ? 2 : 1;
    }
    return width;
}

// A text as a cell holds it: the characters XML cannot carry (the control characters but tab
// and the line breaks) as Excel's escapes _xHHHH_, and a text that reads as such an escape with
// its underscore escaped, so that it comes back as written.
std::string cell_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](unsigned code) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += "_x";
        for (int shift = 12; shift >= 0; shift -= 4) {
            out += kHex[(code >> shift) & 0xFu];
        }
        out += '_';
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            escape(c);
        } else if (c == '_' && text.size() - i >= 7 && text[i + 1] == 'x' && text[i + 6] == '_' &&
                   std::all_of(text.begin() + i + 2, text.begin() + i + 6,
                               [](char h) { return std::isxdigit(static_cast<unsigned char>(h)); })) {
            escape('_');
        } else if (text.substr(i, 3) == "\xEF\xBF\xBE" || text.substr(i, 3) == "\xEF\xBF\xBF") {
            escape(text[i + 2] == '\xBE' ? 0xFFFEu : 0xFFFFu); // no characters of XML either
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string reason(lxw_error error) {
    switch (error) {
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return "结果超过了 Excel 工作表所能容纳的 " + std::to_string(LXW_ROW_MAX) + " 行或 " +
               std::to_string(LXW_COL_MAX) + " 列。请把表格分成几个再计算，或把结果保存为 CSV 文件。";
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return "有一格的文字超过了 Excel 单元格所能容纳的 " + std::to_string(kLongestText) +
               " 个字符。请把结果保存为 CSV 文件。";
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "内存不足";
    default:
        break;
    }
    return std::string("生成工作簿时出错（") + lxw_strerror(error) + "）";
}

[[noreturn]] void fail(lxw_error error) {
    const int error_number = errno;
    throw WorkbookError(reason(error), error_number);
}

} // namespace

std::string number_format(std::string_view shown) {
    while (!shown.empty() && (shown.front() == ' ' || shown.front() == '\t')) {
        shown.remove_prefix(1);
    }
    while (!shown.empty() && (shown.back() == ' ' || shown.back() == '\t')) {
        shown.remove_suffix(1);
    }
    std::size_t i = shown.empty() || (shown[0] != '-' && shown[0] != '+') ? 0 : 1;
    std::size_t digits = 0;
    for (; i < shown.size() && is_digit(shown[i]); ++i) {
        ++digits;
    }
    std::size_t decimals = 0;
    if (i < shown.size() && shown[i] == '.') {
        for (++i; i < shown.size() && is_digit(shown[i]); ++i) {
            ++decimals;
        }
    }
    bool exponent = false;
    if (i < shown.size() && (shown[i] == 'E' || shown[i] == 'e') && digits + decimals > 0) {
        std::size_t k = i + 1;
        if (k < shown.size() && (shown[k] == '+' || shown[k] == '-')) {
            ++k;
        }
        exponent = k < shown.size() && is_digit(shown[k]);
        for (i = exponent ? k : i; i < shown.size() && is_digit(shown[i]); ++i) {
        }
    }
    if (digits + decimals == 0 || i != shown.size()) {
        return {};
    }
    std::string format = "0";
    if (decimals > 0) {
        format += '.' + std::string(decimals, '0');
    }
    if (exponent) {
        format += "E+00";
    }
    return format;
}

struct WorkbookWriter::Library {
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;
    std::map<std::string, lxw_format*> formats; // by number format; added as first used

    lxw_format* format_for(std::string_view shown) {
        const std::string code = number_format(shown);
        if (code.empty()) {
            return nullptr;
        }
        auto [at, added] = formats.emplace(code, nullptr);
        if (added) {
            at->second = workbook_add_format(workbook);
            if (at->second == nullptr) {
                fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
            }
            format_set_num_format(at->second, at->first.c_str());
        }
        return at->second;
    }
};

WorkbookWriter::WorkbookWriter(const std::string& path, std::string_view sheet_name)
    : library_(std::make_unique<Library>()), path_(path) {
    CNumbers::check();
    const CNumbers c_numbers;
    // Rows go to a temporary file as they are written: a million rows in flat memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    errno = 0;
    library_->workbook = workbook_new_opt(path_.c_str(), &options);
    if (library_->workbook == nullptr) {
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    const std::string name(sheet_name);
    library_->sheet = workbook_add_worksheet(library_->workbook, name.c_str());
    library_->bold = workbook_add_format(library_->workbook);
    if (library_->sheet == nullptr || library_->bold == nullptr) {
        // The sheet's temporary file could not be made.
        fail(LXW_ERROR_CREATING_TMPFILE);
    }
    format_set_bold(library_->bold);
    worksheet_freeze_panes(library_->sheet, 1, 0);
}

WorkbookWriter::~WorkbookWriter() {
    if (library_->workbook != nullptr) {
        lxw_workbook_free(library_->workbook); // nothing was written to the path
    }
}

void WorkbookWriter::fit_column(std::string_view shown) {
    if (column_ > kLastColumn) {
        fail(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
    }
    if (row_ > kLastRow) {
        fail(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
    }
    if (widths_.size() <= column_) {
        widths_.resize(column_ + 1, kNarrowest);
    }
    // A bold caption takes a little more than its characters; any cell a margin of two.
    const double width = text_width(shown) * (row_ == 0 ? 1.1 : 1.0) + 2;
    widths_[column_] = std::min(kWidest, std::max(widths_[column_], width));
}

void WorkbookWriter::text(std::string_view text) {
    fit_column(text);
    if (!text.empty()) {
        const CNumbers c_numbers;
        const std::string held = cell_text(text);
        const lxw_error error = worksheet_write_string(
            library_->sheet, static_cast<lxw_row_t>(row_), static_cast<lxw_col_t>(column_),
            held.c_str(), row_ == 0 ? library_->bold : nullptr);
        if (error != LXW_NO_ERROR) {
            fail(error);
        }
    }
    ++column_;
}

void WorkbookWriter::number(double value, std::string_view shown) {
    fit_column(shown);
    const CNumbers c_numbers;
    // + 0.0: a negative zero shows as 0, as it does in the window.
    const lxw_error error = worksheet_write_number(
        library_->sheet, static_cast<lxw_row_t>(row_), static_cast<lxw_col_t>(column_),
        value + 0.0, library_->format_for(shown));
    if (error != LXW_NO_ERROR) {
        fail(error);
    }
    ++column_;
}

void WorkbookWriter::end_row() {
    ++row_;
    column_ = 0;
}

void WorkbookWriter::finish() {
    const CNumbers c_numbers;
    for (std::size_t i = 0; i < widths_.size(); ++i) {
        worksheet_set_column(library_->sheet, static_cast<lxw_col_t>(i),
                             static_cast<lxw_col_t>(i), widths_[i], nullptr);
    }
    errno = 0;
    lxw_workbook* const workbook = library_->workbook;
    library_->workbook = nullptr; // closed, written or not: freed
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        fail(error);
    }
}

} // namespace zhuheng::batch
