// SPDX-License-Identifier: GPL-3.0-or-later
// The print button of the window: the dialog, the report of the selected mode, the warning for
// a failed print and the silent cancel.
#include "gui_test_support.h"

#include <QTest>

using namespace zhuheng;

namespace {

std::vector<std::string> line_texts(const std::vector<PrinterEvent>& events) {
    std::vector<std::string> out;
    for (const PrinterEvent& e : events) {
        if (e.kind == PrinterEvent::Kind::Line) {
            out.push_back(e.line.items.front().text);
        } else {
            out.push_back(e.kind == PrinterEvent::Kind::EndDocument ? "end" : "abort");
        }
    }
    return out;
}

TEST_F(MainFormTest, PrintsTheSelectedModeFromTheState) {
    click("optpd");
    type("txtmj", QStringLiteral("700"));
    printer_dialog.copy_count = 2;
    click("cmdprint");
    EXPECT_EQ(printer_dialog.times_shown, 1);
    EXPECT_EQ(line_texts(printer.events),
              (std::vector<std::string>{"筑衡程序", "混凝土强度（KPa）＝", "翼缘厚度（m）＝",
                                        "计算高度（m）=", "筑衡程序", "混凝土强度（KPa）＝",
                                        "翼缘厚度（m）＝", "计算高度（m）=", "end"}));
    // The moment typed but not yet calculated is not printed.
    EXPECT_EQ(printer.events[2].line.items.back().text, "");
}

TEST_F(MainFormTest, CancelIsSilent) {
    printer_dialog.answer = FakePrinterDialog::Answer::Cancel;
    click("cmdprint");
    EXPECT_TRUE(printer.events.empty());
}

TEST_F(MainFormTest, FailedPrintWarnsAndAbortsAndTheWindowGoesOn) {
    click("optpj");
    printer.fail_after = 4;
    messages.expect(MessageIcon::Warning, QStringLiteral("打印失败：打印机没有响应"));
    click("cmdprint");
    EXPECT_EQ(line_texts(printer.events),
              (std::vector<std::string>{"筑衡程序", "混凝土强度（KPa）＝", "翼缘厚度（m）＝",
                                        "受拉钢筋面积（cm2）=", "abort"}));
    printer.fail_after.reset();
    printer.events.clear();
    click("cmdprint");
    EXPECT_EQ(line_texts(printer.events).back(), "end");
}

TEST_F(MainFormTest, CopyCountBeyond16BitsWarns) {
    printer_dialog.copy_count = 40000;
    messages.expect(MessageIcon::Warning, QStringLiteral("打印失败：份数超出范围"));
    click("cmdprint");
    EXPECT_TRUE(printer.events.empty());
}

} // namespace
