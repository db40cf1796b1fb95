// Draws the program's icon: a school slate with "2+3" in chalk above a row of abacus beads. Writes
// the scalable SVG and a PNG rendered from that same SVG, so both sizes always agree.
// Usage: radevir_make_icon ICON.svg ICON.png SIZE_PX
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

namespace {

constexpr int kCanvasUnits = 256;  // the SVG's view box edge

QByteArray IconSvg() {
    QByteArray svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n";
    // wooden frame and the slate inside it
    svg += "  <rect x=\"12\" y=\"12\" width=\"232\" height=\"232\" rx=\"36\" fill=\"#b8773a\"/>\n";
    svg += "  <rect x=\"20\" y=\"20\" width=\"216\" height=\"216\" rx=\"30\" fill=\"#cf8d4c\"/>\n";
    svg += "  <rect x=\"36\" y=\"36\" width=\"184\" height=\"132\" rx=\"12\" fill=\"#2d6a4f\"/>\n";
    // chalk "2 + 3"
    svg += "  <g fill=\"none\" stroke=\"#f4f1e8\" stroke-width=\"12\" stroke-linecap=\"round\" "
           "stroke-linejoin=\"round\">\n";
    svg += "    <path d=\"M58 78 C62 56 100 54 100 80 C100 98 78 110 58 142 L102 142\"/>\n";
    svg += "    <path d=\"M116 104 L152 104 M134 86 L134 122\"/>\n";
    svg += "    <path d=\"M166 70 C176 56 206 58 204 80 C202 94 188 98 180 99 C196 100 208 110 "
           "206 124 C204 146 172 148 164 134\"/>\n";
    svg += "  </g>\n";
    // abacus rod with five red and five blue beads
    svg += "  <rect x=\"36\" y=\"199\" width=\"184\" height=\"6\" rx=\"3\" fill=\"#6b4423\"/>\n";
    const char* colours[] = {"#d9413b", "#3a78c9"};
    for (int bead = 0; bead < 10; ++bead) {
        const int x = 50 + bead * 17 + (bead >= 5 ? 10 : 0);
        svg += QByteArray("  <circle cx=\"") + QByteArray::number(x) +
               "\" cy=\"202\" r=\"9\" fill=\"" + colours[bead >= 5 ? 1 : 0] + "\"/>\n";
    }
    svg += "</svg>\n";
    return svg;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ICON.svg ICON.png SIZE_PX\n", argv[0]);
        return 2;
    }
    const int size_px = QByteArray(argv[3]).toInt();
    if (size_px <= 0) {
        std::fprintf(stderr, "make_icon: bad size %s\n", argv[3]);
        return 2;
    }
    const QByteArray svg = IconSvg();
    if (!WriteFile(QString::fromLocal8Bit(argv[1]), svg)) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    QSvgRenderer renderer(svg);
    if (!renderer.isValid() || renderer.viewBox().width() != kCanvasUnits) {
        std::fprintf(stderr, "make_icon: the drawing does not render\n");
        return 1;
    }
    QImage image(size_px, size_px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
