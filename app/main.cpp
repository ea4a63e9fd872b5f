// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_window.h"
#include "ui/program_setup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setup_program(app);
    ProgramWindow program;
    // Direct, so that no event already queued for the window runs after the exit.
    QObject::connect(&program.window, &MainForm::exitRequested, &app, &QCoreApplication::quit,
                     Qt::DirectConnection);
    program.window.show();
    return app.exec();
}
