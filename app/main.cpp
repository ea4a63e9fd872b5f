#include "report/qt_printing.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtMessageBoxes messages;
    PrinterSource printer;
    QtPrinterDialog printer_dialog(printer);
    QtReportPrinter report_printer(printer);
    MainForm window(messages, printer_dialog, report_printer);
    messages.set_parent(&window);
    printer_dialog.set_parent(&window);
    // Direct, so that no event already queued for the window runs after the exit.
    QObject::connect(&window, &MainForm::exitRequested, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}
