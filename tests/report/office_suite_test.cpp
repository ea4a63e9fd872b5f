// SPDX-License-Identifier: GPL-3.0-or-later
// The calc sheet's document as an office suite reads it: LibreOffice, started headless with a
// profile of its own, converts each exported document to text and to PDF. The text holds every
// line of the sheet and of the working, in order, with the digits the sheet prints; the PDF has
// the drawing as a picture at print resolution, and sets the text in Chinese faces only.
#include "report/document_file.h"
#include "report/pdf_file.h"
#include "report/sheet_document.h"
#include "worked_examples.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zhuheng;

namespace {

struct Run {
    bool ok = false;
    QString out;
};

// A program run to its end; LibreOffice's first start in a new profile takes some seconds.
Run run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000)) {
        ADD_FAILURE()
            << program.toStdString() << " did not start (" << p.errorString().toStdString()
            << "); scripts/install-deps.sh installs LibreOffice (libreoffice-writer-nogui)"
               " and poppler-utils";
        return r;
    }
    if (!p.waitForFinished(180000)) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return r;
    }
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(r.ok) << program.toStdString()
                      << " failed: " << QString::fromUtf8(p.readAllStandardError()).toStdString();
    return r;
}

// The lines LibreOffice's text has of the sheet: each label-value pair (a cell of the table),
// each line of the working as it prints, then the drawing's caption.
QStringList sheet_lines(const std::vector<ReportBlock>& sheet) {
    QStringList lines;
    for (const ReportBlock& block : sheet) {
        if (const auto* line = std::get_if<ReportLine>(&block)) {
            for (const std::string& group : line_groups(*line)) {
                lines << QString::fromStdString(group).trimmed();
            }
            continue;
        }
        const Working& working = std::get<Working>(block);
        for (const WorkingLine& line : working.lines) {
            lines << QString::fromStdString(line_text(line));
        }
        if (working.figure) {
            lines << QString::fromStdString(section_drawing(*working.figure).caption);
        }
    }
    return lines;
}

TEST(OfficeSuite, ReadsEveryLineAndTheDrawingInChineseFaces) {
    struct Row {
        const char* name;
        CalcState (*state)();
        bool working;
    };
    const Row rows[] = {
        {"design_second_type", [] { return zhuheng_test::designed(1300); }, true},
        {"design_at_the_minimum_ratio", zhuheng_test::designed_at_minimum_ratio, false},
        {"check_that_fails", [] { return zhuheng_test::checked(80, 3000); }, true},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList documents;
    for (const Row& row : rows) {
        documents << dir.filePath(QString::fromLatin1(row.name) + QStringLiteral(".odt"));
        write_document_file(documents.back(), calc_sheet(row.state(), true, row.working),
                            default_page_layout());
    }
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    for (const QString& format :
         {QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("pdf")}) {
        run(QStringLiteral(SOFFICE),
            QStringList{QStringLiteral("-env:UserInstallation=") + profile,
                        QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                        QStringLiteral("--outdir"), dir.path()} +
                documents);
    }

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString base = dir.filePath(QString::fromLatin1(row.name));
        QFile text(base + QStringLiteral(".txt"));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << "LibreOffice wrote no text";
        QStringList read;
        for (QString line : QString::fromUtf8(text.readAll()).split(QChar('\n'))) {
            line.remove(QChar(0xFEFF)).remove(QChar('\r'));
            if (!line.trimmed().isEmpty()) {
                read << line;
            }
        }
        EXPECT_EQ(read, sheet_lines(calc_sheet(row.state(), true, row.working)));

        const QString pdf = base + QStringLiteral(".pdf");
        const QStringList images = run(QStringLiteral(PDFIMAGES), {QStringLiteral("-list"), pdf})
                                       .out.split(QChar('\n'), Qt::SkipEmptyParts)
                                       .mid(2);
        ASSERT_EQ(images.size(), row.working ? 1 : 0) << images.join('\n').toStdString();
        if (row.working) {
            // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
            const QStringList columns = images[0].split(QChar(' '), Qt::SkipEmptyParts);
            ASSERT_GE(columns.size(), 14);
            EXPECT_GE(columns[12].toInt(), 299) << "the drawing below print resolution";
        }
        const QStringList fonts =
            run(QStringLiteral(PDFFONTS), {pdf}).out.split(QChar('\n'), Qt::SkipEmptyParts).mid(2);
        ASSERT_FALSE(fonts.isEmpty());
        for (const QString& font : fonts) {
            const QString name = font.section(QChar(' '), 0, 0);
            EXPECT_FALSE(name.contains(QRegularExpression(QStringLiteral("JP|KR|TC|HK|Japan"))))
                << "not a Simplified-Chinese face: " << name.toStdString();
            EXPECT_TRUE(name.contains(QRegularExpression(QStringLiteral("WenQuanYi|CJKsc|SC"))))
                << "not a Chinese face: " << name.toStdString();
        }
    }
}

} // namespace
