// Stand-in pictures for frame characters whose glyph picture cannot be used: the font's own
// box-drawing character drawn to fill the cell, so a damaged kit still shows frames, not letters.
#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <string>

namespace radevir {

// The renderer for a glyph picture named by its code-page-437 code ("196"); an empty function
// for names that are not such a code.
std::function<QImage(QSize)> FontGlyphRenderer(const std::string& glyphName);

// Says once, on stderr, that a glyph picture file could not be used.
void ReportUnusableGlyphPicture(const QString& file);

}  // namespace radevir
