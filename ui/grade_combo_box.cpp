// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/grade_combo_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

GradeComboBox::GradeComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // setEditable installs a completer that would rewrite what is typed; the list takes no
    // typed text as a new item either.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &GradeComboBox::on_activated);
}

void GradeComboBox::on_activated() {
    if (!pick_) {
        return;
    }
    pick_ = false;
    emit itemChosen(currentText());
}

void GradeComboBox::hidePopup() {
    QComboBox::hidePopup();
    // The open list closes right before it reports the item picked in it.
    pick_ = true;
}

void GradeComboBox::keyPressEvent(QKeyEvent* event) {
    pick_ = false;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        pick_ = !(event->modifiers() & Qt::AltModifier);
        QComboBox::keyPressEvent(event);
        pick_ = false;
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->ignore(); // Enter in the text part is not a choice
        return;
    default:
        QComboBox::keyPressEvent(event);
    }
}

void GradeComboBox::wheelEvent(QWheelEvent* event) {
    pick_ = false;
    event->ignore(); // the wheel neither chooses nor changes the shown grade
}

void GradeComboBox::focusOutEvent(QFocusEvent* event) {
    pick_ = false;
    QComboBox::focusOutEvent(event);
}

void GradeComboBox::mousePressEvent(QMouseEvent* event) {
    pick_ = false;
    QComboBox::mousePressEvent(event);
}
