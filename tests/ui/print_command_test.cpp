// SPDX-License-Identifier: GPL-3.0-or-later
// The print button of the window: the dialog, the report of the selected mode, the warning for
// a failed print and the silent cancel.
#include "gui_test_support.h"

#include "report/qt_printing.h"

#include <QCheckBox>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace zhuheng;

namespace {

// How a user opens 打  印's menu: the click and the keys reach the window as the platform
// delivers them, the keys to the focused button.
enum class Opening { RightClick, MenuKey, ShiftF10 };

class PrintMenuTest : public MainFormTest {
protected:
    QMenu* open_print_menu(Opening how) {
        QWidget* print = widget("cmdprint");
        QWindow* window = form->windowHandle();
        if (how == Opening::RightClick) {
            QTest::mouseClick(window, Qt::RightButton, {},
                              print->mapTo(form.get(), QPoint(8, print->height() / 2)));
        } else {
            print->setFocus(Qt::TabFocusReason);
            QTest::keyClick(window, how == Opening::MenuKey ? Qt::Key_Menu : Qt::Key_F10,
                            how == Opening::MenuKey ? Qt::NoModifier : Qt::ShiftModifier);
        }
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    // Whether the menu shows the working ticked; the menu is closed again.
    bool menu_shows_working() {
        QMenu* menu = open_print_menu(Opening::MenuKey);
        if (!menu || menu->actions().isEmpty()) {
            ADD_FAILURE() << "打  印's menu did not open";
            return false;
        }
        const bool ticked = menu->actions().front()->isChecked();
        QTest::keyClick(menu, Qt::Key_Escape);
        return ticked;
    }

    // A design run that completes, so that a print can carry its working.
    void complete_a_design() {
        pick_by_keys("cbohnt", 2);
        pick_by_keys("cbodj", 1);
        click("optpj");
        for (auto [box, value] :
             {std::pair{"txtbc", "0.05"}, std::pair{"txtbi", "1.0"}, std::pair{"txthi", "0.15"},
              std::pair{"txtb", "0.2"}, std::pair{"txth", "0.8"}, std::pair{"txtmj", "1300"}}) {
            type(box, QString::fromLatin1(value));
        }
        click("cmdrun");
        ASSERT_EQ(text("txtagl"), QStringLiteral(" 72.345"));
    }

    bool printed_working() const {
        return std::any_of(printer.events.begin(), printer.events.end(),
                           [](const auto& e) { return e.kind == PrinterEvent::Kind::Working; });
    }
};

// 打  印's menu opens on a right click, the menu key and Shift+F10 alike. Its one item shows the
// setting, unticked at start, and its key flips it: the next print of the completed run carries
// the working, or no longer does. The menu is a popup, no control of the window's layout.
TEST_F(PrintMenuTest, OpensByMouseAndKeysAndTicksTheWorking) {
    complete_a_design();
    struct Row {
        const char* name;
        Opening how;
        bool shown_ticked;
    };
    for (const Row& row :
         {Row{"right_click", Opening::RightClick, false}, Row{"menu_key", Opening::MenuKey, true},
          Row{"shift_f10", Opening::ShiftF10, false}}) {
        SCOPED_TRACE(row.name);
        QMenu* menu = open_print_menu(row.how);
        ASSERT_TRUE(menu) << "打  印's menu did not open";
        EXPECT_TRUE(menu->isWindow());
        ASSERT_EQ(menu->actions().size(), 1);
        const QAction* item = menu->actions().front();
        EXPECT_EQ(item->text(), QString::fromUtf8(kWorkingCaption));
        EXPECT_TRUE(item->isCheckable());
        EXPECT_EQ(item->isChecked(), row.shown_ticked);
        QTest::keyClick(menu, Qt::Key_J);
        EXPECT_FALSE(menu->isVisible());
        EXPECT_EQ(printer_dialog.working(), !row.shown_ticked);
        printer.events.clear();
        click("cmdprint");
        EXPECT_EQ(printed_working(), !row.shown_ticked);
    }
}

// The button says where the menu is, to the pointer and to a screen reader.
TEST_F(PrintMenuTest, TheButtonsTipNamesTheMenu) {
    const QString tip = widget("cmdprint")->toolTip();
    for (const char* said : {"右击", "菜单键", "Shift+F10", "附计算过程及截面图"}) {
        EXPECT_TRUE(tip.contains(QString::fromUtf8(said))) << said;
    }
}

QCheckBox* working_box(QWidget* dialog) {
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
        if (box->text() == QString::fromUtf8(kWorkingCaption)) {
            return box;
        }
    }
    return nullptr;
}

// The printer dialog's tab 计算书 shows the setting as the menu left it, and the menu shows it as
// the tab left it; what is ticked in a cancelled dialog is not kept.
TEST_F(PrintMenuTest, TheDialogsTabAndTheMenuShowOneSetting) {
    const QTemporaryDir dir;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.filePath(QStringLiteral("report.pdf")));
    PrinterSource source(pdf);
    QtPrinterDialog dialog(source);
    use_printer_dialog(dialog);
    struct Row {
        const char* name;
        bool flip_in_menu;
        bool shown_in_tab;
        bool set_in_tab;
        bool accept;
        bool shown_in_menu;
    };
    for (const Row& row : {Row{"ticked_in_the_menu", true, true, true, true, true},
                           Row{"unticked_in_the_tab", false, true, false, true, false},
                           Row{"ticked_in_a_cancelled_dialog", false, false, true, false, false}}) {
        SCOPED_TRACE(row.name);
        if (row.flip_in_menu) {
            QMenu* menu = open_print_menu(Opening::MenuKey);
            ASSERT_TRUE(menu);
            QTest::keyClick(menu, Qt::Key_J);
        }
        bool seen = false;
        expect_modal([&](QWidget* modal) {
            auto* print_dialog = qobject_cast<QPrintDialog*>(modal);
            QCheckBox* box = print_dialog ? working_box(print_dialog) : nullptr;
            if (!box) {
                ADD_FAILURE() << "no box 附计算过程及截面图 in the printer dialog";
                modal->close();
                return;
            }
            seen = true;
            EXPECT_EQ(box->isChecked(), row.shown_in_tab);
            box->setChecked(row.set_in_tab);
            row.accept ? print_dialog->accept() : print_dialog->reject();
        });
        click("cmdprint");
        EXPECT_TRUE(seen);
        EXPECT_EQ(menu_shows_working(), row.shown_in_menu);
    }
    form.reset(); // the window refers to the dialog and the printer, which end here
}

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
