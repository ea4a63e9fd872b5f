#include "ui/main_form.h"
#include "ui/message_boxes.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtMessageBoxes messages;
    MainForm window(messages);
    messages.set_parent(&window);
    QObject::connect(&window, &MainForm::exitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
