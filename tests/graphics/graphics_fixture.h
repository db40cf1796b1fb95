// A console with the graphics layer on an in-memory host, in graphics mode, plus pixel helpers.
#pragma once

#include <QFontDatabase>
#include <QStringList>

#include "graphics/graphics.h"
#include "support/metafile.h"
#include "tests/console/fake_host.h"
#include "tests/test_support.h"

namespace radevir::test {

// The kit's fonts, loaded once per test run; their face names in file order.
inline const std::vector<QString>& KitFontFaces() {
    static const std::vector<QString> faces = [] {
        std::vector<QString> out;
        for (const char* file : {"vududed.ttf", "vareruvir.TTF", "darizodev.TTF", "lueckentext.TTF"}) {
            const int id = QFontDatabase::addApplicationFont(KitDir() + "/bgi7/" + file);
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) out.push_back(families.front());
        }
        return out;
    }();
    return faces;
}

// The kit's glyph pictures in the host window's order (file names sorted, letter case ignored).
inline std::vector<GlyphSource> KitGlyphs() {
    std::vector<GlyphSource> glyphs;
    QDir dir(KitDir() + "/emfs");
    dir.setNameFilters({"*.emf"});
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    for (const QString& file : dir.entryList(QDir::Files)) {
        auto picture = Metafile::Load(dir.filePath(file));
        if (!picture) continue;
        glyphs.push_back(GlyphSource{ToCp1252(MetafileGlyphName(file)),
                                     [picture](QSize size) { return picture->Render(size, false); }});
    }
    return glyphs;
}

struct GraphicsFixture {
    FakeHost host;
    VirtualClock clock;
    ProgramEnvironment env;
    Console console;
    Graphics graphics;

    explicit GraphicsFixture(QSize client = {1000, 600}, std::vector<GlyphSource> glyphs = {BarGlyph("196"), BarGlyph("205")},
                             std::string programFolder = "/nonexistent/kit/")
        : host(client), env(std::move(programFolder), "radevir"), console(host, clock, env),
          graphics(console) {
        console.SetInstalledFontNames(KitFontFaces());
        console.InitConsole(glyphs);
        console.SetOemConversionOff(true);  // as the program menu sets it
        graphics.InitGraph(0);
    }

    QColor At(int x, int y) const { return host.framebuffer.pixelColor(x, y); }
};

// Number of pixels of `colour` inside `r`.
inline int CountColour(const QImage& img, QRect r, QColor colour) {
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) == colour) ++n;
    return n;
}

// Bounding box of the pixels that differ from `background`.
inline QRect InkBox(const QImage& img, QColor background = Qt::black) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != background) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace radevir::test
