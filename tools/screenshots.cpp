// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the window after a design run and after a check run of the worked examples into PNG
// files: zhuheng-screenshots OUTPUT_DIR. Drives the real widgets with input events.
#include "report/qt_printing.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/program_setup.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

class PrintedMessages : public MessageBoxes {
public:
    void show_message(MessageIcon, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

template <class W> W* child(MainForm& form, const char* name) {
    return form.findChild<W*>(QString::fromLatin1(name));
}

void type(MainForm& form, const char* name, const QString& text) {
    QLineEdit* box = child<QLineEdit>(form, name);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void pick(MainForm& form, const char* name, int steps) {
    QWidget* list = child<QWidget>(form, name);
    list->setFocus();
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
}

void click(MainForm& form, const char* name) {
    QWidget* w = child<QWidget>(form, name);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(10, w->height() / 2));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setup_program(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zhuheng-screenshots OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    PrintedMessages messages;
    PrinterSource printer;
    QtPrinterDialog printer_dialog(printer);
    QtReportPrinter report_printer(printer);
    MainForm form(messages, printer_dialog, report_printer);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        return 1;
    }

    pick(form, "cbohnt", 3); // 25号
    pick(form, "cbodj", 2);  // Ⅱ级
    click(form, "optpj");
    type(form, "txtbc", QStringLiteral("0.05"));
    type(form, "txtbi", QStringLiteral("1.0"));
    type(form, "txthi", QStringLiteral("0.15"));
    type(form, "txtb", QStringLiteral("0.2"));
    type(form, "txth", QStringLiteral("0.8"));
    type(form, "txtmj", QStringLiteral("1300"));
    click(form, "cmdrun");
    if (!form.grab().save(out.filePath(QStringLiteral("screenshot-design.png")))) {
        return 1;
    }

    // The printer dialog as 打  印 opens it, in Qt's Chinese texts.
    bool dialog_saved = false;
    QTimer::singleShot(500, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            // Opened out, with the copies and the page choices in view.
            const QString options = QCoreApplication::translate("QPrintDialog", "&Options >>");
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == options) {
                    button->click();
                }
            }
            dialog->adjustSize();
            dialog_saved =
                dialog->grab().save(out.filePath(QStringLiteral("screenshot-print-dialog.png")));
            dialog->close();
        }
    });
    try {
        printer_dialog.set_cancel_error(true);
        printer_dialog.show_printer();
    } catch (const zhuheng::PrintCancelled&) {
    }
    if (!dialog_saved) {
        return 1;
    }

    pick(form, "cbohnt", -1);
    child<QWidget>(form, "cbohnt")->setFocus();
    QTest::keyClick(child<QWidget>(form, "cbohnt"), Qt::Key_Up); // 20号
    click(form, "optpd");
    type(form, "txtag", QStringLiteral("80"));
    type(form, "txtbc", QStringLiteral("0.07"));
    type(form, "txtbi", QStringLiteral("1.6"));
    type(form, "txthi", QStringLiteral("0.12"));
    type(form, "txtb", QStringLiteral("0.18"));
    type(form, "txth", QStringLiteral("1.3"));
    type(form, "txtmj", QStringLiteral("2500"));
    click(form, "cmdrun");
    if (!form.grab().save(out.filePath(QStringLiteral("screenshot-check.png")))) {
        return 1;
    }
    return 0;
}
