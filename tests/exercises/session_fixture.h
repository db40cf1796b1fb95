// A training session on a fake console over a scratch program folder, for the exercise and
// training tests. ReadKey never waits for ever: with no key left it aborts the test's call.
#pragma once

#include <QDir>
#include <QFile>

#include "exercises/session.h"
#include "tests/console/fake_host.h"
#include "tests/test_support.h"

namespace radevir::test {

// Glyph pictures for every frame and arrow byte the training screens use, so the text dump
// shows them as frame characters.
inline std::vector<GlyphSource> FrameGlyphs() {
    std::vector<GlyphSource> glyphs;
    for (int code : {24, 25, 26, 27, 178, 179, 186, 187, 188, 191, 192, 193, 194, 196, 200, 201, 202,
                     203, 205, 217, 218})
        glyphs.push_back(BarGlyph(std::to_string(code)));
    return glyphs;
}

struct SessionFixture {
    ScratchDir dir;
    FakeHost host{QSize(802, 502)};
    VirtualClock clock;
    ProgramEnvironment env{dir.Folder(), "radevir"};
    Console console{host, clock, env};
    Random random{7};
    Session session{console, env, random};
    int readKeyAborts = 0;

    SessionFixture() {
        console.InitConsole(FrameGlyphs());
        console.EnterTextMode();
        console.TextBackground(0);
        console.SetOemConversionOff(true);
        host.onPump = [this] {
            if (console.WaitingForKey() && console.Keys().Empty()) {
                ++readKeyAborts;
                console.RequestAbort();
            }
        };
    }

    void Keys(std::string_view typed) {
        for (char c : typed) console.AppendKey(static_cast<unsigned char>(c), false);
    }
    void Scan(unsigned char code) { console.AppendKey(code, true); }
    // Copies one region file of the data kit's sources into the scratch program folder.
    void UseRegionFile(const QString& name) {
        const QString source = QStringLiteral(RADEVIR_TEST_SOURCE_DIR) + "/../data/kit/maustxt/" + name;
        QFile f(source);
        if (f.open(QIODevice::ReadOnly)) dir.Write("maustxt/" + name, f.readAll());
    }
    // A click in the middle of a text cell (1-based column and row).
    void Click(int column, int row) {
        const QPoint p((column - 1) * console.CellWidth() + console.CellWidth() / 2,
                       (row - 1) * console.CellHeight() + console.CellHeight() / 2);
        console.MousePressed(p, true, false);
        console.MouseReleased(p, true, false);
    }
    std::string Row(int row) const { return console.Trace().RowText(row - 1); }
    // `count` cells of a row from a 1-based column, as UTF-8.
    std::string Text(int row, int column, int count) const {
        const std::u32string cells = FromUtf8(Row(row));
        return Utf8(cells.substr(static_cast<size_t>(column - 1), static_cast<size_t>(count)));
    }
};

}  // namespace radevir::test
