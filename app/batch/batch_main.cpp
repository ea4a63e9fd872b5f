// SPDX-License-Identifier: GPL-3.0-or-later
// zhuheng-batch: runs a table of beams from the command line, as the window's 批量计算 does.
#include "app/batch/batch_summary_text.h"
#include "app/batch/command_line.h"
#include "app/batch/console_text.h"
#include "batch/batch_files.h"
#include "report/report_printer.h"
#include "ui/program_setup.h"

#include <QApplication>
#include <QDir>

#include <csignal>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Exit statuses beyond run_status's 0 and 1.
constexpr int kUsageOrTable = 2;
constexpr int kNotWritten = 3;
constexpr int kInterrupted = 130; // as a shell reports a program ended by Ctrl+C

// Set by Ctrl+C or a termination request: the run stops at the next row and writes nothing, so
// that no temporary file stays beside the results.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void on_interrupt(int) {
    interrupted = 1;
}

// The share of the table read, on one line of the terminal that each step overwrites.
class ProgressLine {
public:
    explicit ProgressLine(bool shown) : shown_(shown) {}
    ~ProgressLine() {
        if (percent_ >= 0) {
            write_console(ConsoleStream::Errors, QStringLiteral("\r%1\r").arg(QString(24, u' ')));
        }
    }
    bool operator()(std::uint64_t read, std::uint64_t total) {
        if (shown_ && total > 0) {
            const int percent = static_cast<int>(read * 100 / total);
            if (percent != percent_) {
                percent_ = percent;
                write_console(ConsoleStream::Errors, QStringLiteral("\r正在计算：%1%").arg(percent));
            }
        }
        return interrupted == 0;
    }

private:
    bool shown_;
    int percent_ = -1;
};

void tell(ConsoleStream stream, const QString& text) {
    write_console(stream, text + QLatin1Char('\n'));
}

int usage_failure(const QString& reason) {
    tell(ConsoleStream::Errors, QStringLiteral("zhuheng-batch：%1").arg(reason));
    tell(ConsoleStream::Errors, QStringLiteral("用“zhuheng-batch --help”查看用法。"));
    return kUsageOrTable;
}

int run(const BatchCommand& command) {
    zhuheng::batch::BatchFiles files;
    files.table = command.table;
    files.results = command.results.isEmpty() ? zhuheng::batch::results_path_for(command.table)
                                              : command.results;
    if (command.pdf) {
        files.book_pdf = zhuheng::batch::book_path_for(command.table, QStringLiteral("pdf"));
    }
    if (command.odt) {
        files.book_document = zhuheng::batch::book_path_for(command.table, QStringLiteral("odt"));
    }
    files.with_working = command.working;
    // Ctrl+C stays ignored where the shell that started the program in the background ignores it.
    if (std::signal(SIGINT, on_interrupt) == SIG_IGN) {
        std::signal(SIGINT, SIG_IGN);
    }
    std::signal(SIGTERM, on_interrupt);
    zhuheng::batch::BatchSummary summary;
    try {
        ProgressLine progress(is_terminal(ConsoleStream::Errors));
        summary = zhuheng::batch::run_batch_files(
            files, [&progress](std::uint64_t read, std::uint64_t total) {
                return progress(read, total);
            });
    } catch (const zhuheng::batch::TableError& error) {
        tell(ConsoleStream::Errors, QString::fromStdString(error.what()));
        return kUsageOrTable;
    } catch (const zhuheng::PrintError& error) {
        tell(ConsoleStream::Errors, QString::fromStdString(error.what()));
        return kNotWritten;
    }
    if (summary.cancelled) {
        tell(ConsoleStream::Errors, QStringLiteral("已中断：没有写入任何文件"));
        return kInterrupted;
    }
    for (const QString& written : {files.results, files.book_pdf, files.book_document}) {
        if (!written.isEmpty()) {
            tell(ConsoleStream::Output,
                 QStringLiteral("已写入“%1”").arg(QDir::toNativeSeparators(written)));
        }
    }
    write_console(ConsoleStream::Output, summary_line(summary));
    return run_status(summary);
}

} // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // As the window does (app/main.cpp): the installer asks to end the program before it
    // replaces its files.
    CreateMutexW(nullptr, FALSE, L"Global\\Zhuheng.Running");
#endif
    // A calc book's pages are painted with the program's face, which needs a GUI application:
    // offscreen, so that the program runs without a display (over ssh, in a scheduled task).
    std::unique_ptr<QCoreApplication> app;
    if (asks_for_book(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto painting = std::make_unique<QApplication>(argc, argv);
        setup_program(*painting);
        app = std::move(painting);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const CommandLine command = read_command_line(QCoreApplication::arguments());
    if (const auto* batch = std::get_if<BatchCommand>(&command)) {
        return run(*batch);
    }
    if (std::holds_alternative<HelpRequest>(command)) {
        write_console(ConsoleStream::Output, help_text());
        return 0;
    }
    if (std::holds_alternative<VersionRequest>(command)) {
        tell(ConsoleStream::Output, QStringLiteral("zhuheng-batch " ZHUHENG_VERSION));
        return 0;
    }
    return usage_failure(std::get<UsageError>(command).reason);
}
