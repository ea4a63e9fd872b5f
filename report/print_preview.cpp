// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/print_preview.h"

#include "report/qt_printing.h"

#include <QAction>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

void PrintPreview::show(QWidget* parent, const std::vector<zhuheng::ReportBlock>& blocks,
                        const std::function<bool()>& print) {
    QPrinter& printer = source_.printer();
    printer.setDocName(kDocumentTitle);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
        // The margins of the report, also after a change of paper in the page setup.
        p->setPageLayout(report_page_layout(p->pageLayout()));
        QPainter painter(p);
        try {
            paint_report(painter, *p, blocks);
        } catch (const zhuheng::PrintError&) {
            // A preview begins no page it could fail on; should one fail, the pages so far show.
        }
    });
    // Qt's print button would print the pages once through the printer with the copy count
    // left on it; the program's print command prints every copy itself, every page, and says
    // when printing fails. The button is the last action of the preview's tool bar.
    for (QToolBar* bar : dialog.findChildren<QToolBar*>()) {
        if (QAction* print_action = bar->actions().value(bar->actions().size() - 1)) {
            QObject::disconnect(print_action, &QAction::triggered, &dialog, nullptr);
            QObject::connect(print_action, &QAction::triggered, &dialog, [&] {
                if (print()) {
                    dialog.accept();
                }
            });
        }
    }
    dialog.exec();
}
