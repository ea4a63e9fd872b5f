// SPDX-License-Identifier: GPL-3.0-or-later
// The calc sheet's document as an office suite reads it: LibreOffice, started headless with a
// profile of its own, converts each exported document to text and to PDF. The text holds every
// line of the sheet and of the working, in order, with the digits the sheet prints; the PDF has
// the drawing as a picture at print resolution, and sets the text in Chinese faces only. A calc
// book's document reads as its summary table and then every completed row's sheet under its
// heading, in order.
#include "report/calc_book.h"
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

// The lines of the text LibreOffice wrote, the empty ones aside.
QStringList text_lines(const QString& file) {
    QFile text(file);
    EXPECT_TRUE(text.open(QIODevice::ReadOnly)) << "LibreOffice wrote no text";
    QStringList read;
    for (QString line : QString::fromUtf8(text.readAll()).split(QChar('\n'))) {
        line.remove(QChar(0xFEFF)).remove(QChar('\r'));
        if (!line.trimmed().isEmpty()) {
            read << line;
        }
    }
    return read;
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
    const std::vector<BookEntry> book{
        {"B-1", 2, CalcMode::Design, "72.345", "", zhuheng_test::designed(1300)},
        {"B-2", 3, CalcMode::Design, "", "请重新拟定构件的尺寸！", std::nullopt},
        {"", 7, CalcMode::Check, "2442.056", "未通过", zhuheng_test::checked(80, 3000)}};
    documents << dir.filePath(QStringLiteral("book.odt"));
    write_calc_book_document(documents.back(), default_page_layout(), book, true);
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    for (const QString& format :
         {QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("pdf")}) {
        run(QStringLiteral(SOFFICE),
            QStringList{QStringLiteral("-env:UserInstallation=") + profile,
                        QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                        QStringLiteral("--outdir"), dir.path()} +
                documents);
    }

    // The book: the summary's lines and cells (the empty ones aside), then each sheet.
    QStringList book_lines{QStringLiteral("筑衡计算书"), QStringLiteral("共 3 行，完成计算 2 行。"),
                           "编号", "计算类型", "主要结果", "结果或提示",
                           "B-1", "配筋计算", "受拉钢筋面积（cm2）=72.345",
                           "B-2", "配筋计算", "请重新拟定构件的尺寸！",
                           "第 7 行", "强度复核", "最大弯矩（KN.m）=2442.056", "未通过",
                           "编号：B-1"};
    book_lines << sheet_lines(calc_sheet(*book[0].state, true, true)) << "编号：第 7 行"
               << sheet_lines(calc_sheet(*book[2].state, true, true));
    EXPECT_EQ(text_lines(dir.filePath(QStringLiteral("book.txt"))), book_lines);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString base = dir.filePath(QString::fromLatin1(row.name));
        EXPECT_EQ(text_lines(base + QStringLiteral(".txt")),
                  sheet_lines(calc_sheet(row.state(), true, row.working)));

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
