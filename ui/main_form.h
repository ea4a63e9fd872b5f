// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/calc_state.h"
#include "report/calc_sheet.h"
#include "ui/batch_command.h"
#include "ui/sheet_commands.h"
#include "ui_mainform.h"

#include <QWidget>

#include <optional>

class BatchDialogs;
class MessageBoxes;
class PrintPreview;
class QMenu;
class SaveDialog;
namespace zhuheng {
class PrinterDialog;
class ReportPrinter;
} // namespace zhuheng

// The program's only window. It owns the one CalcState from its creation to its closing.
class MainForm : public QWidget {
    Q_OBJECT

public:
    MainForm(MessageBoxes& messages, zhuheng::PrinterDialog& printer_dialog,
             zhuheng::ReportPrinter& printer, SaveDialog& save_dialog, PrintPreview& preview,
             BatchDialogs& batch_dialogs, QWidget* parent = nullptr);

    const zhuheng::CalcState& state() const { return state_; }
    // Whether a batch started from 计  算's menu is running, until its summary is closed.
    bool batch_running() const { return batch_command_.running(); }

signals:
    // cmdexit was pressed or the window was closed: the program ends, nothing is asked.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void on_optpj_clicked();
    void on_optpd_clicked();
    void on_cbohnt_chosen(const QString& text);
    void on_cbodj_chosen(const QString& text);
    void on_cmdrun_clicked();
    void on_cmdprint_clicked();
    // The print command; returns whether the sheet was printed.
    bool print_sheet();
    const zhuheng::CalcState& printed_state() const { return last_run_ ? *last_run_ : state_; }
    // One copy of what printing prints now: the last completed run, with its working when asked.
    std::vector<zhuheng::ReportBlock> sheet() const;
    void make_print_menu();
    void make_run_menu();
    // The template's row: the mode, and the lists' and boxes' texts as they stand.
    zhuheng::batch::TemplateRow template_row() const;
    void open_menu(QMenu* menu, const QPoint& at);
    QMenu* menu_of(QObject* button) const;
    void name_boxes_for_screen_readers();

    Ui::MainForm ui;
    // 打  印's menu, opened by a right click, the menu key or Shift+F10: the preview, the exports,
    // the copy to the clipboard, and whether each copy carries the working (the printer dialog's
    // setting, which the platform's dialog may not show).
    QMenu* print_menu_;
    // 计  算's menu, opened the same ways: a table run in one go, and the template for one.
    QMenu* run_menu_;
    zhuheng::CalcState state_;
    // The state as the last completed run left it: what the report prints, so that a sheet never
    // pairs the inputs or grades of one run with the results of another. Empty until a run
    // completes.
    std::optional<zhuheng::CalcState> last_run_;
    MessageBoxes& messages_;
    zhuheng::PrinterDialog& printer_dialog_;
    zhuheng::ReportPrinter& printer_;
    SheetCommands sheet_commands_;
    BatchCommand batch_command_;
};
