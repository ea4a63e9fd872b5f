// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/calculate_command.h"

#include "engine/number_text.h"
#include "engine/shown_results.h"
#include "ui/message_boxes.h"
#include "ui/result_boxes.h"

using namespace zhuheng;

namespace {

void show_number(QLineEdit* box, double value) {
    box->setText(QString::fromStdString(number_text(value)));
}

void show_design_results(const CalcState& state, Ui::MainForm& ui) {
    for (const ResultBox& r : kCheckResultBoxes) {
        (ui.*r.box)->clear();
    }
    const auto shown = design_results(state);
    static_assert(std::size(shown) == std::size(kDesignResultBoxes));
    for (std::size_t i = 0; i < std::size(shown); ++i) {
        show_number(ui.*kDesignResultBoxes[i].box, shown[i]);
    }
}

void show_check_results(const CalcState& state, Ui::MainForm& ui) {
    for (const ResultBox& r : kDesignResultBoxes) {
        (ui.*r.box)->clear();
    }
    const auto shown = check_results(state);
    show_number(ui.txtxpd, shown[0]);
    show_number(ui.txtmpd, shown[1]);
    ui.txtpd->setText(QString::fromStdString(state.verdict));
}

} // namespace

RunOutcome calculate(CalcState& state, Ui::MainForm& ui, MessageBoxes& messages) {
    const QLineEdit* const boxes[] = {ui.txtag, ui.txtbc, ui.txtbi, ui.txthi,
                                      ui.txtb,  ui.txth,  ui.txtmj};
    std::string texts[std::size(boxes)];
    RunTexts run;
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        texts[i] = boxes[i]->text().toStdString();
        run.section[i] = texts[i];
    }
    const std::string rg = ui.txtrg->text().toStdString();
    run.rg = rg;

    const RunReport report = run_calculation(state, run);
    switch (report.outcome) {
    case RunOutcome::NoMode:
        messages.show_message(MessageIcon::Information, QString::fromUtf8(kNoModeMessage));
        break;
    case RunOutcome::Redimension:
        messages.show_message(MessageIcon::Information, QString::fromUtf8(kRedimensionMessage));
        break;
    case RunOutcome::Fault:
        messages.show_message(MessageIcon::Warning,
                              QString::fromStdString(fault_message(report.fault)));
        break;
    case RunOutcome::Completed:
        if (state.mode == CalcMode::Design) {
            show_design_results(state, ui);
        } else {
            show_check_results(state, ui);
        }
        break;
    }
    return report.outcome;
}
