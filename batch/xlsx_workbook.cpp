// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/xlsx_workbook.h"

#include "batch/batch_run.h"
#include "batch/sheet_rows.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <private/qzipreader_p.h>

#include <algorithm>

namespace zhuheng::batch {

namespace {

// Beyond this a part is no table of beams, and would not fit in memory as a whole.
constexpr qint64 kLargestPart = qint64(1) << 31;
constexpr char16_t kChosenSheet[] = u"批量计算";

std::string utf8(QStringView text) {
    return text.toUtf8().toStdString();
}

// The parts of the workbook's zip archive, each unpacked whole.
class Archive {
public:
    explicit Archive(QZipReader& zip) : zip_(zip) {
        for (const QZipReader::FileInfo& info : zip.fileInfoList()) {
            if (info.isFile) {
                sizes_.insert(info.filePath, info.size);
            }
        }
        if (zip.status() != QZipReader::NoError || sizes_.isEmpty()) {
            damaged_workbook("它不是一个完整的 zip 压缩文件");
        }
    }

    QByteArray part(const QString& name) const {
        const auto size = sizes_.constFind(name);
        if (size == sizes_.constEnd()) {
            damaged_workbook("缺少其中的 " + utf8(name));
        }
        if (*size > kLargestPart) {
            throw TableError("工作簿中的 " + utf8(name) +
                             " 解压后超过 2 GB，这不像是一张梁的表格，无法读取。");
        }
        QByteArray data = zip_.fileData(name);
        if (data.size() != *size) {
            damaged_workbook("其中的 " + utf8(name) + " 无法解压");
        }
        return data;
    }

private:
    QZipReader& zip_;
    QHash<QString, qint64> sizes_;
};

void check_xml(const QXmlStreamReader& xml, const QString& part) {
    if (xml.hasError()) {
        damaged_workbook("其中的 " + utf8(part) + " 第 " + std::to_string(xml.lineNumber()) +
                         " 行不是完好的 XML");
    }
}

struct Relation {
    QString type;
    QString part; // the target as a name in the archive
};

// The relationships of `part` ("" for the package's own), by their Id.
QHash<QString, Relation> relations_of(const Archive& archive, const QString& part) {
    const QString folder = part.left(part.lastIndexOf(QChar('/')) + 1);
    const QString rels = folder + QStringLiteral("_rels/") + part.mid(folder.size()) +
                         QStringLiteral(".rels");
    QXmlStreamReader xml(archive.part(rels));
    QHash<QString, Relation> relations;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship") {
            const QXmlStreamAttributes a = xml.attributes();
            const QString target = a.value(QLatin1String("Target")).toString();
            const QString path = target.startsWith(QChar('/')) ? target.mid(1) : folder + target;
            relations.insert(a.value(QLatin1String("Id")).toString(),
                             {a.value(QLatin1String("Type")).toString(), QDir::cleanPath(path)});
        }
    }
    check_xml(xml, rels);
    return relations;
}

// The part of the first relation of `type` (the end of its type's URI, which differs between
// the workbook's two dialects); "" for none.
QString related_part(const QHash<QString, Relation>& relations, const QString& type) {
    for (const Relation& relation : relations) {
        if (relation.type.endsWith(QStringLiteral("/") + type)) {
            return relation.part;
        }
    }
    return {};
}

// At the start of an <si> or an <is>: the text of its runs, phonetic guides left out; ends at
// its end.
QString string_item(QXmlStreamReader& xml) {
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t") {
            text += xml.readElementText();
        } else if (xml.name() == u"r") {
            text += string_item(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
    return text;
}

std::vector<std::string> shared_strings(const Archive& archive, const QString& part) {
    std::vector<std::string> strings;
    if (part.isEmpty()) {
        return strings;
    }
    QXmlStreamReader xml(archive.part(part));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si") {
            strings.push_back(unescaped_text(utf8(string_item(xml))));
        }
    }
    check_xml(xml, part);
    return strings;
}

// The worksheet named 批量计算, or else the first worksheet.
QString chosen_sheet(const Archive& archive, const QString& workbook,
                     const QHash<QString, Relation>& relations) {
    QXmlStreamReader xml(archive.part(workbook));
    QString first;
    QString named;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"sheet") {
            continue;
        }
        // r:id, in the namespace of relationships (its prefix may be any).
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto id = std::find_if(attributes.begin(), attributes.end(), [](const auto& a) {
            return a.name() == u"id" && !a.namespaceUri().isEmpty();
        });
        const auto relation = id == attributes.end() ? relations.constEnd()
                                                     : relations.constFind(id->value().toString());
        if (relation == relations.constEnd() || !relation->type.endsWith(u"/worksheet")) {
            continue; // a chart sheet, a dialog sheet
        }
        if (first.isEmpty()) {
            first = relation->part;
        }
        if (named.isEmpty() && attributes.value(QLatin1String("name")) == QStringView(kChosenSheet)) {
            named = relation->part;
        }
    }
    check_xml(xml, workbook);
    if (first.isEmpty()) {
        throw TableError("这个工作簿里没有工作表。");
    }
    return named.isEmpty() ? first : named;
}

// The rows of a worksheet, read from its XML as they are asked for.
class SheetRecords : public RecordSource {
public:
    // The XML is read through a device, which the reader decodes piece by piece (given the bytes
    // whole it would hold them decoded whole, twice their size again).
    SheetRecords(QByteArray sheet, QString part, std::vector<std::string> shared)
        : sheet_(std::move(sheet)), part_(std::move(part)), rows_(std::move(shared)) {
        device_.setBuffer(&sheet_);
        device_.open(QIODevice::ReadOnly);
        xml_.setDevice(&device_);
    }

    bool next(Record& record) override {
        bool in_row = false;
        while (!ended_) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            check_xml(xml_, part_);
            if (token == QXmlStreamReader::StartElement && xml_.name() == u"row") {
                rows_.start_row(utf8(xml_.attributes().value(QLatin1String("r"))), record);
                in_row = true;
            } else if (token == QXmlStreamReader::StartElement && in_row && xml_.name() == u"c") {
                read_cell(record);
            } else if (token == QXmlStreamReader::EndElement && xml_.name() == u"row") {
                in_row = false;
                if (holds_something(record)) {
                    return true;
                }
            } else {
                ended_ = xml_.atEnd() ||
                         (token == QXmlStreamReader::EndElement && xml_.name() == u"sheetData");
            }
        }
        return false;
    }
    std::uint64_t done() const override {
        return ended_ ? total() : static_cast<std::uint64_t>(device_.pos());
    }
    std::uint64_t total() const override { return static_cast<std::uint64_t>(sheet_.size()); }

private:
    void read_cell(Record& record) {
        const QXmlStreamAttributes attributes = xml_.attributes();
        const std::string reference = utf8(attributes.value(QLatin1String("r")));
        const std::string type = utf8(attributes.value(QLatin1String("t")));
        SheetCell cell;
        cell.reference = reference;
        cell.type = type;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"v") {
                cell.value = unescaped_text(utf8(xml_.readElementText()));
                cell.has_value = true;
            } else if (xml_.name() == u"is") {
                cell.value = unescaped_text(utf8(string_item(xml_)));
                cell.has_value = true;
            } else {
                cell.has_formula = cell.has_formula || xml_.name() == u"f";
                xml_.skipCurrentElement();
            }
        }
        check_xml(xml_, part_);
        rows_.add_cell(cell, record);
    }

    QByteArray sheet_;
    QString part_;
    QBuffer device_;
    QXmlStreamReader xml_;
    SheetRows rows_;
    bool ended_ = false;
};

std::unique_ptr<RecordSource> read_workbook(QIODevice& device) {
    if (device.peek(4) != QByteArrayLiteral("PK\x03\x04")) {
        return nullptr;
    }
    QZipReader zip(&device);
    const Archive archive(zip);
    const QString workbook =
        related_part(relations_of(archive, QString()), QStringLiteral("officeDocument"));
    if (workbook.isEmpty()) {
        damaged_workbook("找不到其中的工作簿部分");
    }
    const QHash<QString, Relation> relations = relations_of(archive, workbook);
    const QString sheet = chosen_sheet(archive, workbook, relations);
    std::vector<std::string> shared =
        shared_strings(archive, related_part(relations, QStringLiteral("sharedStrings")));
    return std::make_unique<SheetRecords>(archive.part(sheet), sheet, std::move(shared));
}

} // namespace

std::unique_ptr<RecordSource> open_workbook(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    return read_workbook(file);
}

std::unique_ptr<RecordSource> open_workbook_bytes(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return read_workbook(buffer);
}

} // namespace zhuheng::batch
