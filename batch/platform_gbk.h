// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"

namespace zhuheng::batch {

// The platform's decoder of code page 936 (GBK), which rejects bytes that are not GBK instead of
// replacing them: Qt's ICU converter on Linux, the system's code page 936 on Windows (never the
// system's ANSI code page, whatever it is). Empty where the platform has none.
GbkDecoder platform_gbk_decoder();

} // namespace zhuheng::batch
