// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QComboBox;
class QLineEdit;
class QWidget;

// How a user's input reaches the window's controls, shared by the window tests, the scenario
// runner and the screenshot renderer.

// Replaces the whole text of a text box, or of a list's text part, as a user types it: the old
// text selected and deleted, then printable ASCII key by key and every other character the way
// an input method commits it. Returns the line edit that took the text.
QLineEdit* type_text(QWidget* box, const QString& text);

// Chooses the item `text` of a list as a user does: opens the list with the mouse, walks to the
// item with the arrow keys and takes it with Enter. Returns false when the list has no such item
// or does not open.
bool choose_item(QComboBox* list, const QString& text);

// Clicks a push button or an option button with the mouse, near its left edge.
void click_control(QWidget* control);
