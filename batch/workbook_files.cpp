// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/workbook_files.h"

#include "batch/csv_reader.h"
#include "batch/xlsx_results.h"
#include "report/report_printer.h"
#include "report/saved_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace zhuheng::batch {

namespace {

// The run was cancelled: the file is dropped, and the summary says so.
struct Cancelled {};

// libxlsxwriter writes to a path: it writes into a temporary file beside `path`, which
// save_whole copies into its own and puts in place only when both are whole. `write` writes and
// finishes the table; it returns false when it was cancelled.
void save_workbook(const QString& path, std::string_view sheet,
                   const std::function<bool(TableWriter&)>& write) {
    const QString failure = QStringLiteral("无法写入工作簿“%1”：%2");
    const QString name = QDir::toNativeSeparators(path);
    save_whole(path, failure, [&](QIODevice& file) {
        // A new name beside the file, free of QTemporaryFile's handle, which it keeps open until
        // it is destroyed and which Windows would not let the library write through.
        QString made_name;
        {
            QTemporaryFile reserved(path + QStringLiteral(".XXXXXX.part"));
            if (!reserved.open()) {
                throw PrintError(failure.arg(name, reserved.errorString()).toStdString());
            }
            reserved.setAutoRemove(false);
            made_name = reserved.fileName();
        }
        const struct Removed {
            const QString& name;
            ~Removed() { QFile::remove(name); }
        } removed{made_name};
        try {
            // The library takes the path in UTF-8 (on Windows it opens it by its UTF-16 name);
            // elsewhere in the bytes of the file system.
#if defined(_WIN32)
            const std::string library_path = made_name.toStdString();
#else
            const std::string library_path = QFile::encodeName(made_name).toStdString();
#endif
            WorkbookWriter writer(library_path, sheet);
            if (!write(writer)) {
                throw Cancelled{};
            }
        } catch (const WorkbookError& e) {
            const QString reason =
                e.error() != 0 ? errno_reason(e.error()) : QString::fromStdString(e.what());
            throw PrintError(failure.arg(name, reason).toStdString());
        }
        QFile made(made_name);
        if (!made.open(QIODevice::ReadOnly)) {
            throw PrintError(failure.arg(name, made.errorString()).toStdString());
        }
        constexpr qint64 kPiece = 1 << 20;
        while (!made.atEnd()) {
            const QByteArray piece = made.read(kPiece);
            if (piece.isEmpty() || file.write(piece) != piece.size()) {
                return false;
            }
        }
        return true;
    });
}

} // namespace

BatchSummary run_batch_to_workbook(ByteSource& in, const QString& path, const BatchOptions& options) {
    CsvRecords records(in, options.gbk);
    return run_batch_to_workbook(records, path, options);
}

BatchSummary run_batch_to_workbook(RecordSource& records, const QString& path,
                                   const BatchOptions& options,
                                   const std::function<void()>& before_keeping) {
    BatchSummary summary;
    try {
        save_workbook(path, kResultsSheetName, [&](TableWriter& writer) {
            summary = run_batch(records, writer, options);
            if (summary.cancelled) {
                return false;
            }
            if (before_keeping) {
                before_keeping();
            }
            return true;
        });
    } catch (const Cancelled&) {
        summary.cancelled = true;
    }
    return summary;
}

void save_template_workbook(const TemplateRow& row, const QString& path) {
    save_workbook(path, kTemplateSheetName, [&](TableWriter& writer) {
        write_template(row, writer);
        return true;
    });
}

} // namespace zhuheng::batch
