// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"

#include <string>

namespace zhuheng::batch {

// The refusal of a compound file (its bytes begin D0 CF 11 E0): an old workbook (.xls), or a
// workbook with a password to open, which Excel and WPS keep encrypted in a compound file.
// Tells them apart by the streams the file names; reads `in` from its start.
std::string compound_file_refusal(ByteSource& in);

} // namespace zhuheng::batch
