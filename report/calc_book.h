// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"

#include <QPageLayout>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A calc book: the calc sheets of many runs bound as one PDF or one OpenDocument text. A summary
// table comes first (编号, 计算类型, the main result, 结果 or 提示, the page where the row's sheet
// begins); then each completed run's sheet, headed by its 编号 and starting on a new page, set as
// printing that run in the window sets it (the same pages, with the working and the drawing
// where asked).
struct BookEntry {
    std::string label;        // 编号, as the table gives it (UTF-8)
    std::size_t line = 0;     // the row's first line in the table: names a row without a 编号
    zhuheng::CalcMode mode = zhuheng::CalcMode::None;
    std::string main_result;  // the design's 受拉钢筋面积 or the check's 最大弯矩, as the box shows it
    std::string outcome;      // the check's 结果, or 提示 where the row did not complete
    std::optional<zhuheng::CalcState> state; // a completed run: its sheet is in the book
};

// Each writes the whole book or nothing (save_whole), on the paper of `layout`, titled and
// signed as a single sheet's file; throws zhuheng::PrintError with the reason when it cannot.
// Every page of the PDF carries in its top margin what it belongs to (汇总, or the row's 编号)
// and its number of all. The document leaves the page column out: a word processor breaks its
// pages where it will.
void write_calc_book_pdf(const QString& path, const QPageLayout& layout,
                         const std::vector<BookEntry>& entries, bool with_working);
void write_calc_book_document(const QString& path, const QPageLayout& layout,
                              const std::vector<BookEntry>& entries, bool with_working);
