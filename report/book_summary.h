// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/calc_book.h"

#include <QString>

#include <vector>

class QTextDocument;

// The names a book gives a row: its 编号, or where the table has none, its line ("第 12 行").
QString book_row_name(const BookEntry& entry);

// The book's summary appended at the end of `document`: the title, how many rows there are and
// how many completed, then the table of every row in order (编号, 计算类型, 主要结果, 结果或提示,
// and where `first_pages` is given, 页码: the page each completed row's sheet begins on, counted
// from 1; 0 for none), `width` wide in the document's units, its header row repeated on every
// page.
void append_book_summary(QTextDocument& document, const std::vector<BookEntry>& entries,
                         const std::vector<int>* first_pages, double width);
