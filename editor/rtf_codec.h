// The editor's rich text files (".rtf", ".doc"): a small RTF writer for what the editor holds
// (text, fonts, sizes, bold/italic/underline, colours, paragraphs, indents, alignment) and a
// reader that takes the same from RTF written by other word processors, skipping what it does
// not show (style sheets, pictures, document information, fields' instructions) without losing
// the text.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace radevir {

// The document as RTF (code page 1252, other characters as \uN).
QByteArray WriteRtf(const QTextDocument& document);

// Replaces the document's content by the RTF's. False (document untouched) when the bytes do
// not start as RTF does ("{\rtf"); damaged RTF after that gives whatever text could be read.
bool ReadRtf(const QByteArray& rtf, QTextDocument& document);

// Whether the bytes start as an RTF file does.
bool LooksLikeRtf(const QByteArray& bytes);

}  // namespace radevir
