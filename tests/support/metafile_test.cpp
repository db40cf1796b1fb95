#include "support/metafile.h"

#include "support/codepage.h"
#include "tests/test_support.h"

#include <QByteArray>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <vector>

using namespace radevir;
using radevir::test::KitDir;
using radevir::test::OutputDir;
using radevir::test::ScratchDir;

namespace {

bool Ink(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) > 127; }

// A hand-made EMF: one solid black rectangle (no pen) on a picture whose frame is given in
// 0.01 mm and whose reference device has `pxPerHundredthMm` pixels per 0.01 mm.
QByteArray MakeEmf(QRect frame, QRect filled, QRect bounds, int pxPerHundredthMm = 1) {
    QByteArray body;
    auto u32 = [](QByteArray& b, quint32 v) {
        char raw[4];
        qToLittleEndian(v, raw);
        b.append(raw, 4);
    };
    auto record = [&](quint32 type, std::vector<quint32> words) {
        u32(body, type);
        u32(body, quint32(8 + 4 * words.size()));
        for (quint32 w : words) u32(body, w);
    };
    record(37, {0x80000008});            // select the null pen
    record(39, {1, 0, 0x000000, 0});     // solid black brush
    record(37, {1});
    const QRect f = filled;
    record(3, {quint32(f.left()), quint32(f.top()), quint32(f.right() + 1), quint32(f.bottom() + 1),
               4, quint32(f.left()), quint32(f.top()), quint32(f.right() + 1), quint32(f.top()),
               quint32(f.right() + 1), quint32(f.bottom() + 1), quint32(f.left()),
               quint32(f.bottom() + 1)});
    record(14, {0, 16, 20});

    QByteArray emf;
    const int deviceMm = 10;
    const int devicePx = deviceMm * 100 * pxPerHundredthMm;
    u32(emf, 1);
    u32(emf, 108);
    for (int v : {bounds.left(), bounds.top(), bounds.right(), bounds.bottom(), frame.left(),
                  frame.top(), frame.left() + frame.width(), frame.top() + frame.height()})
        u32(emf, quint32(v));
    u32(emf, 0x464D4520);
    u32(emf, 0x10000);
    u32(emf, quint32(108 + body.size()));
    u32(emf, 6);
    u32(emf, 2);  // handles (and the reserved half word)
    for (int v : {0, 0, 0, devicePx, devicePx, deviceMm, deviceMm, 0, 0, 0,
                  deviceMm * 1000, deviceMm * 1000})
        u32(emf, quint32(v));
    return emf + body;
}

QString KitGlyph(int code) { return KitDir() + QStringLiteral("/emfs/%1.emf").arg(code); }

// Draws screen text the way the console lays glyph pictures out: each cell's picture stretched
// over (cell width + 2) x (cell height + 2) pixels at the cell's top-left corner.
QImage DrawGlyphLines(const std::vector<QString>& lines, QSize cell) {
    int columns = 0;
    for (const QString& l : lines) columns = std::max(columns, int(l.size()));
    QImage canvas(columns * cell.width() + 2, int(lines.size()) * cell.height() + 2,
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    std::map<int, std::shared_ptr<const Metafile>> pictures;
    QPainter painter(&canvas);
    for (int row = 0; row < int(lines.size()); ++row) {
        for (int col = 0; col < int(lines[row].size()); ++col) {
            const int code = UnicodeToCp437(lines[row][col].unicode());
            if (lines[row][col] == u' ') continue;
            auto& picture = pictures[code];
            if (!picture) picture = Metafile::Load(KitGlyph(code));
            EXPECT_TRUE(picture) << "no picture for " << code;
            if (!picture) continue;
            painter.drawImage(col * cell.width(), row * cell.height(),
                              picture->Render(cell + QSize(2, 2)));
        }
    }
    return canvas;
}

// Scales a picture up without smoothing, on white, so a person can see single pixels.
void SaveForViewing(const QImage& image, const QString& name) {
    QImage shown(image.size(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    QPainter(&shown).drawImage(0, 0, image);
    shown.scaled(image.size() * 4).save(OutputDir() + "/" + name);
}

}  // namespace

TEST(Metafile, HorizontalLineGlyphRunsAcrossTheWholePicture) {
    auto line = Metafile::Load(KitGlyph(196));  // ─
    ASSERT_TRUE(line);
    EXPECT_GT(line->FrameSize().width(), 0);
    for (QSize size : {QSize(10, 18), QSize(18, 40), QSize(7, 13)}) {
        for (bool smooth : {false, true}) {
            const QImage image = line->Render(size, smooth);
            ASSERT_EQ(image.size(), size);
            EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
            const int middle = size.height() / 2;
            for (int x = 0; x < size.width(); ++x) {
                EXPECT_TRUE(Ink(image, x, middle)) << size.width() << "x" << size.height()
                                                   << " x=" << x << " smooth=" << smooth;
                EXPECT_EQ(qAlpha(image.pixel(x, 0)), 0);
                EXPECT_EQ(qAlpha(image.pixel(x, size.height() - 1)), 0);
            }
        }
    }
}

// Each box piece, read at the four edges of its picture: which lines leave it there
// (0 none, 1 single, 2 double). The code page 437 byte of each piece comes from the character.
TEST(Metafile, BoxPiecesLeaveTheirPictureWhereTheirLinesJoinTheNeighbours) {
    struct Piece { const char* ch; int up, down, left, right; };
    const Piece pieces[] = {
        {"│", 1, 1, 0, 0}, {"┤", 1, 1, 1, 0}, {"╡", 1, 1, 2, 0}, {"╢", 2, 2, 1, 0},
        {"╖", 0, 2, 1, 0}, {"╕", 0, 1, 2, 0}, {"╣", 2, 2, 2, 0}, {"║", 2, 2, 0, 0},
        {"╗", 0, 2, 2, 0}, {"╝", 2, 0, 2, 0}, {"╜", 2, 0, 1, 0}, {"╛", 1, 0, 2, 0},
        {"┐", 0, 1, 1, 0}, {"└", 1, 0, 0, 1}, {"┴", 1, 0, 1, 1}, {"┬", 0, 1, 1, 1},
        {"├", 1, 1, 0, 1}, {"─", 0, 0, 1, 1}, {"┼", 1, 1, 1, 1}, {"╞", 1, 1, 0, 2},
        {"╟", 2, 2, 0, 1}, {"╚", 2, 0, 0, 2}, {"╔", 0, 2, 0, 2}, {"╩", 2, 0, 2, 2},
        {"╦", 0, 2, 2, 2}, {"╠", 2, 2, 0, 2}, {"═", 0, 0, 2, 2}, {"╬", 2, 2, 2, 2},
        {"╧", 1, 0, 2, 2}, {"╨", 2, 0, 1, 1}, {"╤", 0, 1, 2, 2}, {"╥", 0, 2, 1, 1},
        {"╙", 2, 0, 0, 1}, {"╘", 1, 0, 0, 2}, {"╒", 0, 1, 0, 2}, {"╫", 2, 2, 1, 1},
        {"╪", 1, 1, 2, 2}, {"┘", 1, 0, 1, 0}, {"┌", 0, 1, 0, 1},
    };
    // Number of separate ink runs along one edge row or column.
    auto runs = [](const QImage& img, bool horizontal, int fixed) {
        int count = 0;
        bool inside = false;
        const int n = horizontal ? img.width() : img.height();
        for (int i = 0; i < n; ++i) {
            const bool ink = horizontal ? Ink(img, i, fixed) : Ink(img, fixed, i);
            if (ink && !inside) ++count;
            inside = ink;
        }
        return count;
    };
    for (const Piece& p : pieces) {
        const int code = UnicodeToCp437(QString::fromUtf8(p.ch).at(0).unicode());
        auto picture = Metafile::Load(KitGlyph(code));
        ASSERT_TRUE(picture) << p.ch;
        const QImage img = picture->Render(QSize(18, 40), false);
        EXPECT_EQ(runs(img, true, 0), p.up) << p.ch << " top edge";
        EXPECT_EQ(runs(img, true, img.height() - 1), p.down) << p.ch << " bottom edge";
        EXPECT_EQ(runs(img, false, 0), p.left) << p.ch << " left edge";
        EXPECT_EQ(runs(img, false, img.width() - 1), p.right) << p.ch << " right edge";
    }
}

// Boxes and lines laid out like the console does meet without gaps at both cell sizes; the
// pictures are left in the output folder to be looked at.
TEST(Metafile, NeighbouringGlyphsJoinWithoutGaps) {
    const std::vector<QString> screen = {
        QString::fromUtf8("┌──┬──┐ ╔══╦══╗ ═╬═ ▓▒░ ↑↓←→"),
        QString::fromUtf8("│  │  │ ║  ║  ║ ─┼─ █▌▐■ ►◄▲▼"),
        QString::fromUtf8("├──┼──┤ ╠══╬══╣ ╟╫╢ ╒╤╕"),
        QString::fromUtf8("└──┴──┘ ╚══╩══╝ ╙╨╜ ╘╧╛"),
    };
    const std::vector<QString> strip = {QString::fromUtf8("┌──┐ │ │ └──┘ ═╬═ ▓▒░ ↑↓←→")};
    for (QSize cell : {QSize(8, 16), QSize(16, 38)}) {
        const QString size = QStringLiteral("%1x%2").arg(cell.width()).arg(cell.height());
        const std::string tag = size.toStdString();
        SaveForViewing(DrawGlyphLines(strip, cell), "glyph_strip_" + size + ".png");
        const QImage img = DrawGlyphLines(screen, cell);
        SaveForViewing(img, "glyph_screen_" + size + ".png");

        const int w = cell.width(), h = cell.height();
        const double pw = w + 2, ph = h + 2;  // picture size
        auto rowAt = [&](int row, double fraction) { return row * h + int(ph * fraction); };
        auto colAt = [&](int col, double fraction) { return col * w + int(pw * fraction); };
        // Single lines: the top line of the left box from the corner's centre to the far one.
        for (int x = colAt(0, 0.5); x <= colAt(6, 0.5); ++x)
            EXPECT_TRUE(Ink(img, x, rowAt(0, 0.5))) << tag << " top line x=" << x;
        // The box's left side from the top corner down to the bottom corner.
        for (int y = rowAt(0, 0.5); y <= rowAt(3, 0.5); ++y)
            EXPECT_TRUE(Ink(img, colAt(0, 0.5), y)) << tag << " left side y=" << y;
        // Double lines: the outer strokes of the double box run round it unbroken, the inner
        // ones from corner to corner of each compartment.
        const double upper = 296.0 / 800, lower = 504.0 / 800, left = 124.0 / 400,
                     right = 276.0 / 400;
        for (int x = colAt(8, left); x <= colAt(14, right); ++x)
            EXPECT_TRUE(Ink(img, x, rowAt(0, upper))) << tag << " ╔═╗ outer x=" << x;
        for (int x = colAt(8, right); x <= colAt(11, left); ++x)
            EXPECT_TRUE(Ink(img, x, rowAt(0, lower))) << tag << " ╔═╦ inner x=" << x;
        for (int y = rowAt(0, upper); y <= rowAt(3, lower); ++y)
            EXPECT_TRUE(Ink(img, colAt(8, left), y)) << tag << " ║ outer y=" << y;
        for (int y = rowAt(0, lower); y <= rowAt(2, upper); ++y)
            EXPECT_TRUE(Ink(img, colAt(8, right), y)) << tag << " ║ inner y=" << y;
        // "═╬═": each stroke runs up to the crossing's vertical strokes, and the space between
        // the two strokes stays open all along.
        for (double row : {upper, lower}) {
            for (int x = colAt(16, 0.0); x <= colAt(17, left); ++x)
                EXPECT_TRUE(Ink(img, x, rowAt(0, row))) << tag << " ═╬ x=" << x;
            for (int x = colAt(17, right); x < colAt(18, 1.0); ++x)
                EXPECT_TRUE(Ink(img, x, rowAt(0, row))) << tag << " ╬═ x=" << x;
        }
        for (int x = colAt(16, 0.0); x < colAt(18, 1.0); ++x)
            EXPECT_FALSE(Ink(img, x, rowAt(0, 0.5))) << tag << " ═╬═ gap x=" << x;
    }
}

TEST(Metafile, FrameMapsOntoTheWholeImage) {
    // Frame and filled area in logical units; bounds that start away from the origin and a
    // reference device of 2 pixels per 0.01 mm must not shift or shrink the picture.
    struct Case { QRect frame; QRect filled; QRect bounds; int pxPerUnit; };
    const Case cases[] = {
        {QRect(0, 0, 100, 200), QRect(0, 0, 50, 200), QRect(0, 0, 49, 199), 1},
        {QRect(0, 0, 50, 100), QRect(0, 0, 50, 200), QRect(0, 0, 49, 199), 2},
        {QRect(10, 20, 100, 200), QRect(10, 20, 50, 200), QRect(10, 20, 49, 199), 1},
    };
    for (const Case& c : cases) {
        auto picture = Metafile::FromBytes(MakeEmf(c.frame, c.filled, c.bounds, c.pxPerUnit));
        ASSERT_TRUE(picture);
        EXPECT_DOUBLE_EQ(picture->FrameSize().width(), 100.0);
        EXPECT_DOUBLE_EQ(picture->FrameSize().height(), 200.0);
        // Stretched (not aspect-kept) into 40 x 40: the left half inked, the right half clear.
        const QImage image = picture->Render(QSize(40, 40), false);
        for (int y : {0, 20, 39}) {
            EXPECT_TRUE(Ink(image, 0, y));
            EXPECT_TRUE(Ink(image, 19, y));
            EXPECT_FALSE(Ink(image, 20, y));
            EXPECT_FALSE(Ink(image, 39, y));
        }
    }
}

TEST(Metafile, MissingOrBrokenFilesGiveNoPicture) {
    ScratchDir dir;
    const QByteArray good = MakeEmf(QRect(0, 0, 100, 100), QRect(0, 0, 50, 50), QRect(0, 0, 49, 49));
    ASSERT_TRUE(Metafile::FromBytes(good));

    QByteArray badSignature = good;
    badSignature[40] = 'X';
    QByteArray badRecordSize = good;
    qToLittleEndian<quint32>(6, badRecordSize.data() + 108 + 4);  // below the 8-byte minimum
    QByteArray oversizedRecord = good;
    qToLittleEndian<quint32>(0x7FFFFFF0, oversizedRecord.data() + 108 + 4);
    QByteArray badHeaderSize = good;
    qToLittleEndian<quint32>(0x10000, badHeaderSize.data() + 4);
    // the converter read 128 UTF-16 characters from the file's start, past its end
    QByteArray descriptionOutside = good;
    qToLittleEndian<quint32>(128, descriptionOutside.data() + 60);
    QByteArray descriptionPastHeader = good;
    qToLittleEndian<quint32>(2, descriptionPastHeader.data() + 60);
    qToLittleEndian<quint32>(106, descriptionPastHeader.data() + 64);
    QByteArray pixelFormatPastHeader = good;
    qToLittleEndian<quint32>(40, pixelFormatPastHeader.data() + 88);
    qToLittleEndian<quint32>(100, pixelFormatPastHeader.data() + 92);
    const std::map<std::string, QByteArray> broken = {
        {"empty", QByteArray()},
        {"text", QByteArray("this is not a picture at all, only some words in a file")},
        {"png header", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, '\0')},
        {"header only", good.left(108)},
        {"cut in a record", good.left(good.size() - 6)},
        {"no end record", good.left(good.size() - 20)},
        {"bad signature", badSignature},
        {"record size too small", badRecordSize},
        {"record past the end", oversizedRecord},
        {"header size past the end", badHeaderSize},
        {"description outside the header", descriptionOutside},
        {"description past the header", descriptionPastHeader},
        {"pixel format past the header", pixelFormatPastHeader},
    };
    for (const auto& [name, bytes] : broken) {
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << name;
        EXPECT_FALSE(Metafile::Load(dir.Write(QString::fromStdString(name) + ".emf", bytes)))
            << name;
    }
    EXPECT_FALSE(Metafile::Load(dir.Path() + "/missing.emf"));
    EXPECT_FALSE(Metafile::Load(dir.Path()));  // a folder

    // A header that claims a larger file and puts its empty description at the real end: the
    // converter read there (past the bytes) and only checked against the claimed size.
    QByteArray emptyDescriptionAtTheEnd = good;
    qToLittleEndian<quint32>(quint32(good.size() + 100), emptyDescriptionAtTheEnd.data() + 48);
    qToLittleEndian<quint32>(quint32(good.size()), emptyDescriptionAtTheEnd.data() + 64);
    qToLittleEndian<quint32>(quint32(good.size()), emptyDescriptionAtTheEnd.data() + 92);
    const auto stillDrawn = Metafile::FromBytes(emptyDescriptionAtTheEnd);
    ASSERT_TRUE(stillDrawn);
    EXPECT_EQ(stillDrawn->Render(QSize(10, 10), false),
              Metafile::FromBytes(good)->Render(QSize(10, 10), false));

    // A valid picture asked for an empty size gives an empty image.
    EXPECT_TRUE(Metafile::FromBytes(good)->Render(QSize(0, 10)).isNull());
}

TEST(Metafile, DamagedGlyphFilesNeverCrash) {
    QFile file(KitGlyph(206));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    std::mt19937 random(1234);
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = original;
        const int changes = 1 + int(random() % 8);
        for (int i = 0; i < changes; ++i)
            damaged[int(random() % damaged.size())] = char(random() & 0xFF);
        if (auto picture = Metafile::FromBytes(damaged)) picture->Render(QSize(12, 20));
    }
}

TEST(Metafile, GlyphNameIsTheFileNameWithTwoWordsSwapped) {
    const std::pair<const char*, const char*> cases[] = {
        {"emfs/196.emf", "196"},
        {"C:\\Radevir\\emfs\\218.emf", "218"},
        {"/kit/emfs/pfeil links.emf", "links pfeil"},
        {"a b c.emf", "a b c"},
        {"name.with.dots.emf", "name.with.dots"},
        {"noextension", "noextension"},
        {"trailing .emf", " trailing"},
    };
    for (const auto& [file, name] : cases)
        EXPECT_EQ(MetafileGlyphName(QString::fromUtf8(file)), QString::fromUtf8(name)) << file;
}
