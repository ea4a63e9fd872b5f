// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Workbooks made by hand with Qt's zip writer, as Excel lays them out, and run through the batch.

#include "batch/xlsx_workbook.h"
#include "batch_test_support.h"
#include "engine/text_to_number.h"

#include <QBuffer>
#include <private/qzipreader_p.h>
#include <private/qzipwriter_p.h>

#include <string>
#include <vector>

namespace zhuheng_test {

struct MadeSheet {
    QString name;
    QByteArray rows; // the <row>s of its sheetData
};

// A workbook of `sheets` in their order, with `shared` as its shared strings' <si>s (none: no
// sharedStrings part).
inline QByteArray made_workbook(const std::vector<MadeSheet>& sheets, const QByteArray& shared = {}) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QZipWriter zip(&out);
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    zip.addFile(QStringLiteral("_rels/.rels"),
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" Type=\"" + rel + "officeDocument\" Target=\"xl/workbook.xml\"/>"
                "</Relationships>");
    QByteArray list;
    QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(static_cast<int>(i) + 1);
        list += "<sheet name=\"" + sheets[i].name.toUtf8() + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel + "worksheet\" Target=\"/xl/worksheets/sheet" + n + ".xml\"/>";
        zip.addFile(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet " + ns + "><sheetData>" +
                        sheets[i].rows + "</sheetData></worksheet>");
    }
    if (!shared.isEmpty()) {
        rels += "<Relationship Id=\"rIdS\" Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        zip.addFile(QStringLiteral("xl/sharedStrings.xml"), "<sst " + ns + ">" + shared + "</sst>");
    }
    zip.addFile(QStringLiteral("xl/_rels/workbook.xml.rels"), rels + "</Relationships>");
    zip.addFile(QStringLiteral("xl/workbook.xml"), "<workbook " + ns + "><sheets>" + list + "</sheets></workbook>");
    zip.close();
    return out.data();
}

// A row of a CSV table as a sheet's cells without references (each in the column after the one
// before): numbers as numbers, other texts as inline strings; `extra` (cells with their
// references) after them.
inline QByteArray made_row(int r, std::string_view csv, const QByteArray& extra = {}) {
    QByteArray row = "<row r=\"" + QByteArray::number(r) + "\">";
    for (std::size_t from = 0; from <= csv.size();) {
        const std::size_t end = std::min(csv.find(',', from), csv.size());
        const QByteArray cell = QByteArray::fromStdString(std::string(csv.substr(from, end - from)));
        if (cell.isEmpty()) {
            row += "<c/>";
        } else if (zhuheng::whole_number(cell.toStdString())) {
            row += "<c><v>" + cell + "</v></c>";
        } else {
            row += "<c t=\"inlineStr\"><is><t>" + cell + "</t></is></c>";
        }
        from = end + 1;
    }
    return row + extra + "</row>";
}

inline Ran run_workbook(const QByteArray& bytes, BatchOptions options = {}) {
    const std::unique_ptr<RecordSource> records = open_workbook_bytes(bytes);
    if (!records) {
        ADD_FAILURE() << "not read as a workbook";
        return {};
    }
    return run_source(*records, std::move(options));
}

// The TableError that opening or running the workbook throws ("" for none).
inline std::string workbook_refusal(const QByteArray& bytes) {
    try {
        run_workbook(bytes);
    } catch (const TableError& e) {
        return e.what();
    }
    return {};
}

} // namespace zhuheng_test
