// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// Replaces the whole text of a text box, or of a list's text part, as a user types it: the old
// text selected and deleted, then printable ASCII key by key and every other character the way
// an input method commits it. Returns the line edit that took the text.
QLineEdit* type_text(QWidget* box, const QString& text);
