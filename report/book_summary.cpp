// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/book_summary.h"

#include "engine/shown_results.h"

#include "report/pdf_file.h"
#include "report/sheet_document.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <array>

using zhuheng::CalcMode;

namespace {

// The columns, with the share of the width each takes.
struct Column {
    const char* name;
    double share;
};
constexpr std::array<Column, 5> kColumns = {{{"编号", 0.14},
                                             {"计算类型", 0.11},
                                             {"主要结果", 0.33},
                                             {"结果或提示", 0.32},
                                             {"页码", 0.10}}};

// The main result with the label the sheet prints it under.
QString main_result(const BookEntry& entry) {
    if (entry.main_result.empty()) {
        return {};
    }
    const QString value = QString::fromStdString(entry.main_result);
    switch (entry.mode) {
    case CalcMode::Design:
        return QStringLiteral("受拉钢筋面积（cm2）=") + value;
    case CalcMode::Check:
        return QStringLiteral("最大弯矩（KN.m）=") + value;
    case CalcMode::None:
        break;
    }
    return value;
}

} // namespace

QString book_row_name(const BookEntry& entry) {
    if (!entry.label.empty() || entry.line == 0) {
        return QString::fromStdString(entry.label);
    }
    return QStringLiteral("第 %1 行").arg(entry.line);
}

void append_book_summary(QTextDocument& document, const std::vector<BookEntry>& entries,
                         const std::vector<int>* first_pages, double width) {
    const QTextCharFormat text = sheet_text_format();
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(kDocumentTitle, text);
    const auto completed = std::count_if(entries.begin(), entries.end(),
                                         [](const BookEntry& e) { return e.state.has_value(); });
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(
        QStringLiteral("共 %1 行，完成计算 %2 行。").arg(entries.size()).arg(completed), text);

    const int columns = first_pages ? static_cast<int>(kColumns.size())
                                    : static_cast<int>(kColumns.size()) - 1;
    double shares = 0;
    for (int c = 0; c < columns; ++c) {
        shares += kColumns[c].share;
    }
    QTextTableFormat format;
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorder(width / 1000);
    format.setCellSpacing(0);
    format.setCellPadding(width / 200);
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::FixedLength, width));
    QList<QTextLength> widths;
    for (int c = 0; c < columns; ++c) {
        widths << QTextLength(QTextLength::FixedLength, width * kColumns[c].share / shares);
    }
    format.setColumnWidthConstraints(widths);
    QTextTable* table =
        cursor.insertTable(static_cast<int>(entries.size()) + 1, columns, format);
    const auto cell = [&](int row, int column, const QString& content) {
        table->cellAt(row, column).firstCursorPosition().insertText(content, text);
    };
    for (int c = 0; c < columns; ++c) {
        cell(0, c, QString::fromUtf8(kColumns[c].name));
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const BookEntry& e = entries[i];
        const int row = static_cast<int>(i) + 1;
        cell(row, 0, book_row_name(e));
        const std::string_view mode = zhuheng::mode_name(e.mode);
        cell(row, 1, QString::fromUtf8(mode.data(), static_cast<qsizetype>(mode.size())));
        cell(row, 2, main_result(e));
        cell(row, 3, QString::fromStdString(e.outcome));
        if (first_pages && (*first_pages)[i] > 0) {
            cell(row, 4, QString::number((*first_pages)[i]));
        }
    }
}
