// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_test_support.h"

#include "typing.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

std::optional<ScriptedMessages::Box> ScriptedMessages::next(Kind kind, MessageIcon icon,
                                                           const QString& text,
                                                           const QString& written) {
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected message box: " << text.toStdString();
        return std::nullopt;
    }
    const Box box = expected_.front();
    expected_.pop_front();
    EXPECT_EQ(text.toStdString(), box.text.toStdString());
    EXPECT_EQ(kind == Kind::Question, box.kind == Kind::Question) << text.toStdString();
    EXPECT_EQ(static_cast<int>(icon), static_cast<int>(box.icon)) << text.toStdString();
    EXPECT_EQ(written.toStdString(), box.written.toStdString()) << text.toStdString();
    return box;
}

void ScriptedMessages::show_message(MessageIcon icon, const QString& text) {
    next(Kind::Message, icon, text, {});
}

bool ScriptedMessages::ask_question(const QString& text) {
    const std::optional<Box> box = next(Kind::Question, MessageIcon::Information, text, {});
    return box && box->yes;
}

void ScriptedMessages::show_written(MessageIcon icon, const QString& text,
                                    const QString& written) {
    next(Kind::Message, icon, text, written);
}

void MainFormTest::SetUp() {
    show_form(printer_dialog);
    // A real modal widget would block an offscreen test for ever: unless the test expects it,
    // close it and fail.
    modal_watch_.setInterval(200);
    QObject::connect(&modal_watch_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        if (!modal_answers_.empty()) {
            const auto answer = std::move(modal_answers_.front());
            modal_answers_.pop_front();
            answer(modal);
            return;
        }
        ADD_FAILURE() << "a modal window was left unanswered: " << modal->metaObject()->className();
        modal->close();
    });
    modal_watch_.start();
}

void MainFormTest::TearDown() {
    modal_watch_.stop();
    EXPECT_TRUE(messages.all_shown()) << "an expected message box was never shown";
    EXPECT_TRUE(modal_answers_.empty()) << "an expected modal window was never shown";
    form.reset();
}

void MainFormTest::show_form(zhuheng::PrinterDialog& dialog) {
    form = std::make_unique<MainForm>(messages, dialog, printer, save_dialog, preview,
                                      batch_dialogs);
    form->show();
    // On X11 (the screen reader's test) a window takes the focus only once it is mapped.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
}

void MainFormTest::use_printer_dialog(zhuheng::PrinterDialog& dialog) {
    form.reset();
    show_form(dialog);
}

void MainFormTest::type(const char* name, const QString& text) {
    QWidget* w = widget(name);
    ASSERT_TRUE(w);
    ASSERT_EQ(type_text(w, text)->text(), text);
}

void MainFormTest::click(const char* name) {
    QWidget* w = widget(name);
    ASSERT_TRUE(w);
    click_control(w);
}

void MainFormTest::pick_by_keys(const char* name, int index) {
    QWidget* w = widget(name);
    ASSERT_TRUE(w);
    w->setFocus();
    for (int i = 0; i <= index; ++i) {
        QTest::keyClick(w, Qt::Key_Down);
    }
}

void MainFormTest::pick_by_mouse(const char* name, const QString& item) {
    QComboBox* list = widget<QComboBox>(name);
    ASSERT_TRUE(list);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(list->width() - 6, list->height() / 2));
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const int row = list->findText(item, Qt::MatchExactly);
    ASSERT_GE(row, 0);
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    // A release too soon after the press that opened the list is ignored by Qt.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_FALSE(view->isVisible());
}

QString MainFormTest::text(const char* name) const {
    QWidget* w = widget(name);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* list = qobject_cast<QComboBox*>(w)) {
        return list->currentText();
    }
    ADD_FAILURE() << name << " has no text";
    return {};
}
