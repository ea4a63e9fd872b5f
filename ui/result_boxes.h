// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui_mainform.h"

// The result boxes of the window, each by its name and its member of Ui::MainForm, in the order
// the Calculate command writes and empties them. The Calculate command, the window's load step
// and the tests all use these lists.
struct ResultBox {
    const char* name;
    QLineEdit* Ui_MainForm::*box;
};

#define ZHUHENG_RESULT_BOX(name)                                                                   \
    ResultBox {                                                                                    \
#name, &Ui_MainForm::name                                                                  \
    }

// Steel area, ratio, compression-zone height, then the bar counts of 12 to 34 mm.
inline constexpr ResultBox kDesignResultBoxes[] = {
    ZHUHENG_RESULT_BOX(txtagl), ZHUHENG_RESULT_BOX(txtupj), ZHUHENG_RESULT_BOX(txtx),
    ZHUHENG_RESULT_BOX(txtd12), ZHUHENG_RESULT_BOX(txtd14), ZHUHENG_RESULT_BOX(txtd16),
    ZHUHENG_RESULT_BOX(txtd18), ZHUHENG_RESULT_BOX(txtd20), ZHUHENG_RESULT_BOX(txtd22),
    ZHUHENG_RESULT_BOX(txtd25), ZHUHENG_RESULT_BOX(txtd28), ZHUHENG_RESULT_BOX(txtd30),
    ZHUHENG_RESULT_BOX(txtd32), ZHUHENG_RESULT_BOX(txtd34)};

// Compression-zone height, ultimate moment, verdict.
inline constexpr ResultBox kCheckResultBoxes[] = {
    ZHUHENG_RESULT_BOX(txtxpd), ZHUHENG_RESULT_BOX(txtmpd), ZHUHENG_RESULT_BOX(txtpd)};

#undef ZHUHENG_RESULT_BOX
