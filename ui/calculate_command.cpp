// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/calculate_command.h"

#include "engine/arithmetic_fault.h"
#include "engine/common_quantities.h"
#include "engine/number_text.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "engine/text_to_number.h"
#include "ui/message_boxes.h"
#include "ui/result_boxes.h"

using namespace zhuheng;

const QString kNoModeMessage = QStringLiteral("请选择配筋计算或强度验算");
const QString kRedimensionMessage = QStringLiteral("请重新拟定构件的尺寸！");

namespace {

double read_box(const QLineEdit* box) {
    return text_to_number(box->text().toStdString());
}

void show_number(QLineEdit* box, double value) {
    box->setText(QString::fromStdString(number_text(value)));
}

QString fault_message(const ArithmeticFault& fault) {
    const QString what = fault.kind() == FaultKind::DivisionByZero ? QStringLiteral("除数为零")
                                                                   : QStringLiteral("数值溢出");
    return QStringLiteral("计算出错：") + what +
           QStringLiteral("。请检查混凝土标号和钢筋等级是否都已选择，"
                          "各尺寸是否为零或超出范围。");
}

void show_design_results(const CalcState& state, Ui::MainForm& ui) {
    for (const ResultBox& r : kCheckResultBoxes) {
        (ui.*r.box)->clear();
    }
    const auto& counts = state.bar_counts.d12_to_d32;
    const double shown[] = {*state.as_req, state.ratio,
                            *state.x,      *counts[0],
                            *counts[1],    *counts[2],
                            *counts[3],    *counts[4],
                            *counts[5],    *counts[6],
                            *counts[7],    *counts[8],
                            *counts[9],    static_cast<double>(state.bar_counts.d34)};
    static_assert(std::size(shown) == std::size(kDesignResultBoxes));
    for (std::size_t i = 0; i < std::size(shown); ++i) {
        show_number(ui.*kDesignResultBoxes[i].box, shown[i]);
    }
}

void show_check_results(const CalcState& state, Ui::MainForm& ui) {
    for (const ResultBox& r : kDesignResultBoxes) {
        (ui.*r.box)->clear();
    }
    show_number(ui.txtxpd, *state.x);
    show_number(ui.txtmpd, state.m_ult);
    ui.txtpd->setText(QString::fromStdString(state.verdict));
}

} // namespace

RunOutcome calculate(CalcState& state, Ui::MainForm& ui, MessageBoxes& messages) {
    if (state.mode == CalcMode::None) {
        messages.show_message(MessageIcon::Information, kNoModeMessage);
        return RunOutcome::NoMode;
    }
    // The run works on a copy that replaces the state only when no arithmetic fault ends it: a
    // faulted run leaves nothing half-written behind for the next printed report.
    CalcState run = state;
    try {
        // Boxes are read in this order; the hidden txtag is read in both modes.
        SectionInput input;
        input.ag = read_box(ui.txtag);
        input.bc = read_box(ui.txtbc);
        input.bi = read_box(ui.txtbi);
        input.hi = read_box(ui.txthi);
        input.b = read_box(ui.txtb);
        input.h = read_box(ui.txth);
        input.mj = read_box(ui.txtmj);
        common_quantities(run, input, ui.txtrg->text().toStdString());

        if (run.mode == CalcMode::Design) {
            const DesignOutcome outcome = reinforcement_design(run);
            state = run;
            if (outcome == DesignOutcome::Redimension) {
                // The inputs and intermediates of this run stay; no result changes.
                messages.show_message(MessageIcon::Information, kRedimensionMessage);
                return RunOutcome::Redimension;
            }
            show_design_results(state, ui);
        }
        if (run.mode == CalcMode::Check) {
            strength_check(run);
            state = run;
            show_check_results(state, ui);
        }
    } catch (const ArithmeticFault& fault) {
        // Neither the state nor any box has changed.
        messages.show_message(MessageIcon::Warning, fault_message(fault));
        return RunOutcome::Fault;
    }
    return RunOutcome::Completed;
}
