// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/table_columns.h"

#include "batch/batch_run.h"
#include "engine/text_to_number.h"

namespace zhuheng::batch {

namespace {

// A caption as it is compared: no blanks around it, half-width brackets, Latin letters in
// lower case.
std::string caption_key(std::string_view caption) {
    caption = trim_blanks(caption);
    std::string key;
    key.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption.substr(i, 3) == "（") {
            key += '(';
            i += 2;
        } else if (caption.substr(i, 3) == "）") {
            key += ')';
            i += 2;
        } else if (caption[i] >= 'A' && caption[i] <= 'Z') {
            key += static_cast<char>(caption[i] - 'A' + 'a');
        } else {
            key += caption[i];
        }
    }
    return key;
}

// The kinds of known columns, each of which may appear once.
enum class Known { Input, Label, Result, Dropped };
struct KnownColumn {
    std::string key;
    Known kind;
    std::size_t index; // into the inputs or the results
    std::string_view name;
};

std::vector<KnownColumn> known_columns() {
    std::vector<KnownColumn> known;
    for (std::size_t i = 0; i < kInputColumnCount; ++i) {
        known.push_back({caption_key(kInputCaptions[i]), Known::Input, i, kInputCaptions[i]});
    }
    known.push_back({caption_key(kLabelCaption), Known::Label, 0, kLabelCaption});
    for (std::size_t i = 0; i < kResultCount; ++i) {
        known.push_back({caption_key(kResultNames[i]), Known::Result, i, kResultNames[i]});
    }
    // What an earlier run wrote beside its results: written afresh, never echoed.
    for (const std::string_view name : {kNoteName, kAgreementName, kDifferencesName}) {
        known.push_back({caption_key(name), Known::Dropped, 0, name});
    }
    return known;
}

std::string column_text(std::size_t index) {
    return "第 " + std::to_string(index + 1) + " 列";
}

} // namespace

TableColumns read_header(const std::vector<std::string>& header, std::size_t line) {
    static const std::vector<KnownColumn> known = known_columns();
    TableColumns columns;
    columns.width = header.size();
    std::vector<std::optional<std::size_t>> seen(known.size());
    std::string doubled;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string key = caption_key(header[i]);
        std::size_t k = 0;
        while (k < known.size() && known[k].key != key) {
            ++k;
        }
        if (k == known.size()) {
            columns.echoed.push_back(i);
            continue;
        }
        if (seen[k]) {
            doubled += (doubled.empty() ? "" : "；") + std::string("“") +
                       std::string(known[k].name) + "”在" + column_text(*seen[k]) + "和" +
                       column_text(i);
            continue;
        }
        seen[k] = i;
        switch (known[k].kind) {
        case Known::Input:
            columns.input[known[k].index] = i;
            columns.echoed.push_back(i);
            break;
        case Known::Label:
            columns.label = i;
            columns.echoed.push_back(i);
            break;
        case Known::Result:
            columns.given[known[k].index] = i;
            columns.compares = true;
            break;
        case Known::Dropped:
            break;
        }
    }
    std::string missing;
    for (std::size_t k = 0; k < kInputColumnCount; ++k) {
        if (!seen[k]) {
            missing += (missing.empty() ? "" : "、") + std::string(kInputCaptions[k]);
        }
    }
    const std::string where = "第 " + std::to_string(line) + " 行的表头";
    if (!doubled.empty()) {
        throw TableError(where + "有重复的列：" + doubled + "。每一列只能出现一次。");
    }
    if (!missing.empty()) {
        throw TableError(where + "缺少这些列：" + missing +
                         "。表格的第一行应是表头，各列以窗口上的名称命名，顺序不限。");
    }
    return columns;
}

} // namespace zhuheng::batch
