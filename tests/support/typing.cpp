// SPDX-License-Identifier: GPL-3.0-or-later
#include "typing.h"

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
