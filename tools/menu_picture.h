// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

// The window with a menu open over it, as the screen shows them: the menu is a window of its own,
// painted over the window where it stands.
inline QPixmap window_with_menu(QWidget& window, QMenu& menu) {
    const QRect window_area(window.mapToGlobal(QPoint(0, 0)), window.size());
    const QRect area = window_area.united(menu.geometry());
    QPixmap picture(area.size());
    picture.fill(window.palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.drawPixmap(window_area.topLeft() - area.topLeft(), window.grab());
    painter.drawPixmap(menu.geometry().topLeft() - area.topLeft(), menu.grab());
    return picture;
}
