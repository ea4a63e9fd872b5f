// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch_files.h"

#include "batch/csv_reader.h"
#include "batch/workbook_files.h"
#include "batch/xlsx_workbook.h"

#include "engine/number_text.h"
#include "engine/shown_results.h"
#include "report/calc_book.h"
#include "report/pdf_file.h"
#include "report/report_printer.h"
#include "report/saved_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

namespace zhuheng::batch {

namespace {

QString shown_name(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse_table(const QString& reason) {
    throw TableError(reason.toStdString());
}

// The table's file, read as it is asked for: a table of any length is never held whole.
class FileSource : public ByteSource {
public:
    explicit FileSource(const QString& path) : file_(path) {
        const QFileInfo info(path);
        const QString name = shown_name(path);
        if (info.isDir()) {
            refuse_table(QStringLiteral("“%1”是一个文件夹，不是表格文件").arg(name));
        }
        if (!info.exists()) {
            refuse_table(QStringLiteral("表格文件“%1”不存在").arg(name));
        }
        if (!file_.open(QIODevice::ReadOnly)) {
            if (!info.isReadable() || file_.error() == QFileDevice::PermissionsError) {
                refuse_table(QStringLiteral("没有读取表格文件“%1”的权限").arg(name));
            }
            refuse_table(QStringLiteral("无法打开表格文件“%1”：%2").arg(name, file_.errorString()));
        }
    }

    std::size_t read(char* buffer, std::size_t size) override {
        const qint64 got = file_.read(buffer, static_cast<qint64>(size));
        if (got < 0) {
            refuse_table(QStringLiteral("读取表格文件“%1”时出错：%2")
                             .arg(shown_name(file_.fileName()), file_.errorString()));
        }
        return static_cast<std::size_t>(got);
    }

    void rewind() override {
        if (!file_.seek(0)) {
            refuse_table(QStringLiteral("无法重新读取表格文件“%1”：%2")
                             .arg(shown_name(file_.fileName()), file_.errorString()));
        }
    }

    std::uint64_t size() const override { return static_cast<std::uint64_t>(file_.size()); }

private:
    QFile file_;
};

// The results file as save_whole hands it over: a failed write is seen at the end, where
// save_whole checks the file's state before it keeps the file.
class DeviceSink : public ByteSink {
public:
    explicit DeviceSink(QIODevice& device) : device_(device) {}
    void write(std::string_view bytes) override {
        whole_ = whole_ && device_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                               static_cast<qint64>(bytes.size());
    }
    bool whole() const { return whole_; }

private:
    QIODevice& device_;
    bool whole_ = true;
};

// A run given up on: save_whole drops the results file.
struct Cancelled {};

std::string main_result(const RowRecord& row) {
    if (row.mode == CalcMode::Design) {
        return plain_number_text(design_results(*row.state)[0]);  // 受拉钢筋面积
    }
    return plain_number_text(check_results(*row.state)[1]);  // 最大弯矩
}

BookEntry book_entry(const RowRecord& row) {
    BookEntry entry;
    entry.label = row.label;
    entry.line = row.line;
    entry.mode = row.mode;
    if (row.status == RowStatus::Completed && row.state != nullptr) {
        entry.main_result = main_result(row);
        entry.outcome = row.mode == CalcMode::Check ? row.state->verdict : std::string();
        entry.state = *row.state;
    } else {
        entry.outcome = row.message;
    }
    return entry;
}

// The table's folder as the table's name gives it (none for a bare name), so that the name
// told back is the one the user typed.
QString with_suffix_beside(const QString& table, const QString& ending) {
    const QFileInfo info(table);
    return table.left(table.size() - info.fileName().size()) + info.completeBaseName() + ending;
}

} // namespace

QString results_path_for(const QString& table) {
    return with_suffix_beside(table, is_workbook(table) ? QStringLiteral("-结果.xlsx")
                                                        : QStringLiteral("-结果.csv"));
}

bool is_workbook(const QString& table) {
    QFile file(table);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("PK\x03\x04");
}

bool is_workbook_name(const QString& path) {
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
}

QString book_path_for(const QString& table, const QString& suffix) {
    return with_suffix_beside(table, QStringLiteral("-计算书.") + suffix);
}

BatchSummary run_batch_files(
    const BatchFiles& files,
    const std::function<bool(std::uint64_t read, std::uint64_t total)>& progress) {
    // A workbook's rows, or a CSV table's records.
    std::unique_ptr<RecordSource> records = open_workbook(files.table);
    std::optional<FileSource> source;
    BatchOptions options;
    options.gbk = platform_gbk_decoder();
    if (!records) {
        source.emplace(files.table);
        records = std::make_unique<CsvRecords>(*source, options.gbk);
    }
    // Written over, the table would be lost before its last row was read.
    if (QFileInfo(files.results).canonicalFilePath() == QFileInfo(files.table).canonicalFilePath()) {
        throw PrintError(QStringLiteral("无法写入结果文件“%1”：这是要读取的表格文件本身")
                             .arg(shown_name(files.results))
                             .toStdString());
    }
    const bool with_book = !files.book_pdf.isEmpty() || !files.book_document.isEmpty();
    std::vector<BookEntry> entries;
    options.progress = progress;
    if (with_book) {
        options.on_row = [&entries](const RowRecord& row) { entries.push_back(book_entry(row)); };
    }
    // The books are made aside, while the results file is still uncommitted, and put in place
    // each whole or not at all before the results are: a book that cannot be made or written
    // leaves no results behind, and an earlier book or results file is only ever replaced whole.
    QTemporaryDir aside;
    const auto put_books_in_place = [&] {
        if (!with_book) {
            return;
        }
        if (!aside.isValid()) {
            throw PrintError(
                QStringLiteral("无法生成计算书：%1").arg(aside.errorString()).toStdString());
        }
        struct Book {
            QString path;
            QString made;
        };
        std::vector<Book> books;
        const QPageLayout layout = default_page_layout();
        if (!files.book_pdf.isEmpty()) {
            books.push_back({files.book_pdf, aside.filePath(QStringLiteral("book.pdf"))});
            write_calc_book_pdf(books.back().made, layout, entries, files.with_working);
        }
        if (!files.book_document.isEmpty()) {
            books.push_back({files.book_document, aside.filePath(QStringLiteral("book.odt"))});
            write_calc_book_document(books.back().made, layout, entries, files.with_working);
        }
        for (const Book& book : books) {
            save_whole(book.path, QStringLiteral("无法写入计算书“%1”：%2"), [&book](QIODevice& out) {
                QFile made(book.made);
                if (!made.open(QIODevice::ReadOnly)) {
                    return false;
                }
                const QByteArray bytes = made.readAll();
                return out.write(bytes) == bytes.size();
            });
        }
    };
    // The results as a workbook where their name says so, else as a CSV table.
    if (is_workbook_name(files.results)) {
        return run_batch_to_workbook(*records, files.results, options, put_books_in_place);
    }
    BatchSummary summary;
    try {
        save_whole(files.results, QStringLiteral("无法写入结果文件“%1”：%2"), [&](QIODevice& file) {
            DeviceSink sink(file);
            summary = run_batch(*records, sink, options);
            if (summary.cancelled) {
                throw Cancelled{};
            }
            put_books_in_place();
            return sink.whole();
        });
    } catch (const Cancelled&) {
        summary.cancelled = true;
    }
    return summary;
}

} // namespace zhuheng::batch
