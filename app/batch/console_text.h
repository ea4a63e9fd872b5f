// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class ConsoleStream { Output, Errors };

// Writes `text` so that a Windows console shows its Chinese (as UTF-16 to the console itself);
// to a file, a pipe or a Linux terminal as UTF-8 bytes.
void write_console(ConsoleStream stream, const QString& text);

// Whether `stream` goes to a terminal (a console window on Windows), where progress is shown.
bool is_terminal(ConsoleStream stream);
