// The editor's rich text files (".rtf", ".doc"): a small RTF writer for what the editor holds
// (text, fonts, sizes, bold/italic/underline, colours, paragraphs, indents, alignment) and a
// reader that takes the same from RTF written by other word processors: a table's rows become
// lines with its cells separated by tabs; style sheets, document information and fields'
// instructions are passed over; pictures, objects, headers, footers and footnotes are left out
// and reported, so that the editor can ask before it saves over such a file.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace radevir {

// The document as RTF (code page 1252, other characters as \uN).
QByteArray WriteRtf(const QTextDocument& document);

// Replaces the document's content by the RTF's. False (document untouched) when the bytes do
// not start as RTF does ("{\rtf"); damaged RTF after that gives whatever text could be read.
// `dropped` tells whether the file held what the document cannot keep (pictures, objects,
// headers, footers, footnotes, the layout of tables).
bool ReadRtf(const QByteArray& rtf, QTextDocument& document, bool* dropped = nullptr);

// Whether the bytes start as an RTF file does.
bool LooksLikeRtf(const QByteArray& bytes);

}  // namespace radevir
