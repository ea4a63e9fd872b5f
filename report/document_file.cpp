// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/document_file.h"

#include "report/pdf_file.h"
#include "report/qt_report_pages.h"
#include "report/saved_file.h"
#include "report/sheet_document.h"

#include <QBuffer>
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
        if (info.isFile && info.filePath != mimetype_path && info.filePath != manifest_path) {
            zip.addFile(info.filePath, archive.fileData(info.filePath));
        }
    }
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
