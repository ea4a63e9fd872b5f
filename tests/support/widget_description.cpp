// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget_description.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

const char* control_kind(const QWidget* w) {
    if (w->isWindow()) {
        return "window";
    }
    if (qobject_cast<const QGroupBox*>(w)) {
        return "frame";
    }
    if (qobject_cast<const QLabel*>(w)) {
        return "label";
    }
    if (qobject_cast<const QLineEdit*>(w)) {
        return "textbox";
    }
    if (qobject_cast<const QComboBox*>(w)) {
        return "combo";
    }
    if (qobject_cast<const QRadioButton*>(w)) {
        return "option";
    }
    if (qobject_cast<const QPushButton*>(w)) {
        return "button";
    }
    return "other";
}

QString control_text(const QWidget* w) {
    if (w->isWindow()) {
        return w->windowTitle();
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(w)) {
        return frame->title();
    }
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* list = qobject_cast<const QComboBox*>(w)) {
        return list->currentText();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    return {};
}
