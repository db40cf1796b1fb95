#include "printing/fractions.h"

#include <QFontDatabase>

#include "printing/printer_text.h"

namespace radevir {
namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The number of 1 or 2 digits at `from`, with `end` after it; -1 unless exactly that.
int NumberAt(QStringView text, qsizetype from, qsizetype& end) {
    end = from;
    while (end < text.size() && IsDigit(text[end])) ++end;
    const qsizetype digits = end - from;
    if (digits < 1 || digits > 2) return -1;
    return text.mid(from, digits).toInt();
}

}  // namespace

QString ShapeFractions(QStringView text) {
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        // a fraction starts where a number starts, not in the middle of one
        if (IsDigit(text[i]) && (i == 0 || !IsDigit(text[i - 1]))) {
            qsizetype numeratorEnd = 0;
            const int numerator = NumberAt(text, i, numeratorEnd);
            if (numerator >= 0 && numeratorEnd < text.size() && text[numeratorEnd] == QLatin1Char('/')) {
                qsizetype denominatorEnd = 0;
                const int denominator = NumberAt(text, numeratorEnd + 1, denominatorEnd);
                if (numerator <= kMaxFractionNumerator && denominator >= 1 &&
                    denominator <= kMaxFractionDenominator) {
                    const char32_t code = kFractionGlyphBase + static_cast<char32_t>(numerator * 32 + denominator);
                    out += QString::fromUcs4(&code, 1);
                    i = denominatorEnd;
                    continue;
                }
            }
            // not a fraction: the whole number is copied as it stands
            qsizetype end = i;
            while (end < text.size() && IsDigit(text[end])) ++end;
            out += text.mid(i, end - i);
            i = end;
            continue;
        }
        out += text[i];
        ++i;
    }
    return out;
}

bool EnsureFractionFont(const QString& nativeFontFile) {
    static bool tried = false;
    const QString family = QString::fromLatin1(kFractionFontName);
    if (QFontDatabase::hasFamily(family)) return true;
    if (tried || nativeFontFile.isEmpty()) return false;
    tried = true;
    return QFontDatabase::addApplicationFont(nativeFontFile) >= 0 && QFontDatabase::hasFamily(family);
}

}  // namespace radevir
