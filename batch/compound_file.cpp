// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/compound_file.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zhuheng::batch {

namespace {

// A stream's name as the file's directory holds it: UTF-16 LE.
std::string utf16le(std::string_view ascii) {
    std::string name;
    for (const char c : ascii) {
        name += c;
        name += '\0';
    }
    return name;
}

} // namespace

std::string compound_file_refusal(ByteSource& in) {
    // An encrypted workbook keeps its package in the stream EncryptedPackage; an old workbook its
    // sheets in Workbook (Excel 97 and later) or Book (Excel 5).
    const std::string encrypted = utf16le("EncryptedPackage");
    const std::array<std::string, 2> old_names = {utf16le("Workbook"), utf16le("Book")};
    bool old = false;
    std::string window;
    std::array<char, 1 << 16> buffer{};
    in.rewind();
    for (std::size_t n = 0; (n = in.read(buffer.data(), buffer.size())) != 0;) {
        window.append(buffer.data(), n);
        if (window.find(encrypted) != std::string::npos) {
            return "这个工作簿设有打开密码（已加密），无法读取。请在 Excel 或 WPS 中打开它，"
                   "取消打开密码后保存，再试。";
        }
        for (const std::string& name : old_names) {
            old = old || window.find(name) != std::string::npos;
        }
        // A name cut by the end of this read is whole with the next one.
        window.erase(0, window.size() - std::min(window.size(), encrypted.size()));
    }
    if (old) {
        return "这是一个旧版 Excel 工作簿（.xls），无法直接读取。请在 Excel 或 WPS 中打开它，"
               "“另存为”Excel 工作簿（.xlsx）或 CSV UTF-8（逗号分隔）后再试。";
    }
    return "这是一个旧版 Office 文件（如旧版 Excel 工作簿 .xls）或设有打开密码的工作簿，"
           "无法读取。请在 Excel 或 WPS 中打开它，取消打开密码，“另存为”Excel 工作簿（.xlsx）"
           "或 CSV UTF-8（逗号分隔）后再试。";
}

} // namespace zhuheng::batch
