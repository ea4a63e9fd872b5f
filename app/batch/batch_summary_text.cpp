// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch/batch_summary_text.h"

#include <QStringList>

#include <algorithm>

namespace {

// The lines of a table of a million rows would drown the summary: the first few stand for all.
constexpr std::size_t kLinesNamed = 10;

QString lines_text(const std::vector<std::size_t>& lines) {
    QStringList named;
    const std::size_t shown = std::min(lines.size(), kLinesNamed);
    for (std::size_t i = 0; i < shown; ++i) {
        named << QString::number(lines[i]);
    }
    return QStringLiteral("（第 %1 行%2）")
        .arg(named.join(QStringLiteral("、")),
             lines.size() > shown ? QStringLiteral("等") : QString());
}

QString count_with_lines(const QString& what, const std::vector<std::size_t>& lines) {
    QString text = QStringLiteral("%1 %2 行").arg(what).arg(lines.size());
    if (!lines.empty()) {
        text += lines_text(lines);
    }
    return text;
}

} // namespace

QString summary_line(const zhuheng::batch::BatchSummary& summary) {
    return QStringLiteral("共 %1 行：完成 %2 行，需重新拟定尺寸 %3 行，计算出错 %4 行，%5，%6\n")
        .arg(summary.rows)
        .arg(summary.completed)
        .arg(summary.redimensioned)
        .arg(summary.faults)
        .arg(count_with_lines(QStringLiteral("单元格有误"), summary.error_lines),
             count_with_lines(QStringLiteral("核对不一致"), summary.mismatch_lines));
}

int run_status(const zhuheng::batch::BatchSummary& summary) {
    return summary.error_lines.empty() && summary.mismatch_lines.empty() ? 0 : 1;
}
