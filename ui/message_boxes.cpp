// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_boxes.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {
QMessageBox::Icon qt_icon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}
} // namespace

void QtMessageBoxes::show_message(MessageIcon icon, const QString& text) {
    QMessageBox box(qt_icon(icon), QStringLiteral("筑衡"), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtMessageBoxes::ask_question(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("筑衡"), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    // Replacing a file is not undone: a stray Enter keeps it.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageBoxes::show_written(MessageIcon icon, const QString& text, const QString& written) {
    QMessageBox box(qt_icon(icon), QStringLiteral("筑衡"), text, QMessageBox::NoButton, parent_);
    QPushButton* open = box.addButton(QStringLiteral("打开结果"), QMessageBox::ActionRole);
    box.addButton(QStringLiteral("关闭"), QMessageBox::RejectRole);
    box.setDefaultButton(open);
    box.exec();
    if (box.clickedButton() == open) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(written));
    }
}
