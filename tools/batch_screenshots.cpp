// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch_screenshots.h"

#include "fake_batch_dialogs.h"
#include "fake_printing.h"
#include "fake_save_dialog.h"
#include "menu_picture.h"
#include "report/print_preview.h"
#include "report/qt_printing.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

// A few beams of a bridge: designs, a check, and a row whose cover was typed with its unit.
const char* const kTable =
    "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
    "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）\r\n"
    "边梁 1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300\r\n"
    "中梁 2,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500\r\n"
    "中梁 3,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,2500\r\n"
    "边梁 4,配筋计算,30号,Ⅲ级,,,0.05m,1.2,0.15,0.2,0.9,1600\r\n";

QMenu* open_run_menu(MainForm& form) {
    QWidget* run = form.findChild<QWidget*>(QStringLiteral("cmdrun"));
    run->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace

bool save_batch_pictures(MainForm& form, const QString& menu_file, const QString& summary_file) {
    QMenu* menu = open_run_menu(form);
    if (!menu || !QTest::qWaitForWindowExposed(menu)) {
        std::fprintf(stderr, "the menu of cmdrun did not open\n");
        return false;
    }
    const QPixmap picture = window_with_menu(form, *menu);
    QTest::keyClick(menu, Qt::Key_Escape);
    if (!picture.save(menu_file)) {
        return false;
    }

    const QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("桥梁表.csv"));
    QFile file(table);
    if (!file.open(QIODevice::WriteOnly) || file.write(kTable) < 0) {
        return false;
    }
    file.close();
    // The same window with the program's message boxes, its file dialogs answered: the table
    // chosen and no calc book. The summary is drawn and closed.
    QtMessageBoxes messages;
    zhuheng::FakePrinterDialog printer_dialog;
    zhuheng::RecordingPrinter printer;
    FakeSaveDialog save_dialog;
    PrinterSource preview_printer;
    PrintPreview preview{preview_printer};
    FakeBatchDialogs dialogs;
    dialogs.table = table;
    MainForm batch_form(messages, printer_dialog, printer, save_dialog, preview, dialogs);
    messages.set_parent(&batch_form);
    batch_form.move(form.pos());
    batch_form.show();
    if (!QTest::qWaitForWindowExposed(&batch_form)) {
        return false;
    }
    bool saved = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            saved = box->grab().save(summary_file);
            box->reject();
        }
    });
    answer.start(300);
    QTest::keyClick(open_run_menu(batch_form), Qt::Key_B);
    if (!QTest::qWaitFor([&] { return saved && !batch_form.batch_running(); }, 30000)) {
        std::fprintf(stderr, "the batch's summary was not drawn\n");
        return false;
    }
    return true;
}
