// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/document_file.h"

#include "report/pdf_file.h"
#include "report/qt_report_pages.h"
#include "report/saved_file.h"
#include "report/sheet_document.h"

#include <QBuffer>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <private/qzipreader_p.h>
#include <private/qzipwriter_p.h>

#include <utility>
#include <vector>

using zhuheng::PrintError;

namespace {

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString kMeta = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");

// Faces where the reader lacks the sheet's: one every Chinese Windows has, in sans and serif.
constexpr char kFallbackFaces[] = ", 'Microsoft YaHei', SimSun, sans-serif";

QString millimetres(double mm) {
    return QString::number(mm, 'f', 2) + QStringLiteral("mm");
}

// An XML file of the archive, begun with its root element `root` of the office namespace, the
// other namespaces it uses declared there.
void begin_document(QXmlStreamWriter& w, const QString& root,
                    std::initializer_list<std::pair<QString, QString>> namespaces) {
    w.setAutoFormatting(true);
    w.writeNamespace(kOffice, QStringLiteral("office"));
    for (const auto& [uri, prefix] : namespaces) {
        w.writeNamespace(uri, prefix);
    }
    w.writeStartDocument();
    w.writeStartElement(kOffice, root);
    w.writeAttribute(kOffice, QStringLiteral("version"), QStringLiteral("1.2"));
}

// The document's default style, in the sheet's face and size, in Chinese as spoken in China,
// for Western and Chinese text alike; its page, the paper and margins of `layout`.
QByteArray styles_xml(const QPageLayout& layout) {
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    begin_document(w, QStringLiteral("document-styles"),
                   {{kStyle, QStringLiteral("style")},
                    {kFo, QStringLiteral("fo")},
                    {kSvg, QStringLiteral("svg")}});

    const QString face = sheet_face();
    w.writeStartElement(kOffice, QStringLiteral("font-face-decls"));
    w.writeEmptyElement(kStyle, QStringLiteral("font-face"));
    w.writeAttribute(kStyle, QStringLiteral("name"), face);
    w.writeAttribute(kSvg, QStringLiteral("font-family"),
                     QStringLiteral("'%1'").arg(face) + QLatin1String(kFallbackFaces));
    w.writeAttribute(kStyle, QStringLiteral("font-family-generic"), QStringLiteral("swiss"));
    w.writeAttribute(kStyle, QStringLiteral("font-pitch"), QStringLiteral("variable"));
    w.writeEndElement(); // font-face-decls

    w.writeStartElement(kOffice, QStringLiteral("styles"));
    w.writeStartElement(kStyle, QStringLiteral("default-style"));
    w.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    // No space added between Chinese and Western text, which the printed sheet has not and the
    // rows of the working are not measured with.
    w.writeEmptyElement(kStyle, QStringLiteral("paragraph-properties"));
    w.writeAttribute(kStyle, QStringLiteral("text-autospace"), QStringLiteral("none"));
    w.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
    const QString size = QString::number(kTypePoints) + QStringLiteral("pt");
    for (const QString& script :
         {QString(), QStringLiteral("-asian"), QStringLiteral("-complex")}) {
        w.writeAttribute(kStyle, QStringLiteral("font-name") + script, face);
        w.writeAttribute(script.isEmpty() ? kFo : kStyle, QStringLiteral("font-size") + script,
                         size);
        w.writeAttribute(script.isEmpty() ? kFo : kStyle, QStringLiteral("language") + script,
                         QStringLiteral("zh"));
        w.writeAttribute(script.isEmpty() ? kFo : kStyle, QStringLiteral("country") + script,
                         QStringLiteral("CN"));
    }
    w.writeEndElement(); // default-style
    w.writeEndElement(); // styles

    const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    w.writeStartElement(kOffice, QStringLiteral("automatic-styles"));
    w.writeStartElement(kStyle, QStringLiteral("page-layout"));
    w.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("Sheet"));
    w.writeEmptyElement(kStyle, QStringLiteral("page-layout-properties"));
    w.writeAttribute(kFo, QStringLiteral("page-width"), millimetres(paper.width()));
    w.writeAttribute(kFo, QStringLiteral("page-height"), millimetres(paper.height()));
    w.writeAttribute(kStyle, QStringLiteral("print-orientation"),
                     layout.orientation() == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                                    : QStringLiteral("portrait"));
    w.writeAttribute(kFo, QStringLiteral("margin-left"), millimetres(margins.left()));
    w.writeAttribute(kFo, QStringLiteral("margin-top"), millimetres(margins.top()));
    w.writeAttribute(kFo, QStringLiteral("margin-right"), millimetres(margins.right()));
    w.writeAttribute(kFo, QStringLiteral("margin-bottom"), millimetres(margins.bottom()));
    w.writeEndElement(); // page-layout
    w.writeEndElement(); // automatic-styles

    w.writeStartElement(kOffice, QStringLiteral("master-styles"));
    w.writeEmptyElement(kStyle, QStringLiteral("master-page"));
    w.writeAttribute(kStyle, QStringLiteral("name"), QStringLiteral("Standard"));
    w.writeAttribute(kStyle, QStringLiteral("page-layout-name"), QStringLiteral("Sheet"));
    w.writeEndElement(); // master-styles

    w.writeEndElement(); // document-styles
    w.writeEndDocument();
    return bytes;
}

QByteArray meta_xml() {
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    begin_document(w, QStringLiteral("document-meta"),
                   {{kMeta, QStringLiteral("meta")}, {kDc, QStringLiteral("dc")}});
    w.writeStartElement(kOffice, QStringLiteral("meta"));
    w.writeTextElement(kMeta, QStringLiteral("generator"), document_creator());
    w.writeTextElement(kDc, QStringLiteral("title"), kDocumentTitle);
    w.writeTextElement(kDc, QStringLiteral("language"), QStringLiteral("zh-CN"));
    w.writeEndElement(); // meta
    w.writeEndElement(); // document-meta
    w.writeEndDocument();
    return bytes;
}

// The names Qt's writer gives the styles of the working's paragraphs (kWorkingRows) and formula
// text (kFormulaText): "p" or "c" and the index of the format.
QSet<QString> working_styles(const QTextDocument& document) {
    QSet<QString> names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().hasProperty(kWorkingRows)) {
            names << QStringLiteral("p%1").arg(block.blockFormatIndex());
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().hasProperty(kFormulaText)) {
                names << QStringLiteral("c%1").arg(it.fragment().charFormatIndex());
            }
        }
    }
    return names;
}

// The content as Qt's writer wrote it, but for three things. The writer puts a tab before each
// line break, for the last row of a justified paragraph; the sheet's paragraphs are flush left,
// and a tab after a full row would push it on to a line of its own. The working's paragraphs (of
// the styles `working`) reach a little into the right margin: an office suite that measures the
// face a hair wider than Qt does keeps each row on one line. And the working's formula text is in
// no language: an office suite that must break it (where the reader's face is wider than the
// sheet's) then follows the Unicode rules, which keep a number whole and honour no-break spaces,
// where LibreOffice's rules for Chinese break between any two characters.
QByteArray tidied_content(const QByteArray& content, const QSet<QString>& working) {
    QXmlStreamReader r(content);
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    const auto is = [&r](const QString& ns, const char* name) {
        return r.namespaceUri() == ns && r.name() == QLatin1String(name);
    };
    bool tab_held = false;
    QString blanks_held; // after a tab held back
    bool working_style = false;
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType token = r.readNext();
        if (token == QXmlStreamReader::StartElement && is(kText, "tab")) {
            r.skipCurrentElement();
            tab_held = true;
            continue;
        }
        if (tab_held && token == QXmlStreamReader::Characters && r.isWhitespace()) {
            blanks_held += r.text();
            continue;
        }
        if (tab_held) {
            if (token != QXmlStreamReader::StartElement || !is(kText, "line-break")) {
                w.writeEmptyElement(kText, QStringLiteral("tab"));
                w.writeCharacters(blanks_held);
            }
            tab_held = false;
            blanks_held.clear();
        }
        if (token != QXmlStreamReader::StartElement) {
            w.writeCurrentToken(r);
            continue;
        }
        // Declared ahead of the element, so that the writer takes the reader's prefixes.
        for (const QXmlStreamNamespaceDeclaration& d : r.namespaceDeclarations()) {
            w.writeNamespace(d.namespaceUri().toString(), d.prefix().toString());
        }
        w.writeStartElement(r.namespaceUri().toString(), r.name().toString());
        w.writeAttributes(r.attributes());
        if (is(kStyle, "style")) {
            working_style =
                working.contains(r.attributes().value(kStyle, QStringLiteral("name")).toString());
        } else if (working_style && is(kStyle, "paragraph-properties")) {
            w.writeAttribute(kFo, QStringLiteral("margin-right"),
                             QStringLiteral("-%1pt").arg(kTypePoints));
        } else if (working_style && is(kStyle, "text-properties")) {
            for (const QString& script :
                 {QString(), QStringLiteral("-asian"), QStringLiteral("-complex")}) {
                const QString& ns = script.isEmpty() ? kFo : kStyle;
                w.writeAttribute(ns, QStringLiteral("language") + script, QStringLiteral("zxx"));
                w.writeAttribute(ns, QStringLiteral("country") + script, QStringLiteral("none"));
            }
        }
    }
    if (r.hasError()) {
        throw PrintError("无法生成文档");
    }
    return bytes;
}

// The files of the archive, each path with its media type.
using Entries = std::vector<std::pair<QString, QString>>;

Entries manifest_entries(const QByteArray& manifest) {
    Entries entries;
    QXmlStreamReader r(manifest);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement &&
            r.name() == QLatin1String("file-entry")) {
            const QXmlStreamAttributes a = r.attributes();
            entries.emplace_back(a.value(kManifest, QStringLiteral("full-path")).toString(),
                                 a.value(kManifest, QStringLiteral("media-type")).toString());
        }
    }
    return entries;
}

QByteArray manifest_xml(const Entries& entries) {
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.setAutoFormatting(true);
    w.writeNamespace(kManifest, QStringLiteral("manifest"));
    w.writeStartDocument();
    w.writeStartElement(kManifest, QStringLiteral("manifest"));
    w.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.2"));
    for (const auto& [path, type] : entries) {
        w.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
        w.writeAttribute(kManifest, QStringLiteral("full-path"), path);
        w.writeAttribute(kManifest, QStringLiteral("media-type"), type);
    }
    w.writeEndElement(); // manifest
    w.writeEndDocument();
    return bytes;
}

} // namespace

void write_document_file(const QString& path, const std::vector<zhuheng::ReportBlock>& blocks,
                         const QPageLayout& layout) {
    write_text_document(path, *sheet_document(blocks, layout), layout);
}

void write_text_document(const QString& path, const QTextDocument& document,
                         const QPageLayout& layout) {
    // Qt's zip writer closes the device it wrote to: the archives are made in memory.
    QBuffer written;
    if (!QTextDocumentWriter(&written, "odf").write(&document)) {
        throw PrintError("无法生成文档");
    }
    QBuffer in(&written.buffer());
    in.open(QIODevice::ReadOnly);
    QZipReader archive(&in);
    if (archive.status() != QZipReader::NoError) {
        throw PrintError("无法生成文档");
    }
    const QString manifest_path = QStringLiteral("META-INF/manifest.xml");
    const QString mimetype_path = QStringLiteral("mimetype");
    const QString content_path = QStringLiteral("content.xml");
    Entries entries = manifest_entries(archive.fileData(manifest_path));
    entries.emplace_back(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
    entries.emplace_back(QStringLiteral("meta.xml"), QStringLiteral("text/xml"));

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QZipWriter zip(&out);
    // The media type comes first and uncompressed, where readers look for it.
    zip.setCompressionPolicy(QZipWriter::NeverCompress);
    zip.addFile(mimetype_path, archive.fileData(mimetype_path));
    zip.setCompressionPolicy(QZipWriter::AlwaysCompress);
    for (const QZipReader::FileInfo& info : archive.fileInfoList()) {
        if (!info.isFile || info.filePath == mimetype_path || info.filePath == manifest_path) {
            continue;
        }
        const QByteArray data = archive.fileData(info.filePath);
        // A picture is compressed already: deflating it again gains nothing and takes the time.
        zip.setCompressionPolicy(info.filePath.endsWith(QLatin1String(".png"))
                                     ? QZipWriter::NeverCompress
                                     : QZipWriter::AlwaysCompress);
        zip.addFile(info.filePath, info.filePath == content_path
                                       ? tidied_content(data, working_styles(document))
                                       : data);
    }
    zip.setCompressionPolicy(QZipWriter::AlwaysCompress);
    zip.addFile(QStringLiteral("styles.xml"), styles_xml(layout));
    zip.addFile(QStringLiteral("meta.xml"), meta_xml());
    zip.addFile(manifest_path, manifest_xml(entries));
    zip.close();
    if (zip.status() != QZipWriter::NoError) {
        throw PrintError("无法生成文档");
    }
    const QByteArray& bytes = out.buffer();
    save_whole(path, QStringLiteral("无法写入文档“%1”：%2"),
               [&](QIODevice& file) { return file.write(bytes) == bytes.size(); });
}
