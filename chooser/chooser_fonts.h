// The chooser's three fonts (folder tree, file list, line list) kept in "bgi7\auswahlfonts.txt":
// one line per control, each the comma text of a small label description whose Font.* lines
// carry character set, colour, height, face name and style.
#pragma once

#include <QColor>
#include <QFont>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;

struct StoredFont {
    QFont font;
    QColor color = Qt::black;
};

inline constexpr std::string_view kChooserFontFile = "bgi7\\auswahlfonts.txt";

// The controls the fonts belong to, in the file's order.
inline constexpr size_t kFolderTreeFont = 0;
inline constexpr size_t kFileListFont = 1;
inline constexpr size_t kLineListFont = 2;
inline constexpr size_t kChooserFontCount = 3;
using ChooserFonts = std::array<StoredFont, kChooserFontCount>;

// The description's lines ("object Font_label: TLabel", "  Font.Name = 'Arial'", …, "end").
std::vector<Bytes> FontLabelLines(const StoredFont& font);
// The same lines as one comma-text line (items with blanks, commas or quotes quoted).
Bytes FontLabelLine(const StoredFont& font);
// Reads one stored line; properties it lacks keep the values of `base`. Empty when the line is
// not a label description.
std::optional<StoredFont> ReadFontLabelLine(std::string_view line, const StoredFont& base);

// Comma text of a list, the way the font file writes it.
Bytes CommaText(const std::vector<Bytes>& items);

// Loads the three fonts; an entry the file lacks or cannot read keeps its value.
void LoadChooserFonts(const ProgramEnvironment& env, ChooserFonts& fonts);
// Writes the three fonts; false when the file could not be written (the old one then stays).
bool SaveChooserFonts(const ProgramEnvironment& env, const ChooserFonts& fonts);

}  // namespace radevir
