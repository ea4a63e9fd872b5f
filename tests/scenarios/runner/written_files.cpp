// SPDX-License-Identifier: GPL-3.0-or-later
#include "written_files.h"

#include <QBuffer>
#include <QFile>
#include <QXmlStreamReader>
#include <private/qzipreader_p.h>

#include <utility>

namespace {

const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");

bool is(const QXmlStreamReader& r, const QString& space, const char* name) {
    return r.namespaceUri() == space && r.name() == QLatin1String(name);
}

} // namespace

const char* file_kind(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "other";
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("%PDF-")) {
        return bytes.trimmed().endsWith("%%EOF") ? "pdf" : "other";
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QZipReader zip(&buffer);
    const QList<QZipReader::FileInfo> entries = zip.fileInfoList();
    if (!bytes.startsWith("PK\x03\x04") || zip.status() != QZipReader::NoError || entries.empty()) {
        return "other";
    }
    for (const QZipReader::FileInfo& entry : entries) {
        if (entry.isFile && zip.fileData(entry.filePath).size() != entry.size) {
            return "other";
        }
    }
    // The local header of the first entry: its method at 8 (0, stored), its name from 30.
    const bool first_stored = bytes[8] == 0 && bytes[9] == 0 && bytes.mid(30, 8) == "mimetype";
    const bool odt =
        entries.first().filePath == QLatin1String("mimetype") && first_stored &&
        zip.fileData(QStringLiteral("mimetype")) == "application/vnd.oasis.opendocument.text";
    return odt ? "odt" : "zip";
}

namespace {

// The text of a paragraph as OpenDocument readers take it: the white space of its character
// data collapsed to one blank and dropped at its start and end (the writer indents its XML),
// the blanks, tabs and line breaks of elements kept.
class ParagraphText {
public:
    void characters(QStringView data) {
        for (const QChar c : data) {
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
                c == QLatin1Char('\r')) {
                blank_ = !text_.isEmpty();
            } else {
                kept(c);
            }
        }
    }
    void kept(const QString& text) {
        if (std::exchange(blank_, false)) {
            text_ += QLatin1Char(' ');
        }
        text_ += text;
    }
    QString text() const { return text_; }

private:
    QString text_;
    bool blank_ = false; // white space read since the last character kept
};

} // namespace

std::optional<std::vector<DocumentBlock>> document_text(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QZipReader zip(&file);
    const QByteArray content = zip.fileData(QStringLiteral("content.xml"));
    if (content.isEmpty()) {
        return std::nullopt;
    }
    std::vector<DocumentBlock> blocks;
    std::optional<DocumentBlock> row; // the table row being read
    int open_paragraphs = 0;          // a paragraph may hold another (a note's)
    int open_frames = 0;              // whose text is not the paragraph's
    int cell_paragraphs = 0;          // read so far in the current cell
    ParagraphText text;               // of the paragraph being read
    bool picture = false;             // in the paragraph being read
    QXmlStreamReader r(content);
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType token = r.readNext();
        if (token == QXmlStreamReader::Characters && open_paragraphs > 0 && open_frames == 0) {
            text.characters(r.text());
        } else if (token == QXmlStreamReader::StartElement) {
            if (is(r, kText, "p") || is(r, kText, "h")) {
                if (open_paragraphs++ == 0) {
                    text = {};
                    picture = false;
                }
            } else if (is(r, kText, "s")) {
                const QStringView count = r.attributes().value(kText, QStringLiteral("c"));
                text.kept(QString(count.isEmpty() ? 1 : count.toInt(), QLatin1Char(' ')));
            } else if (is(r, kText, "tab")) {
                text.kept(QStringLiteral("\t"));
            } else if (is(r, kText, "line-break")) {
                text.kept(QStringLiteral("\n"));
            } else if (is(r, kTable, "table-row")) {
                row = DocumentBlock{DocumentBlock::Kind::Row, {}};
            } else if (is(r, kTable, "table-cell") && row) {
                row->texts.emplace_back();
                cell_paragraphs = 0;
            } else if (is(r, kDraw, "frame")) {
                ++open_frames;
                const QXmlStreamAttributes a = r.attributes();
                blocks.push_back({DocumentBlock::Kind::Picture,
                                  {a.value(kSvg, QStringLiteral("width")).toString(),
                                   a.value(kSvg, QStringLiteral("height")).toString()}});
                picture = true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if ((is(r, kText, "p") || is(r, kText, "h")) && --open_paragraphs == 0) {
                if (row && !row->texts.empty()) {
                    row->texts.back() +=
                        (cell_paragraphs++ ? QStringLiteral("\n") : QString()) + text.text();
                } else if (!picture || !text.text().isEmpty()) {
                    blocks.push_back({DocumentBlock::Kind::Paragraph, {text.text()}});
                }
            } else if (is(r, kDraw, "frame")) {
                --open_frames;
            } else if (is(r, kTable, "table-row") && row) {
                blocks.push_back(std::move(*row));
                row.reset();
            }
        }
    }
    if (r.hasError()) {
        return std::nullopt;
    }
    return blocks;
}
