// SPDX-License-Identifier: GPL-3.0-or-later
// What the report tests print and read back: the design of the section they print, the words a
// copy of the report is made of, and the tools that read a PDF back.
#pragma once

#include "report/print_report.h"
#include "worked_examples.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
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

// Under wine a Windows program cannot start the host's tools: where ZHUHENG_HOST_TOOLS names a
// spool folder, tests/support/host_tools.sh runs them on the host and answers there.
inline ToolRun run_tool_on_host(const QString& spool, const QString& tool,
                                const QStringList& args) {
    static int requests = 0;
    const QString id = QDir(spool).filePath(
        QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(++requests));
    ToolRun run;
    {
        QFile request(id + QStringLiteral(".tmp"));
        if (!request.open(QIODevice::WriteOnly) ||
            request.write((QStringList{tool} + args).join(QChar('\n')).toUtf8() + '\n') < 0) {
            run.err = QStringLiteral("cannot write the request for ") + tool;
            return run;
        }
    }
    // Put in place whole, so that the host never reads half a request.
    if (!QFile::rename(id + QStringLiteral(".tmp"), id + QStringLiteral(".req"))) {
        run.err = QStringLiteral("cannot put the request for ") + tool;
        return run;
    }
    QFile done(id + QStringLiteral(".done"));
    QElapsedTimer waited;
    waited.start();
    while (!done.exists()) {
        if (waited.elapsed() > 30000) {
            run.err = tool + QStringLiteral(" did not finish on the host");
            return run;
        }
        QThread::msleep(10);
    }
    const auto read = [&](const char* suffix) {
        QFile f(id + QLatin1String(suffix));
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        f.remove();
        return QString::fromUtf8(bytes);
    };
    run.out = read(".out");
    run.err = read(".err");
    run.exit_code = read(".done").trimmed().toInt();
    return run;
}

inline ToolRun run_tool(const QString& tool, const QStringList& args) {
    if (const QString spool = qEnvironmentVariable("ZHUHENG_HOST_TOOLS"); !spool.isEmpty()) {
        return run_tool_on_host(spool, tool, args);
    }
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
