// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// How a control of the window is described by the tests: its kind ("window", "frame", "label",
// "textbox", "combo", "option", "button", or "other") and its caption or current text.
const char* control_kind(const QWidget* w);
QString control_text(const QWidget* w);
