// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <variant>

// What the command line of zhuheng-batch asks for.
struct BatchCommand {
    QString table;
    QString results;    // -o; empty: beside the table
    bool pdf = false;   // --pdf: the calc book as a PDF beside the table
    bool odt = false;   // --odt: the calc book as an OpenDocument text beside the table
    bool working = false;
};
struct HelpRequest {};
struct VersionRequest {};
// A command line that asks for nothing sound: why, in Chinese.
struct UsageError {
    QString reason;
};
using CommandLine = std::variant<BatchCommand, HelpRequest, VersionRequest, UsageError>;

// `arguments` as QCoreApplication::arguments() gives them, the program's name first.
CommandLine read_command_line(const QStringList& arguments);

// Whether the command line asks for a calc book, read before the application exists (its
// options are ASCII in any code page): painting its pages needs a GUI application.
bool asks_for_book(int argc, const char* const* argv);

// The text of --help.
QString help_text();
