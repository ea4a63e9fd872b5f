// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_files.h"
#include "batch/batch_run.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <thread>

class BatchDialogs;
class MessageBoxes;
class QProgressDialog;
class QWidget;
class SaveDialog;

// The summary a finished batch shows: the rows computed, refused and faulted, the lines of the
// rows in error and of those whose given results differ, and the files written (by name).
QString batch_summary_text(const zhuheng::batch::BatchSummary& summary, const QStringList& written);

// 计  算's menu: 批量计算 runs a table of sections into a results table beside it, on a thread of its
// own while the window shows the progress; 保存批量模板 writes a table to start from. Neither reads
// or changes the window's calculation state.
class BatchCommand : public QObject {
    Q_OBJECT

public:
    BatchCommand(QWidget& window, MessageBoxes& messages, SaveDialog& save_dialog,
                 BatchDialogs& dialogs);
    // A batch still running is cancelled: it writes nothing.
    ~BatchCommand() override;

    // Asks for the table and what to write, asks before replacing a file, and starts the run.
    // Returns at once; the summary follows when the run ends.
    void run_table();
    // Asks where to save the template, a table whose one row is `row`, and writes it whole.
    void save_template(const zhuheng::batch::TemplateRow& row);
    // From run_table's start of a run until its summary has been closed.
    bool running() const { return running_; }

signals:
    // From the worker: the bytes of the table read so far.
    void progressed(quint64 read, quint64 total);
    // From the worker: the run has returned; its outcome is in ending_.
    void returned();

private:
    void start(const zhuheng::batch::BatchFiles& files);
    void show_progress(quint64 read, quint64 total);
    void finish();

    QWidget& window_;
    MessageBoxes& messages_;
    SaveDialog& save_dialog_;
    BatchDialogs& dialogs_;

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    QProgressDialog* progress_ = nullptr;
    QStringList written_; // the names of the files the run writes
    QString results_;     // the results table's path
    // Written by the worker before it signals `returned`, read after it is joined: the summary,
    // or why the run failed.
    std::optional<zhuheng::batch::BatchSummary> summary_;
    QString failure_;
};
