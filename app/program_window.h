// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/print_preview.h"
#include "report/qt_printing.h"
#include "ui/batch_dialogs.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/save_dialog.h"

// The window as the program runs it, with the real message boxes, printer dialog and printer.
// The start-up probe builds this same object.
struct ProgramWindow {
    ProgramWindow() {
        messages.set_parent(&window);
        printer_dialog.set_parent(&window);
        save_dialog.set_parent(&window);
        batch_dialogs.set_parent(&window);
    }

    QtMessageBoxes messages;
    PrinterSource printer;
    QtPrinterDialog printer_dialog{printer};
    QtReportPrinter report_printer{printer};
    QtSaveDialog save_dialog;
    PrintPreview preview{printer};
    QtBatchDialogs batch_dialogs;
    MainForm window{messages, printer_dialog, report_printer, save_dialog, preview, batch_dialogs};
};
