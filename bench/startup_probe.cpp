// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up probes, each quitting at its first paint: the program's MainForm; with
// ZHUHENG_MINIMAL_WINDOW one empty window; with ZHUHENG_LABEL_WINDOW an empty window with one
// Chinese label, which costs the font set-up that any text does. bench/startup.py times them.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

#if !defined(ZHUHENG_MINIMAL_WINDOW) && !defined(ZHUHENG_LABEL_WINDOW)
#include "app/program_window.h"
#include "ui/program_setup.h"
#endif

namespace {

// Quits the application when the watched window is painted for the first time.
class QuitOnFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QCoreApplication::quit();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QuitOnFirstPaint quit;
#if defined(ZHUHENG_MINIMAL_WINDOW) || defined(ZHUHENG_LABEL_WINDOW)
    QWidget window;
    window.resize(493, 305);
#ifdef ZHUHENG_LABEL_WINDOW
    QLabel label(QStringLiteral("筑衡"), &window);
#endif
#else
    setup_program(app);
    ProgramWindow program;
    MainForm& window = program.window;
#endif
    window.installEventFilter(&quit);
    window.show();
    return app.exec();
}
