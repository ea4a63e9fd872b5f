#include "ui/calculate_command.h"

#include "engine/arithmetic_fault.h"
#include "engine/common_quantities.h"
#include "engine/number_text.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "engine/text_to_number.h"
#include "ui/message_boxes.h"
#include "ui_mainform.h"

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
    ui.txtxpd->clear();
    ui.txtmpd->clear();
    ui.txtpd->clear();
    show_number(ui.txtagl, *state.as_req);
    show_number(ui.txtupj, state.ratio);
    show_number(ui.txtx, *state.x);
    QLineEdit* const count_boxes[] = {ui.txtd12, ui.txtd14, ui.txtd16, ui.txtd18, ui.txtd20,
                                      ui.txtd22, ui.txtd25, ui.txtd28, ui.txtd30, ui.txtd32};
    for (std::size_t i = 0; i < std::size(count_boxes); ++i) {
        show_number(count_boxes[i], *state.bar_counts.d12_to_d32[i]);
    }
    show_number(ui.txtd34, state.bar_counts.d34);
}

void show_check_results(const CalcState& state, Ui::MainForm& ui) {
    for (QLineEdit* box :
         {ui.txtagl, ui.txtupj, ui.txtx, ui.txtd12, ui.txtd14, ui.txtd16, ui.txtd18, ui.txtd20,
          ui.txtd22, ui.txtd25, ui.txtd28, ui.txtd30, ui.txtd32, ui.txtd34}) {
        box->clear();
    }
    show_number(ui.txtxpd, *state.x);
    show_number(ui.txtmpd, state.m_ult);
    ui.txtpd->setText(QString::fromStdString(state.verdict));
}

} // namespace

void calculate(CalcState& state, Ui::MainForm& ui, MessageBoxes& messages) {
    if (state.mode == CalcMode::None) {
        messages.show_message(MessageIcon::Information, kNoModeMessage);
        return;
    }
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
        common_quantities(state, input, ui.txtrg->text().toStdString());

        if (ui.optpj->isChecked()) {
            if (reinforcement_design(state) == DesignOutcome::Redimension) {
                messages.show_message(MessageIcon::Information, kRedimensionMessage);
                return;
            }
            show_design_results(state, ui);
        }
        if (ui.optpd->isChecked()) {
            strength_check(state);
            show_check_results(state, ui);
        }
    } catch (const ArithmeticFault& fault) {
        // The boxes are written only after the engine has finished, so none has changed.
        messages.show_message(MessageIcon::Warning, fault_message(fault));
    }
}
