// SPDX-License-Identifier: GPL-3.0-or-later
// The print button of the window: the dialog, the report of the selected mode, the warning for
// a failed print and the silent cancel.
#include "gui_test_support.h"

#include "report/document_file.h"
#include "report/pdf_file.h"
#include "report/qt_printing.h"
#include "worked_examples.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <private/qzipreader_p.h>

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
        const bool ticked = menu->actions().back()->isChecked();
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

// 打  印's menu opens on a right click, the menu key and Shift+F10 alike. It holds the preview,
// the two exports and the copy, each with its key, and last, apart, the working: its item shows
// the setting, unticked at start, and its key flips it: the next print of the completed run
// carries the working, or no longer does. The menu is a popup, no control of the window's layout.
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
        QStringList items;
        for (const QAction* action : menu->actions()) {
            items << (action->isSeparator() ? QStringLiteral("—") : action->text());
            EXPECT_EQ(action->isCheckable(), action == menu->actions().back())
                << action->text().toStdString();
        }
        EXPECT_EQ(items,
                  (QStringList{QStringLiteral("打印预览(&V)…"), QStringLiteral("导出 PDF(&P)…"),
                               QStringLiteral("导出文档(&D)…"), QStringLiteral("复制计算书(&C)"),
                               QStringLiteral("—"), QString::fromUtf8(kWorkingCaption)}));
        const QAction* item = menu->actions().back();
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

// Ctrl+P prints; each item of 打  印's menu is taken by its key: V shows the preview, P and D
// ask where to export the PDF or the document (cancelled here: nothing is written, nothing is
// said), C puts the sheet on the clipboard.
TEST_F(PrintMenuTest, EachFormIsTakenByItsKey) {
    const QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    struct Row {
        const char* name;
        Qt::Key key; // in the menu; with Ctrl, P on the window
        std::vector<SavedForm> asked;
    };
    for (const Row& row :
         {Row{"ctrl_p", Qt::Key_unknown, {}}, Row{"preview", Qt::Key_V, {}},
          Row{"pdf", Qt::Key_P, {SavedForm::Pdf}},
          Row{"document", Qt::Key_D, {SavedForm::Document}}, Row{"copy", Qt::Key_C, {}}}) {
        SCOPED_TRACE(row.name);
        printer_dialog.times_shown = 0;
        save_dialog.asked.clear();
        QGuiApplication::clipboard()->clear();
        bool previewed = false;
        if (row.key == Qt::Key_V) {
            expect_modal([&](QWidget* modal) {
                previewed = qobject_cast<QPrintPreviewDialog*>(modal) != nullptr;
                modal->close();
            });
        }
        if (row.key == Qt::Key_unknown) {
            QTest::keyClick(form->windowHandle(), Qt::Key_P, Qt::ControlModifier);
            // A button's shortcut shows the button pressed for a moment before it clicks.
            EXPECT_TRUE(QTest::qWaitFor([&] { return printer_dialog.times_shown > 0; }));
        } else {
            QMenu* menu = open_print_menu(Opening::MenuKey);
            ASSERT_TRUE(menu);
            QTest::keyClick(menu, row.key);
        }
        if (row.key == Qt::Key_V) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return previewed; })) << "no preview was shown";
        }
        EXPECT_EQ(printer_dialog.times_shown, row.key == Qt::Key_unknown ? 1 : 0);
        EXPECT_EQ(save_dialog.asked, row.asked);
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        EXPECT_EQ(copied && copied->hasHtml() && copied->hasText(), row.key == Qt::Key_C);
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
    }
}

// What a file holds, but for the time it was made, which a PDF names.
QByteArray timeless_pdf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf("/CreationDate (");
    if (at >= 0) {
        bytes.remove(at, bytes.indexOf(')', at) + 1 - at);
    }
    return bytes;
}

// The content of an OpenDocument file, its text, tables and pictures.
QByteArray document_content(const QString& path) {
    QZipReader archive(path);
    EXPECT_EQ(archive.status(), QZipReader::NoError) << path.toStdString();
    return archive.fileData(QStringLiteral("content.xml"));
}

// After a completed run, a re-dimension, other boxes, another grade and the other mode change
// nothing any form shows: each still shows the completed run, with its working.
TEST_F(PrintMenuTest, EveryFormShowsTheCompletedRun) {
    complete_a_design();
    QMenu* menu = open_print_menu(Opening::MenuKey);
    ASSERT_TRUE(menu);
    QTest::keyClick(menu, Qt::Key_J);
    type("txtmj", QStringLiteral("99999"));
    messages.expect(MessageIcon::Information, QStringLiteral("请重新拟定构件的尺寸！"));
    click("cmdrun");
    type("txtbc", QStringLiteral("0.07"));
    pick_by_keys("cbohnt", 4);
    click("optpd");

    const std::vector<ReportBlock> completed = calc_sheet(zhuheng_test::designed(1300), true, true);
    const QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const QString expected_pdf = dir.filePath(QStringLiteral("expected.pdf"));
    const QString document = dir.filePath(QStringLiteral("sheet.odt"));
    const QString expected_document = dir.filePath(QStringLiteral("expected.odt"));
    write_pdf_file(expected_pdf, default_page_layout(), kPdfResolution, completed);
    write_document_file(expected_document, completed, default_page_layout());
    for (const auto& [key, path] : {std::pair{Qt::Key_P, pdf}, std::pair{Qt::Key_D, document}}) {
        save_dialog.answer = path;
        menu = open_print_menu(Opening::MenuKey);
        ASSERT_TRUE(menu);
        QTest::keyClick(menu, key);
    }
    EXPECT_EQ(timeless_pdf(pdf), timeless_pdf(expected_pdf));
    EXPECT_EQ(document_content(document), document_content(expected_document));

    menu = open_print_menu(Opening::MenuKey);
    ASSERT_TRUE(menu);
    QTest::keyClick(menu, Qt::Key_C);
    QString expected_text;
    for (const std::string& line : sheet_text(completed)) {
        expected_text += QString::fromStdString(line) + QLatin1Char('\n');
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), expected_text.toStdString());
}

#ifdef ZHUHENG_X11_CLIPBOARD
// What another program on the X11 desktop reads of the clipboard: xclip asks the window, which
// answers while the test waits.
QString read_clipboard(const QString& target) {
    QProcess xclip;
    xclip.start(QStringLiteral(XCLIP), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                        QStringLiteral("-t"), target, QStringLiteral("-o")});
    EXPECT_TRUE(xclip.waitForStarted(5000))
        << "xclip did not start; scripts/install-deps.sh installs it";
    EXPECT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000))
        << "xclip did not finish";
    EXPECT_EQ(xclip.exitCode(), 0) << xclip.readAllStandardError().toStdString();
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

class X11Clipboard : public PrintMenuTest {};

// 复制计算书 on an X11 desktop (Xvfb): the clipboard offers the sheet as HTML and as plain text,
// and the text is the sheet's lines, one a line, as another program reads them.
TEST_F(X11Clipboard, HoldsTheSheetAsHtmlAndPlainText) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    complete_a_design();
    QMenu* menu = open_print_menu(Opening::MenuKey);
    ASSERT_TRUE(menu);
    QTest::keyClick(menu, Qt::Key_C);
    const QStringList targets = read_clipboard(QStringLiteral("TARGETS")).split(QChar('\n'));
    EXPECT_TRUE(targets.contains(QStringLiteral("text/html"))) << targets.join(' ').toStdString();
    EXPECT_TRUE(targets.contains(QStringLiteral("text/plain"))) << targets.join(' ').toStdString();
    QString expected;
    for (const std::string& line :
         sheet_text(calc_sheet(zhuheng_test::designed(1300), true, false))) {
        expected += QString::fromStdString(line) + QLatin1Char('\n');
    }
    EXPECT_EQ(read_clipboard(QStringLiteral("UTF8_STRING")).toStdString(), expected.toStdString());
    EXPECT_TRUE(
        read_clipboard(QStringLiteral("text/html")).contains(QStringLiteral("受拉钢筋面积")));
}
#endif

// The button says where the menu is, to the pointer and to a screen reader.
TEST_F(PrintMenuTest, TheButtonsTipNamesTheMenu) {
    const QString tip = widget("cmdprint")->toolTip();
    for (const char* said : {"Ctrl+P", "右击", "菜单键", "Shift+F10", "打印预览", "导出 PDF",
                             "文档", "复制计算书", "附计算过程及截面图"}) {
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
