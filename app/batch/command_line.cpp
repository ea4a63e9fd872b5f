// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch/command_line.h"

#include <cstring>

namespace {

constexpr char kPdfOption[] = "--pdf";
constexpr char kOdtOption[] = "--odt";
constexpr QLatin1String kOutputIs("--output=");

UsageError usage(const QString& reason) {
    return UsageError{reason};
}

} // namespace

CommandLine read_command_line(const QStringList& arguments) {
    BatchCommand command;
    bool have_table = false;
    bool options_end = false;
    bool results_given = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (options_end || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            if (have_table) {
                return usage(QStringLiteral("只能给出一个表格文件，却给出了“%1”和“%2”")
                                 .arg(command.table, word));
            }
            command.table = word;
            have_table = true;
        } else if (word == QLatin1String("--")) {
            options_end = true;
        } else if (word == QLatin1String("-h") || word == QLatin1String("--help")) {
            return HelpRequest{};
        } else if (word == QLatin1String("--version")) {
            return VersionRequest{};
        } else if (word == QLatin1String("-o") || word == QLatin1String("--output")) {
            if (i + 1 == arguments.size()) {
                return usage(QStringLiteral("选项“%1”后缺少结果文件的名称").arg(word));
            }
            command.results = arguments[++i];
            results_given = true;
        } else if (word.startsWith(kOutputIs)) {
            command.results = word.mid(kOutputIs.size());
            results_given = true;
        } else if (word == QLatin1String(kPdfOption)) {
            command.pdf = true;
        } else if (word == QLatin1String(kOdtOption)) {
            command.odt = true;
        } else if (word == QLatin1String("--working")) {
            command.working = true;
        } else {
            return usage(QStringLiteral("未知的选项“%1”").arg(word));
        }
    }
    if (!have_table) {
        return usage(QStringLiteral("缺少表格文件"));
    }
    if (results_given && command.results.isEmpty()) {
        return usage(QStringLiteral("结果文件的名称是空的"));
    }
    if (command.working && !command.pdf && !command.odt) {
        return usage(QStringLiteral("“--working”只用于计算书：请同时给出“--pdf”或“--odt”"));
    }
    return command;
}

bool asks_for_book(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kPdfOption) == 0 || std::strcmp(argv[i], kOdtOption) == 0) {
            return true;
        }
    }
    return false;
}

QString help_text() {
    return QStringLiteral(
        "用法：zhuheng-batch [选项] 表格.csv\n"
        "\n"
        "逐行计算表格中的每一根梁（配筋计算或强度复核），结果写入表格旁的“<名称>-结果.csv”\n"
        "（表格为 Excel 工作簿时为“<名称>-结果.xlsx”）：表格的每一行原样照录，后接计算结果和提示。\n"
        "表格已含结果列时，逐行核对并注明一致与否。\n"
        "\n"
        "表格为 Excel 工作簿（.xlsx，读“批量计算”工作表或第一个工作表）或 CSV（逗号分隔，UTF-8 或\n"
        "GBK 编码），首行为列名：计算类型、混凝土标号、钢筋等级、\n"
        "钢筋强度（MPa）、钢筋面积（cm2）、保护层厚度（m）、翼缘宽度（m）、翼缘厚度（m）、\n"
        "梁肋宽度（m）、梁体高度（m）、承受弯矩（KN.m），可另加“编号”。\n"
        "\n"
        "选项：\n"
        "  -o, --output 文件  结果写入这个文件，而不是表格旁的“<名称>-结果.csv”；\n"
        "                     文件名以 .xlsx 结尾时写成 Excel 工作簿\n"
        "  --pdf              另在表格旁写出计算书“<名称>-计算书.pdf”\n"
        "  --odt              另在表格旁写出计算书“<名称>-计算书.odt”（OpenDocument 文本）\n"
        "  --working          计算书中每一行的计算单附上计算过程和截面图\n"
        "  -h, --help         显示本说明\n"
        "  --version          显示版本\n"
        "\n"
        "结果文件和计算书或者完整写出，或者不写：原有的同名文件保持不变。\n"
        "\n"
        "退出状态：\n"
        "  0  每一行都已计算，表中给出的结果全部一致\n"
        "  1  有的行单元格有误或核对不一致（结果照样写出）\n"
        "  2  用法有误，或表格无法读取\n"
        "  3  结果文件或计算书无法写入\n");
}
