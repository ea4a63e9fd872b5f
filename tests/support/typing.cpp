// SPDX-License-Identifier: GPL-3.0-or-later
#include "typing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

QLineEdit* type_text(QWidget* box, const QString& text) {
    QLineEdit* edit = qobject_cast<QLineEdit*>(box);
    if (!edit) {
        edit = static_cast<QComboBox*>(box)->lineEdit();
    }
    box->setFocus();
    edit->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            QTest::keyClicks(box, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(box, &commit);
        }
    }
    return edit;
}

bool choose_item(QComboBox* list, const QString& text) {
    const int row = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row < 0) {
        return false;
    }
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(list->width() - 6, list->height() / 2));
    QAbstractItemView* view = list->view();
    if (!QTest::qWaitForWindowExposed(view->window())) {
        return false;
    }
    for (int guard = 0; view->currentIndex().row() != row && guard < 100; ++guard) {
        QTest::keyClick(view, view->currentIndex().row() < row ? Qt::Key_Down : Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    return true;
}

void click_control(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
}
