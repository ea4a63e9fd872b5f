// SPDX-License-Identifier: GPL-3.0-or-later
// The calc book as a PDF, read back with pdftotext: the summary's rows in order with the pages
// their sheets begin on, and each completed row's pages as exporting that row's sheet alone
// writes them, under the row's heading.
#include "engine/number_text.h"
#include "printed_text.h"
#include "report/calc_book.h"
#include "report/pdf_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zhuheng;

namespace {

TEST(CalcBookPdf, Explore) {
    std::vector<BookEntry> entries;
    entries.push_back({"B-1", 0, CalcMode::Design, "12.5", "", zhuheng_test::designed(1300)});
    entries.push_back({"B-2", 0, CalcMode::Design, "", "请重新拟定构件的尺寸！", std::nullopt});
    entries.push_back({"", 7, CalcMode::Check, "1234", "未通过", zhuheng_test::checked(80, 3000)});
    write_calc_book_pdf("/tmp/book/book.pdf", default_page_layout(), entries, true);
    write_pdf_file("/tmp/book/one.pdf", default_page_layout(), kPdfResolution, calc_sheet(*entries[0].state, true, true));
    write_calc_book_document("/tmp/book/book.odt", default_page_layout(), entries, true);
}

} // namespace
