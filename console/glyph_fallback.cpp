#include "console/glyph_fallback.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "support/codepage.h"

namespace radevir {

std::function<QImage(QSize)> FontGlyphRenderer(const std::string& glyphName) {
    if (glyphName.empty() || glyphName.size() > 3 ||
        glyphName.find_first_not_of("0123456789") != std::string::npos)
        return {};
    const int code = std::stoi(glyphName);
    if (code < 0 || code > 255) return {};
    const char32_t c = Cp437ToUnicode(static_cast<unsigned char>(code));
    const QString text = QString::fromUcs4(&c, 1);
    return [text](QSize size) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        if (size.isEmpty()) return image;
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPixelSize(std::max(1, size.height()));
        // box-drawing characters reach the edges of the font's line box: stretch that box over
        // the cell so neighbouring cells join
        const QFontMetricsF metrics(font);
        const qreal width = std::max<qreal>(1, metrics.horizontalAdvance(text));
        const qreal height = std::max<qreal>(1, metrics.ascent() + metrics.descent());
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.scale(size.width() / width, size.height() / height);
        painter.drawText(QPointF(0, metrics.ascent()), text);
        return image;
    };
}

void ReportUnusableGlyphPicture(const QString& file) {
    QTextStream(stderr) << "radevir: the glyph picture " << file
                        << " cannot be used; its frame character is drawn from the font\n";
}

}  // namespace radevir
