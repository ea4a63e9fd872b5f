// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class QWidget;

// What a batch run writes beside its results table: the calc book of its completed rows, as a
// PDF and/or as a document, each sheet with its working and drawing or not.
struct BatchChoices {
    bool book_pdf = false;
    bool book_document = false;
    bool with_working = false;
};

// The two dialogs of 批量计算, reached through this interface so that tests and the scenario runner
// can answer them.
class BatchDialogs {
public:
    virtual ~BatchDialogs() = default;
    // The table to run; nothing when the dialog was cancelled.
    virtual std::optional<QString> ask_table() = 0;
    // What to write besides the results of `table`; nothing when the dialog was cancelled.
    virtual std::optional<BatchChoices> ask_choices(const QString& table) = 0;
};

// QFileDialog for the table, in the user's documents folder and then in the last table's folder;
// and the dialog of batch_options.ui, which starts as it was last left (nothing is saved).
class QtBatchDialogs : public BatchDialogs {
public:
    void set_parent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> ask_table() override;
    std::optional<BatchChoices> ask_choices(const QString& table) override;

private:
    QWidget* parent_ = nullptr;
    QString folder_;
    BatchChoices last_;
};
