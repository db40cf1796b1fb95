// The fractions font of printed texts: a fraction written "3/4" in a line set in that font is
// printed as one fraction glyph, numerator above the slash, denominator below it.
#pragma once

#include <QString>
#include <QStringView>

namespace radevir {

// The font file of the data kit that carries the fractions face.
inline constexpr char kFractionFontFile[] = "bgi7\\zuvurevuz.TTF";
// Fraction n/d has the glyph at kFractionGlyphBase + n * 32 + d (n 0–20, d 1–20).
constexpr char32_t kFractionGlyphBase = 0xE000;
constexpr int kMaxFractionNumerator = 20;
constexpr int kMaxFractionDenominator = 20;

// "3/4" → the glyph code of three quarters; numbers beyond the font's range, a denominator 0
// and digits that run on (a date "12/2024") stay as they are.
QString ShapeFractions(QStringView text);

// Makes the fractions face available to the printer from the kit's font file (once); false when
// the face is neither installed nor loadable.
bool EnsureFractionFont(const QString& nativeFontFile);

}  // namespace radevir
