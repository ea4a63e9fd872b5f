// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class MainForm;

// 计  算's menu over the window, into `menu_file`; then a small table run from that menu, and the
// program's summary box it ends with, into `summary_file`. False, with the reason on standard error, when either is not drawn.
bool save_batch_pictures(MainForm& form, const QString& menu_file, const QString& summary_file);
