// SPDX-License-Identifier: GPL-3.0-or-later
// Printing through a real CUPS queue: the program's dialog and printer on one QPrinter, as the
// window has them, against the server cups_queue.sh starts; what the queue wrote is read back
// with poppler's tools and the job as CUPS recorded it with ipptool.
#include "report/qt_printing.h"

#include "printed_text.h"
#include "report/print_report.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>

using namespace zhuheng;

namespace {

constexpr char kQueue[] = "zhuheng";

QString env(const char* name) {
    const QString value = qEnvironmentVariable(name);
    EXPECT_FALSE(value.isEmpty()) << name << " is not set: run the test through cups_queue.sh";
    return value;
}

// The two IPP requests the test makes, as ipptool test files: every job of the queue, and the
// title of one ($job). Get-Jobs answers a finished job that cupsd has unloaded with an empty
// job-name, so the title is asked of the job itself.
constexpr char kGetJobs[] = R"({
 OPERATION Get-Jobs
 GROUP operation-attributes-tag
 ATTR charset attributes-charset utf-8
 ATTR naturalLanguage attributes-natural-language en
 ATTR uri printer-uri $uri
 ATTR keyword which-jobs all
 ATTR keyword requested-attributes job-id,job-state
 STATUS successful-ok
 DISPLAY job-id
 DISPLAY job-state
}
)";
constexpr char kGetJobName[] = R"({
 OPERATION Get-Job-Attributes
 GROUP operation-attributes-tag
 ATTR charset attributes-charset utf-8
 ATTR naturalLanguage attributes-natural-language en
 ATTR uri printer-uri $uri
 ATTR integer job-id $job
 ATTR keyword requested-attributes job-name
 STATUS successful-ok
 DISPLAY job-name
}
)";

// The rows ipptool displays for a request to the queue, over the server's socket.
QStringList ipp(const QString& test, const QStringList& defines = {}) {
    QString host = env("CUPS_SERVER");
    host.replace(QChar('/'), QStringLiteral("%2F"));
    QStringList args{QStringLiteral("-c")};
    for (const QString& d : defines) {
        args << QStringLiteral("-d") << d;
    }
    args << QStringLiteral("ipp://%1/printers/%2").arg(host, kQueue) << test;
    const ToolRun run = run_tool(QStringLiteral(IPPTOOL), args);
    EXPECT_EQ(run.exit_code, 0) << run.out.toStdString() << run.err.toStdString();
    return run.out.split(QChar('\n'), Qt::SkipEmptyParts).mid(1); // below the heading
}

struct Job {
    int id = 0;
    QString state;
};

// Every job the server knows, oldest first.
std::vector<Job> jobs(const QString& get_jobs) {
    std::vector<Job> found;
    for (const QString& row : ipp(get_jobs)) {
        const QStringList cells = row.split(QChar(','));
        if (cells.size() == 2) {
            found.push_back({cells[0].toInt(), cells[1]});
        }
    }
    return found;
}

// The title CUPS recorded for a job.
QString job_name(const QString& get_job_name, int id) {
    const QStringList rows = ipp(get_job_name, {QStringLiteral("job=%1").arg(id)});
    return rows.size() == 1 ? rows[0] : QStringLiteral("(no single answer)");
}

// The options cupsd handed the job's filters, from its debug log.
QString job_options(int id) {
    QFile log(env("ZHUHENG_CUPS_LOG"));
    if (!log.open(QIODevice::ReadOnly)) {
        return QStringLiteral("(no log)");
    }
    const QString marker = QStringLiteral("[Job %1] argv[5]=").arg(id);
    for (const QString& line : QString::fromUtf8(log.readAll()).split(QChar('\n'))) {
        if (line.contains(marker)) {
            return line.mid(line.indexOf(marker) + marker.size());
        }
    }
    return QStringLiteral("(not logged)");
}

// What the user chooses in the dialog besides the queue.
struct Choice {
    const char* name;
    int copies;
    bool collate;
    int from, to;      // the "Pages from" spin boxes; 0 leaves "Print all"
    int page_set;      // 0 all pages, 1 odd, 2 even
    const char* pages; // the "Pages" field, or nullptr
    // Qt 6.4 takes the "Pages" field only from a printer that already holds a page range (it
    // checks the printer's range before it sets it), so such a printer is handed in then.
    bool printer_holds_a_range;
};

template <class W> W* widget(QPrintDialog* d, const char* name) {
    W* w = d->findChild<W*>(QString::fromLatin1(name));
    EXPECT_TRUE(w) << "the printer dialog has no " << name;
    return w;
}

// Answers the dialog as a user would: the options pane opened, the queue picked, the choice
// made in the dialog's own widgets, then Print.
void answer_dialog(const Choice& c, bool& answered) {
    QTimer::singleShot(100, [c, &answered] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* d = qobject_cast<QPrintDialog*>(modal);
        auto* box = d ? d->findChild<QDialogButtonBox*>() : nullptr;
        if (!box) {
            ADD_FAILURE() << "no printer dialog with buttons is showing";
            if (modal) {
                modal->close(); // rather than wait for ever
            }
            return;
        }
        answered = true;
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QDialogButtonBox::ResetRole) {
                b->click(); // Options >>
            }
        }
        auto* printers = widget<QComboBox>(d, "printers");
        auto* copies = widget<QSpinBox>(d, "copies");
        auto* collate = widget<QCheckBox>(d, "collate");
        auto* page_set = widget<QComboBox>(d, "pageSetCombo");
        if (!printers || !copies || !collate || !page_set) {
            d->reject();
            return;
        }
        const int queue = printers->findText(QString::fromLatin1(kQueue));
        EXPECT_GE(queue, 0) << "the queue is not offered";
        printers->setCurrentIndex(queue);
        copies->setValue(c.copies);
        collate->setChecked(c.collate);
        if (c.pages) {
            auto* radio = widget<QRadioButton>(d, "pagesRadioButton");
            auto* field = widget<QLineEdit>(d, "pagesLineEdit");
            if (radio && field) {
                radio->click();
                QTest::keyClicks(field, QString::fromLatin1(c.pages));
            }
        }
        if (c.from) {
            auto* radio = widget<QRadioButton>(d, "printRange");
            auto* from = widget<QSpinBox>(d, "from");
            auto* to = widget<QSpinBox>(d, "to");
            if (radio && from && to) {
                radio->click();
                from->setValue(c.from);
                to->setValue(c.to);
            }
        }
        EXPECT_TRUE(page_set->isEnabled()) << "the page-set choice is switched off";
        page_set->setCurrentIndex(c.page_set);
        // A message box the dialog raises on Print would wait for an answer for ever.
        QTimer::singleShot(2000, [] {
            if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "the dialog refused the choice: " << m->text().toStdString();
                m->reject();
            }
        });
        box->button(QDialogButtonBox::Ok)->click();
        if (d->isVisible()) {
            ADD_FAILURE() << "the dialog did not take the choice";
            d->reject();
        }
    });
}

// Waits until the server holds `count` jobs and the newest is done.
Job wait_for_job(const QString& get_jobs, std::size_t count) {
    QDeadlineTimer deadline(20000);
    std::vector<Job> all;
    while (!deadline.hasExpired()) {
        all = jobs(get_jobs);
        if (all.size() >= count && (all.back().state == QLatin1String("completed") ||
                                    all.back().state == QLatin1String("aborted") ||
                                    all.back().state == QLatin1String("canceled"))) {
            break;
        }
        QThread::msleep(100);
    }
    EXPECT_EQ(all.size(), count) << "jobs on the server";
    return all.empty() ? Job{} : all.back();
}

// The page count pdfinfo gave.
int pages_of(const ToolRun& pdfinfo) {
    return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
        .match(pdfinfo.out)
        .captured(1)
        .toInt();
}

// The report painted by the same printer into a PDF file on the same page layout: the pages a
// queue that prints every page writes.
int reference_pages(const QPrinter& queue_printer, const std::vector<ReportLine>& copy, int copies,
                    const QString& pdf) {
    QPrinter file(QPrinter::HighResolution);
    file.setOutputFormat(QPrinter::PdfFormat);
    file.setOutputFileName(pdf);
    file.setPageLayout(queue_printer.pageLayout());
    PrinterSource source(file);
    QtReportPrinter printer(source);
    for (int c = 0; c < copies; ++c) {
        for (const ReportLine& l : copy) {
            printer.print_line(l);
        }
    }
    printer.end_document();
    const ToolRun info = run_tool(QStringLiteral(PDFINFO), {pdf});
    EXPECT_EQ(info.exit_code, 0) << info.err.toStdString();
    return pages_of(info);
}

// A report that runs over pages, printed with a page range, a page set or both chosen, and with
// only a copy count: the queue must write every page of every copy once, whatever was chosen for
// pages in the dialog, collated or not, and name the job. One QPrinter serves every print, as in
// the program's window, so a choice left from one print must not cut the next one either.
TEST(CupsQueue, EveryPageOfEveryCopyComesOutOnceWhateverPagesWereChosen) {
    const QString out = env("ZHUHENG_CUPS_OUT");
    ASSERT_FALSE(out.isEmpty() || env("CUPS_SERVER").isEmpty() ||
                 env("ZHUHENG_CUPS_LOG").isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString get_jobs = dir.filePath(QStringLiteral("get-jobs.test"));
    const QString get_job_name = dir.filePath(QStringLiteral("get-job-name.test"));
    for (const auto& [path, text] : {std::pair{get_jobs, kGetJobs}, {get_job_name, kGetJobName}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text) > 0) << path.toStdString();
    }
    ASSERT_TRUE(jobs(get_jobs).empty()) << "the scratch server is not fresh";

    const Choice choices[] = {
        {"PagesFrom2To3OddCollated", 40, true, 2, 3, 1, nullptr, false},
        {"TwoCopiesOnly", 2, true, 0, 0, 0, nullptr, false},
        {"EvenPagesUncollated", 40, false, 0, 0, 2, nullptr, false},
        {"PagesField2To3", 40, true, 0, 0, 0, "2-3", true},
    };
    const CalcState state = designed();
    const std::vector<ReportLine> copy = report_copy(state);
    PrinterSource source;
    QtPrinterDialog dialog(source);
    QtReportPrinter printer(source);
    std::size_t count = 0;
    for (const Choice& c : choices) {
        SCOPED_TRACE(c.name);
        QFile::remove(out);
        if (c.printer_holds_a_range) {
            source.printer().setPrintRange(QPrinter::PageRange);
            source.printer().setFromTo(1, 1);
        }
        bool answered = false;
        answer_dialog(c, answered);
        const PrintOutcome outcome = print_report(state, true, dialog, printer);
        ASSERT_TRUE(answered);
        ASSERT_EQ(outcome.kind, PrintOutcome::Kind::Printed) << outcome.reason;
        EXPECT_EQ(dialog.copies(), c.copies);
        ASSERT_EQ(source.printer().outputFormat(), QPrinter::NativeFormat) << "not the queue";
        const Job job = wait_for_job(get_jobs, ++count);
        const std::string options = job_options(job.id).toStdString();
        EXPECT_EQ(job.state, QStringLiteral("completed")) << options;
        const QString title = job_name(get_job_name, job.id);
        EXPECT_EQ(title, QStringLiteral("筑衡计算书")) << "the job's title";

        const int pages = reference_pages(source.printer(), copy, c.copies,
                                          dir.filePath(QStringLiteral("%1.pdf").arg(c.name)));
        if (c.copies == 40) {
            EXPECT_GE(pages, 3) << "the report should run over three pages";
        }
        const ToolRun info = run_tool(QStringLiteral(PDFINFO), {out});
        ASSERT_EQ(info.exit_code, 0) << "the queue wrote no PDF: " << info.err.toStdString();
        const int written = pages_of(info);
        EXPECT_EQ(written, pages) << options;

        const ToolRun text =
            run_tool(QStringLiteral(PDFTOTEXT), {QStringLiteral("-layout"), out, "-"});
        ASSERT_EQ(text.exit_code, 0) << text.err.toStdString();
        EXPECT_EQ(text.out.count(QStringLiteral("筑衡程序")), c.copies) << options;
        QStringList expected;
        for (int i = 0; i < c.copies; ++i) {
            expected += printed_words(copy);
        }
        const QStringList read =
            text.out.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        const auto [at, want] =
            std::mismatch(read.begin(), read.end(), expected.begin(), expected.end());
        EXPECT_TRUE(at == read.end() && want == expected.end())
            << "the text read back differs at word " << (at - read.begin()) << ": "
            << (at == read.end() ? "(end)" : at->toStdString()) << " for "
            << (want == expected.end() ? "(end)" : want->toStdString()) << "; " << read.size()
            << " words for " << expected.size() << "; options: " << options;
        std::cout << c.name << ": " << written << " of " << pages << " pages, "
                  << text.out.count(QStringLiteral("筑衡程序")) << " titles, job "
                  << title.toStdString() << ", options " << options << "\n";
    }
}

} // namespace
