// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_window.h"
#include "ui/program_setup.h"

#include <QApplication>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // Held while the program runs, in every session: the installer and the uninstaller look for
    // it (RUNNING_MUTEX in app/windows/installer.nsi) and ask to close the program before they
    // replace or remove its files. Windows releases it when the process ends, however it ends.
    CreateMutexW(nullptr, FALSE, L"Global\\Zhuheng.Running");
#endif
    QApplication app(argc, argv);
    setup_program(app);
    ProgramWindow program;
    // Direct, so that no event already queued for the window runs after the exit.
    QObject::connect(&program.window, &MainForm::exitRequested, &app, &QCoreApplication::quit,
                     Qt::DirectConnection);
    program.window.show();
    return app.exec();
}
