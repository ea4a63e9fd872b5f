// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <vector>

// What a file is, by its contents: "pdf" (begun as a PDF and ended with its end-of-file
// marker), "odt" (a zip archive whose every entry reads back, the first the OpenDocument text
// media type, stored, where readers look for it), "zip" (any other such archive) or "other".
const char* file_kind(const QString& path);

// A paragraph of a document (its text), a row of a table (the text of each cell), or a picture
// (its width and height as written).
struct DocumentBlock {
    enum class Kind { Paragraph, Row, Picture };
    Kind kind;
    std::vector<QString> texts;
};

// The body of an OpenDocument text file as its content.xml holds it, in order; a paragraph
// that holds a picture and no text stands as the picture alone. Nothing when the file has no
// content.xml.
std::optional<std::vector<DocumentBlock>> document_text(const QString& path);
