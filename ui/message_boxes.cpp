// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_boxes.h"

#include <QMessageBox>

void QtMessageBoxes::show_message(MessageIcon icon, const QString& text) {
    QMessageBox::Icon qt_icon = QMessageBox::Information;
    if (icon == MessageIcon::Warning) {
        qt_icon = QMessageBox::Warning;
    } else if (icon == MessageIcon::Critical) {
        qt_icon = QMessageBox::Critical;
    }
    QMessageBox box(qt_icon, QStringLiteral("筑衡"), text, QMessageBox::Ok, parent_);
    box.exec();
}
