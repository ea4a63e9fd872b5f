// SPDX-License-Identifier: GPL-3.0-or-later
// A workbook's sheet and shared strings of any bytes, in a well-made archive, read through the
// batch: open_workbook_bytes and run_batch return or throw TableError, nothing else. The bytes
// up to the first NUL are the sheet's rows; those after it the shared strings' items. A header row
// is put before the rows, so that the rows behind it are reached.
#include "batch/batch_run.h"
#include "batch/memory_bytes.h"
#include "batch/xlsx_workbook.h"
#include "workbook_test_support.h"

#include <cstdint>
#include <cstdlib>

using namespace zhuheng::batch;
using namespace zhuheng_test;

namespace {

const QByteArray kHeaderRow = made_row(
    1, "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
       "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray rows = split < 0 ? bytes : bytes.left(split);
    const QByteArray shared = split < 0 ? QByteArray() : bytes.mid(split + 1);
    const QByteArray workbook = made_workbook({{"批量计算", kHeaderRow + rows}}, shared);
    try {
        const auto records = open_workbook_bytes(workbook);
        if (!records) {
            std::abort(); // a zip archive is always a workbook's to read
        }
        StringSink out;
        run_batch(*records, out, BatchOptions{});
    } catch (const TableError&) {
    }
    return 0;
}
