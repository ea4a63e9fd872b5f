// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the window after a design run and after a check run of the worked examples into PNG
// files, the printer dialog as 打  印 opens it, 打  印's menu, the print preview and a page of the
// working as the preview shows it: zhuheng-screenshots OUTPUT_DIR. Drives the program's own
// window, wired as the program wires it, with the input events of a user.
#include "app/program_window.h"
#include "batch_screenshots.h"
#include "menu_picture.h"
#include "typing.h"
#include "ui/program_setup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

struct Step {
    const char* name;
    const char* text; // typed into a box or chosen from a list; nullptr for a click
};

bool play(MainForm& form, std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        QWidget* control = form.findChild<QWidget*>(QString::fromLatin1(step.name));
        if (!control) {
            std::fprintf(stderr, "no control %s\n", step.name);
            return false;
        }
        const QString text = QString::fromUtf8(step.text ? step.text : "");
        if (!step.text) {
            click_control(control);
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            if (!choose_item(list, text)) {
                std::fprintf(stderr, "cannot choose %s in %s\n", step.text, step.name);
                return false;
            }
        } else {
            type_text(control, text);
        }
    }
    return true;
}

// Opens 打  印's menu as a keyboard user does: Shift+F10 on the focused button.
QMenu* open_print_menu(MainForm& form) {
    QWidget* print = form.findChild<QWidget*>(QStringLiteral("cmdprint"));
    print->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) {
        std::fprintf(stderr, "the menu of cmdprint did not open\n");
    }
    return menu;
}

// The window with 打  印's menu open, the working ticked. The menu is a window of its own: it is
// painted over the window where it stands on the screen, so that the picture shows which button
// it belongs to.
bool save_print_menu(MainForm& form, const QString& file) {
    QMenu* menu = open_print_menu(form);
    if (!menu) {
        return false;
    }
    QTest::keyClick(menu, Qt::Key_J);
    menu = open_print_menu(form);
    if (!menu || !menu->actions().back()->isChecked() || !QTest::qWaitForWindowExposed(menu)) {
        std::fprintf(stderr, "the working is not ticked in the menu\n");
        return false;
    }
    const QPixmap picture = window_with_menu(form, *menu);
    QTest::keyClick(menu, Qt::Key_Escape);
    return picture.save(file);
}

// The preview as 打印预览 opens it, and then, in the same preview made tall and set to one page,
// the page that holds the working (the second: the sheet is one page). Closing it prints nothing.
bool save_preview(MainForm& form, const QString& preview_file, const QString& working_file) {
    QMenu* menu = open_print_menu(form);
    if (!menu) {
        return false;
    }
    bool saved = false;
    QTimer::singleShot(500, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* pages = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
        if (!pages) {
            std::fprintf(stderr, "the preview did not open\n");
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        dialog->resize(900, 640);
        QTest::qWait(300);
        saved = dialog->grab().save(preview_file);
        if (pages->pageCount() < 2) {
            std::fprintf(stderr, "the preview shows %d page(s), no working\n", pages->pageCount());
            saved = false;
        }
        pages->setViewMode(QPrintPreviewWidget::SinglePageView);
        pages->setCurrentPage(2);
        dialog->resize(860, 1180);
        QTest::qWait(300);
        pages->fitInView(); // to the size the preview now has
        QTest::qWait(300);
        saved = saved && pages->grab().save(working_file);
        dialog->reject();
    });
    QTest::keyClick(menu, Qt::Key_V);
    return saved;
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
    ProgramWindow program;
    MainForm& form = program.window;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        return 1;
    }
    // The worked examples show no message; one that appears would wait for an answer for ever.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            std::exit(1);
        }
    });
    watchdog.start(200);

    if (!play(form, {{"cbohnt", "25号"},
                     {"cbodj", "Ⅱ级"},
                     {"optpj", nullptr},
                     {"txtbc", "0.05"},
                     {"txtbi", "1.0"},
                     {"txthi", "0.15"},
                     {"txtb", "0.2"},
                     {"txth", "0.8"},
                     {"txtmj", "1300"},
                     {"cmdrun", nullptr}}) ||
        !form.grab().save(out.filePath(QStringLiteral("screenshot-design.png")))) {
        return 1;
    }

    // The printer dialog as 打  印 opens it, in Qt's Chinese texts, opened out with the copies
    // and the page choices in view; closing it cancels the print.
    bool dialog_saved = false;
    QTimer::singleShot(500, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
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
    if (!play(form, {{"cmdprint", nullptr}}) || !dialog_saved) {
        return 1;
    }

    // 打  印's menu with the working ticked, then the preview of the sheet with its working.
    if (!save_print_menu(form, out.filePath(QStringLiteral("screenshot-print-menu.png"))) ||
        !save_preview(form, out.filePath(QStringLiteral("screenshot-print-preview.png")),
                      out.filePath(QStringLiteral("screenshot-working-page.png")))) {
        return 1;
    }

    if (!play(form, {{"cbohnt", "20号"},
                     {"optpd", nullptr},
                     {"txtag", "80"},
                     {"txtbc", "0.07"},
                     {"txtbi", "1.6"},
                     {"txthi", "0.12"},
                     {"txtb", "0.18"},
                     {"txth", "1.3"},
                     {"txtmj", "2500"},
                     {"cmdrun", nullptr}}) ||
        !form.grab().save(out.filePath(QStringLiteral("screenshot-check.png")))) {
        return 1;
    }

    // 计  算's menu, and the summary of a table run from it: the summary is a message box.
    watchdog.stop();
    if (!save_batch_pictures(form, out.filePath(QStringLiteral("screenshot-batch-menu.png")),
                             out.filePath(QStringLiteral("screenshot-batch-summary.png")))) {
        return 1;
    }
    return 0;
}
