// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class QWidget;

// What the sheet is saved as: the title, the kind of file and the name the dialog offers.
// Csv: a table to fill in, the batch template (a CSV table, or a workbook where its name ends in
// .xlsx).
enum class SavedForm { Pdf, Document, Csv };

// The modal save dialog, reached through this interface so that tests and the scenario runner
// can answer it.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    // The file the user chose for the sheet as `form`; nothing when the dialog was cancelled.
    virtual std::optional<QString> ask_path(SavedForm form) = 0;
};

// QFileDialog: Qt's own on Linux, the system's on Windows. It offers 筑衡计算书.pdf (or .odt, or
// for a template 批量计算模板.csv) in
// the user's documents folder, and after a file is chosen, in that file's folder for the rest of
// the window's life (nothing is saved); it adds the suffix to a name typed without one and asks
// before an existing file is replaced.
class QtSaveDialog : public SaveDialog {
public:
    void set_parent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> ask_path(SavedForm form) override;

private:
    QWidget* parent_ = nullptr;
    QString folder_; // where the last file was saved
};
