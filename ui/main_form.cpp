// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_form.h"

#include "engine/material_tables.h"
#include "report/print_report.h"
#include "ui/calculate_command.h"
#include "ui/message_boxes.h"
#include "ui/program_setup.h"
#include "ui/result_boxes.h"

#include <QCloseEvent>
#include <QKeyEvent>

using namespace zhuheng;

namespace {
QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

MainForm::MainForm(MessageBoxes& messages, PrinterDialog& printer_dialog, ReportPrinter& printer,
                   QWidget* parent)
    : QWidget(parent), messages_(messages), printer_dialog_(printer_dialog), printer_(printer) {
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

    load();
    ui.optpj->setFocus();
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

// A re-dimension, a fault, and a grade, box or mode chosen after the last completed run change
// nothing that prints: the report shows that run in its mode. Before any run has completed, the
// state prints as it stands, in the mode chosen.
void MainForm::on_cmdprint_clicked() {
    const CalcState& printed = last_run_ ? *last_run_ : state_;
    const PrintOutcome outcome =
        print_report(printed, last_run_.has_value(), printer_dialog_, printer_);
    if (outcome.kind == PrintOutcome::Kind::Failed) {
        messages_.show_message(MessageIcon::Warning, QStringLiteral("打印失败：") +
                                                         QString::fromStdString(outcome.reason));
    }
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
bool MainForm::eventFilter(QObject* watched, QEvent* event) {
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
    }
    return QWidget::eventFilter(watched, event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    emit exitRequested();
}
