// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/batch_command.h"

#include "batch/workbook_files.h"
#include "report/report_printer.h"
#include "report/saved_file.h"
#include "ui/batch_dialogs.h"
#include "ui/message_boxes.h"
#include "ui/save_dialog.h"

#include <QFileInfo>
#include <QIODevice>
#include <QProgressDialog>

using namespace zhuheng;
using namespace zhuheng::batch;

namespace {

// A summary names at most this many lines of a kind; the results table names them all.
constexpr std::size_t kLinesNamed = 10;

QString lines_text(const std::vector<std::size_t>& lines) {
    QStringList named;
    for (std::size_t i = 0; i < lines.size() && i < kLinesNamed; ++i) {
        named << QString::number(lines[i]);
    }
    return QStringLiteral("第 %1 行%2")
        .arg(named.join(QStringLiteral("、")),
             lines.size() > kLinesNamed ? QStringLiteral("等") : QString());
}

QString file_name(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

QString batch_summary_text(const BatchSummary& s, const QStringList& written) {
    QStringList out;
    out << QStringLiteral("批量计算完成：共 %1 行。").arg(s.rows);
    out << QStringLiteral("算得结果 %1 行，需重新拟定尺寸 %2 行，计算出错 %3 行。")
               .arg(s.completed)
               .arg(s.redimensioned)
               .arg(s.faults);
    if (!s.error_lines.empty()) {
        out << QStringLiteral("数据有误未计算 %1 行：%2。")
                   .arg(s.error_lines.size())
                   .arg(lines_text(s.error_lines));
    }
    if (!s.mismatch_lines.empty()) {
        out << QStringLiteral("与表中结果不一致 %1 行：%2。")
                   .arg(s.mismatch_lines.size())
                   .arg(lines_text(s.mismatch_lines));
    }
    QStringList names;
    for (const QString& path : written) {
        names << QStringLiteral("“%1”").arg(path);
    }
    out << QStringLiteral("已写入%1。").arg(names.join(QStringLiteral("、")));
    return out.join(QLatin1Char('\n'));
}

BatchCommand::BatchCommand(QWidget& window, MessageBoxes& messages, SaveDialog& save_dialog,
                           BatchDialogs& dialogs)
    : window_(window), messages_(messages), save_dialog_(save_dialog), dialogs_(dialogs) {
    // Both come from the worker: queued to this object's thread, the window's.
    connect(this, &BatchCommand::progressed, this, &BatchCommand::show_progress,
            Qt::QueuedConnection);
    connect(this, &BatchCommand::returned, this, &BatchCommand::finish, Qt::QueuedConnection);
}

BatchCommand::~BatchCommand() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void BatchCommand::run_table() {
    if (running_) {
        return;
    }
    const std::optional<QString> table = dialogs_.ask_table();
    if (!table) {
        return;
    }
    const std::optional<BatchChoices> choices = dialogs_.ask_choices(*table);
    if (!choices) {
        return;
    }
    BatchFiles files;
    files.table = *table;
    files.results = results_path_for(*table);
    files.book_pdf = choices->book_pdf ? book_path_for(*table, QStringLiteral("pdf")) : QString();
    files.book_document =
        choices->book_document ? book_path_for(*table, QStringLiteral("odt")) : QString();
    files.with_working = choices->with_working;

    QStringList written;
    QStringList existing;
    for (const QString& path : {files.results, files.book_pdf, files.book_document}) {
        if (path.isEmpty()) {
            continue;
        }
        written << file_name(path);
        if (QFileInfo::exists(path)) {
            existing << QStringLiteral("“%1”").arg(file_name(path));
        }
    }
    if (!existing.empty() &&
        !messages_.ask_question(QStringLiteral("%1已存在。要替换吗？")
                                    .arg(existing.join(QStringLiteral("、"))))) {
        return;
    }
    written_ = written;
    results_ = files.results;
    start(files);
}

void BatchCommand::start(const BatchFiles& files) {
    running_ = true;
    cancel_ = false;
    summary_.reset();
    failure_.clear();
    // Shown only when the run lasts: a short table ends before it would appear.
    progress_ = new QProgressDialog(
        QStringLiteral("正在计算“%1”的各行…").arg(file_name(files.table)), QStringLiteral("取消"),
        0, 1000, &window_);
    progress_->setWindowTitle(QStringLiteral("批量计算"));
    // Not modal: the window stays in use meanwhile, and a modal dialog's setValue would run the
    // event loop inside the progress shown, where the run's end could delete the dialog.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(200);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, this, [this] {
        cancel_ = true;
        progress_->setLabelText(QStringLiteral("正在取消…"));
    });

    worker_ = std::thread([this, files] {
        int shown = -1; // the thousandths last sent, so that the window is not flooded
        try {
            summary_ = run_batch_files(files, [&](std::uint64_t read, std::uint64_t total) {
                const int now = total ? static_cast<int>(read * 1000 / total) : 0;
                if (now != shown) {
                    shown = now;
                    emit progressed(read, total);
                }
                return !cancel_;
            });
        } catch (const TableError& e) {
            failure_ = QString::fromUtf8(e.what());
        } catch (const PrintError& e) {
            failure_ = QString::fromUtf8(e.what());
        } catch (const std::exception& e) {
            // Anything else the run meets (memory) is said as well: the thread must not end
            // the program.
            failure_ = QString::fromUtf8(e.what());
        }
        emit returned();
    });
}

void BatchCommand::show_progress(quint64 read, quint64 total) {
    if (progress_ && !progress_->wasCanceled() && total > 0) {
        progress_->setValue(static_cast<int>(read * 1000 / total));
    }
}

void BatchCommand::finish() {
    worker_.join();
    delete progress_;
    progress_ = nullptr;
    if (!summary_) {
        messages_.show_message(MessageIcon::Warning, QStringLiteral("批量计算失败：") + failure_);
    } else if (summary_->cancelled) {
        messages_.show_message(MessageIcon::Information,
                               QStringLiteral("批量计算已取消，没有写入任何文件。"));
    } else {
        const bool clean = summary_->error_lines.empty() && summary_->mismatch_lines.empty();
        messages_.show_written(clean ? MessageIcon::Information : MessageIcon::Warning,
                               batch_summary_text(*summary_, written_), results_);
    }
    running_ = false;
}

void BatchCommand::save_template(const TemplateRow& row) {
    const std::optional<QString> path = save_dialog_.ask_path(SavedForm::Csv);
    if (!path) {
        return;
    }
    try {
        if (is_workbook_name(*path)) {
            save_template_workbook(row, *path);
            return;
        }
        const std::string table = template_table(row);
        save_whole(*path, QStringLiteral("无法写入模板“%1”：%2"), [&](QIODevice& file) {
            return file.write(table.data(), static_cast<qint64>(table.size())) ==
                   static_cast<qint64>(table.size());
        });
    } catch (const PrintError& e) {
        messages_.show_message(MessageIcon::Warning,
                               QStringLiteral("保存失败：") + QString::fromUtf8(e.what()));
    }
}
