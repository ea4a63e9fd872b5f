// SPDX-License-Identifier: GPL-3.0-or-later
// What the report tests print and read back: the design of the section they print, the words a
// copy of the report is made of, and the tools that read a PDF back.
#pragma once

#include "report/print_report.h"
#include "worked_examples.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

namespace zhuheng {

using zhuheng_test::designed;

// The words of a report as printed: labels joined to their values, split at blanks.
inline QStringList printed_words(const std::vector<ReportLine>& lines) {
    QStringList words;
    for (const ReportLine& line : lines) {
        QString text;
        for (const PrintItem& item : line.items) {
            text += QString::fromStdString(item.text);
            text += item.separator == PrintSeparator::Join ? QString() : QStringLiteral(" ");
        }
        words += text.split(QChar(' '), Qt::SkipEmptyParts);
    }
    return words;
}

// A command-line tool run to its end (30 s at most); exit_code is -1 when it did not end normally.
struct ToolRun {
    int exit_code = -1;
    QString out;
    QString err;
};

inline ToolRun run_tool(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    ToolRun run;
    if (!p.waitForFinished(30000)) {
        run.err = tool + QStringLiteral(" did not finish: ") + p.errorString();
        return run;
    }
    run.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace zhuheng
