// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_form.h"

#include "engine/material_tables.h"
#include "report/print_report.h"
#include "ui/calculate_command.h"
#include "ui/message_boxes.h"
#include "ui/program_setup.h"
#include "ui/result_boxes.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace zhuheng;

namespace {
QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

MainForm::MainForm(MessageBoxes& messages, PrinterDialog& printer_dialog, ReportPrinter& printer,
                   SaveDialog& save_dialog, PrintPreview& preview, BatchDialogs& batch_dialogs,
                   QWidget* parent)
    : QWidget(parent), messages_(messages), printer_dialog_(printer_dialog), printer_(printer),
      sheet_commands_(*this, messages, save_dialog, preview),
      batch_command_(*this, messages, save_dialog, batch_dialogs) {
    // The fixed layout is drawn for the pinned face at 11 pixels (8 points at 96 dpi); another
    // face or a larger desktop default would clip the captions. It scales with the screen's
    // device pixel ratio.
    QFont face = pinned_face(font());
    face.setPixelSize(11);
    setFont(face);
    // A text box lays out its empty text in the application's font before it takes the window's.
    // While the controls are made that font is the window's, so that the face is not also loaded
    // at the desktop's size, which only dialogs use; those made later have that size again.
    const QFont desktop = QGuiApplication::font();
    QGuiApplication::setFont(face);
    ui.setupUi(this);
    QGuiApplication::setFont(desktop);
    setFixedSize(size());
    setWindowIcon(QIcon(QStringLiteral(":/zhuheng/zhuheng.png")));

    connect(ui.optpj, &QRadioButton::clicked, this, &MainForm::on_optpj_clicked);
    connect(ui.optpd, &QRadioButton::clicked, this, &MainForm::on_optpd_clicked);
    connect(ui.cbohnt, &GradeComboBox::itemChosen, this, &MainForm::on_cbohnt_chosen);
    connect(ui.cbodj, &GradeComboBox::itemChosen, this, &MainForm::on_cbodj_chosen);
    connect(ui.cmdrun, &QPushButton::clicked, this, &MainForm::on_cmdrun_clicked);
    connect(ui.cmdprint, &QPushButton::clicked, this, &MainForm::on_cmdprint_clicked);
    connect(ui.cmdexit, &QPushButton::clicked, this, &MainForm::exitRequested);

    for (QPushButton* button : {ui.cmdrun, ui.cmdprint, ui.cmdexit}) {
        button->installEventFilter(this);
    }

    // The usual key for printing; the button's caption has no mnemonic of its own.
    ui.cmdprint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    make_print_menu();
    make_run_menu();

    name_boxes_for_screen_readers();
    load();
    ui.optpj->setFocus();
}

// Screen readers speak a box by the text of the label that names it (Qt gives a label's buddy
// the label as its labelled-by relation), not by the box's own name. Where the box's name says
// more than its label (D14＝ of 主筋直径（根）, 计算高度（m） of either frame), the label carries
// the box's name. The text part of a grade list, which no label names, carries its label's text.
void MainForm::name_boxes_for_screen_readers() {
    for (QLabel* label : findChildren<QLabel*>()) {
        QWidget* box = label->buddy();
        if (!box) {
            continue;
        }
        if (!box->accessibleName().isEmpty()) {
            label->setAccessibleName(box->accessibleName());
        }
        if (auto* list = qobject_cast<QComboBox*>(box); list && list->lineEdit()) {
            list->lineEdit()->setAccessibleName(label->text());
        }
    }
}

void MainForm::load() {
    for (const ConcreteGrade& grade : ConcreteGradeTable) {
        ui.cbohnt->addItem(from_utf8(grade.label));
    }
    for (const SteelGrade& grade : SteelGradeTable) {
        ui.cbodj->addItem(from_utf8(grade.label));
    }
    // The first item added becomes current; the lists start with none chosen and one blank.
    for (GradeComboBox* list : {ui.cbohnt, ui.cbodj}) {
        list->setCurrentIndex(-1);
        list->setEditText(QStringLiteral(" "));
    }
    // Every result box but txtxpd starts with one blank (uic drops a text of blanks only).
    for (const ResultBox& r : kDesignResultBoxes) {
        (ui.*r.box)->setText(QStringLiteral(" "));
    }
    for (const ResultBox& r : kCheckResultBoxes) {
        if (r.box != &Ui_MainForm::txtxpd) {
            (ui.*r.box)->setText(QStringLiteral(" "));
        }
    }
}

void MainForm::on_optpj_clicked() {
    state_.mode = CalcMode::Design;
    ui.txtag->setVisible(false);
}

void MainForm::on_optpd_clicked() {
    state_.mode = CalcMode::Check;
    ui.txtag->setVisible(true);
}

void MainForm::on_cbohnt_chosen(const QString& text) {
    select_concrete_grade(state_, text.toStdString());
}

void MainForm::on_cbodj_chosen(const QString& text) {
    select_steel_grade(state_, text.toStdString());
}

void MainForm::on_cmdrun_clicked() {
    if (calculate(state_, ui, messages_) == RunOutcome::Completed) {
        last_run_ = state_;
    }
}

void MainForm::make_print_menu() {
    print_menu_ = new QMenu(this);
    // The texts carry the key that takes each item; "…" says that a dialog follows.
    connect(print_menu_->addAction(QStringLiteral("打印预览(&V)…")), &QAction::triggered, this,
            [this] { sheet_commands_.preview(sheet(), [this] { return print_sheet(); }); });
    connect(print_menu_->addAction(QStringLiteral("导出 PDF(&P)…")), &QAction::triggered, this,
            [this] { sheet_commands_.export_pdf(sheet()); });
    connect(print_menu_->addAction(QStringLiteral("导出文档(&D)…")), &QAction::triggered, this,
            [this] { sheet_commands_.export_document(sheet()); });
    connect(print_menu_->addAction(QStringLiteral("复制计算书(&C)")), &QAction::triggered, this,
            [this] { sheet_commands_.copy(sheet()); });
    print_menu_->addSeparator();
    QAction* working = print_menu_->addAction(QString::fromUtf8(kWorkingCaption));
    working->setCheckable(true);
    connect(print_menu_, &QMenu::aboutToShow, this,
            [this, working] { working->setChecked(printer_dialog_.working()); });
    connect(working, &QAction::triggered, this,
            [this](bool ticked) { printer_dialog_.set_working(ticked); });
}

void MainForm::make_run_menu() {
    run_menu_ = new QMenu(this);
    QAction* batch = run_menu_->addAction(QStringLiteral("批量计算(&B)…"));
    connect(batch, &QAction::triggered, this, [this] { batch_command_.run_table(); });
    connect(run_menu_->addAction(QStringLiteral("保存批量模板(&T)…")), &QAction::triggered, this,
            [this] { batch_command_.save_template(template_row()); });
    // One batch at a time.
    connect(run_menu_, &QMenu::aboutToShow, this,
            [this, batch] { batch->setEnabled(!batch_command_.running()); });
}

batch::TemplateRow MainForm::template_row() const {
    batch::TemplateRow row;
    row.mode = state_.mode;
    row.concrete_grade = ui.cbohnt->currentText().toStdString();
    row.steel_grade = ui.cbodj->currentText().toStdString();
    row.rg = ui.txtrg->text().toStdString();
    const QLineEdit* const boxes[] = {ui.txtag, ui.txtbc, ui.txtbi, ui.txthi,
                                      ui.txtb,  ui.txth,  ui.txtmj};
    static_assert(std::size(boxes) == std::tuple_size_v<decltype(row.section)>);
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        row.section[i] = boxes[i]->text().toStdString();
    }
    return row;
}

// A re-dimension, a fault, and a grade, box or mode chosen after the last completed run change
// nothing that prints: the report shows that run in its mode. Before any run has completed, the
// state prints as it stands, in the mode chosen.
std::vector<ReportBlock> MainForm::sheet() const {
    return calc_sheet(printed_state(), last_run_.has_value(), printer_dialog_.working());
}

void MainForm::on_cmdprint_clicked() {
    print_sheet();
}

bool MainForm::print_sheet() {
    const PrintOutcome outcome =
        print_report(printed_state(), last_run_.has_value(), printer_dialog_, printer_);
    if (outcome.kind == PrintOutcome::Kind::Failed) {
        messages_.show_message(MessageIcon::Warning, QStringLiteral("打印失败：") +
                                                         QString::fromStdString(outcome.reason));
    }
    return outcome.kind == PrintOutcome::Kind::Printed;
}

// Opens a button's menu unless it is open: a platform may send both the key and a context-menu
// event of its own for one press of the menu key.
void MainForm::open_menu(QMenu* menu, const QPoint& at) {
    if (!menu->isVisible()) {
        menu->popup(at);
    }
}

QMenu* MainForm::menu_of(QObject* button) const {
    return button == ui.cmdprint ? print_menu_ : button == ui.cmdrun ? run_menu_ : nullptr;
}

// Tab walks the whole focus chain. Qt treats a group of option buttons as one stop: it takes
// the Tab focus from every button of the group but the focused one. Here each option button
// is a stop of its own, like every other control.
bool MainForm::focusNextPrevChild(bool next) {
    QWidget* start = focusWidget() ? focusWidget() : this;
    QWidget* w = start;
    do {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        const bool takes_tab = (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus ||
                               qobject_cast<QRadioButton*>(w) != nullptr;
        if (takes_tab && w->window() == this && w->isVisibleTo(this) && w->isEnabled() &&
            !w->focusProxy()) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    } while (w != start);
    return false;
}

// Enter or Return on a focused push button presses it, as Space does. Outside a dialog Qt's push
// buttons take only Space; desktop users expect Enter too. A held key presses once.
// 计  算 and 打  印 open their menus on a right click (at the pointer), and on the menu key or
// Shift+F10 (under the button).
bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    QMenu* const menu = menu_of(watched);
    const auto under_button = [watched] {
        const auto* button = static_cast<QWidget*>(watched);
        return button->mapToGlobal(QPoint(0, button->height()));
    };
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (enter && modifiers == Qt::NoModifier) {
            if (!key->isAutoRepeat()) {
                static_cast<QPushButton*>(watched)->click();
            }
            return true;
        }
        const bool menu_key = (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
                              (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
        if (menu_key && menu) {
            open_menu(menu, under_button());
            return true;
        }
    }
    if (event->type() == QEvent::ContextMenu && menu) {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        open_menu(menu, request->reason() == QContextMenuEvent::Mouse ? request->globalPos()
                                                                       : under_button());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    emit exitRequested();
}
