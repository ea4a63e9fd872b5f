// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the tests that show the program's widgets or print its report: one QApplication set
// up as the program sets up its own, so that they run in the program's face and with Qt's
// Chinese texts.
#include "ui/program_setup.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    setup_program(app);
    return RUN_ALL_TESTS();
}
