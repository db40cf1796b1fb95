#include "exercises/hundred_board.h"

#include <QImage>
#include <algorithm>
#include <optional>

#include "console/console.h"
#include "exercises/session.h"
#include "graphics/graphics.h"

namespace radevir {

namespace {

// --- in 640×480 units, from the board's origin ----------------------------------------------------
constexpr int kCrossOffset = 121;  // the cross over the gaps between the quarters: 121 and 122
constexpr int kBoardExtent = BoardCellOrigin(kBoardCells, false).x - BoardOrigin(false).x + kBoardCellSize;  // 243
constexpr int kCentreOffset = kBoardCellSize / 2;
// The panel of a task the board cannot show.
constexpr int kPanelWidth = 240;
constexpr int kPanelHeight = 254;
// Everything the board draws lies inside this area: the cells reach 243 to the right and the
// column title, written centred on 250, a little below 254.
constexpr int kSavedWidth = kBoardExtent + 1;
constexpr int kSavedHeight = 264;
constexpr int kTitleY = 250;

constexpr int kInkColour = 0;
constexpr int kPanelColour = 12;
constexpr int kPanelTextSize = 2;
constexpr int kBoardTextSize = 1;
constexpr int kTextFont = 0;
constexpr int kJustifyCentre = 1;
constexpr int kSolidFill = 1;

// Foreign characters beep like a wrong key in column arithmetic.
constexpr int kBeepHz = 800;
constexpr int kBeepMs = 100;
constexpr int kBeepPauseMs = 20;

// The drawing settings the board changes (colour, fill, font and text settings), taken as they
// are and put back exactly: the graphics layer's getters give only part of them (the fill
// settings come back as the background colour).
class SavedDrawingState {
public:
    explicit SavedDrawingState(Console& console)
        : console_(console), canvas_(console.Canvas()), colour_(console.CurrentColour()),
          text_(console.Graphics()) {}
    ~SavedDrawingState() {
        console_.Canvas() = canvas_;
        console_.SetCurrentColour(colour_);
        GraphicsSettings& now = console_.Graphics();
        now.fillColourIndex = text_.fillColourIndex;
        now.fontIndex = text_.fontIndex;
        now.charSize = text_.charSize;
        now.justifyHorizontal = text_.justifyHorizontal;
        now.justifyVertical = text_.justifyVertical;
    }
    SavedDrawingState(const SavedDrawingState&) = delete;
    SavedDrawingState& operator=(const SavedDrawingState&) = delete;

private:
    Console& console_;
    CanvasState canvas_;  // pen, brush and font
    int colour_;
    GraphicsSettings text_;  // only its fill colour and text fields are put back
};

// The screen under the board, put back when the board goes (also when a program abort unwinds
// through the wait).
class SavedArea {
public:
    SavedArea(Graphics& graphics, BoardPoint origin) : graphics_(graphics), origin_(origin) {
        const int right = std::min(origin.x + kSavedWidth, graphics.GetMaxX());
        const int bottom = std::min(origin.y + kSavedHeight, graphics.GetMaxY());
        graphics.GetImage(origin.x, origin.y, right, bottom, picture_);
    }
    ~SavedArea() { graphics_.PutImage(origin_.x, origin_.y, picture_); }
    SavedArea(const SavedArea&) = delete;
    SavedArea& operator=(const SavedArea&) = delete;

private:
    Graphics& graphics_;
    BoardPoint origin_;
    QImage picture_;
};

const char* OperationTitle(int operation) {
    switch (operation) {
        case kAddition: return "Addition";
        case kSubtraction: return "Subtraktion";
        case kMultiplication: return "Multiplikation";
        case kDivision: return "Division";
        default: return "";
    }
}

void DrawNotDisplayable(Session& session, Graphics& g, BoardPoint o, std::string_view taskText,
                        const BoardColumn& column) {
    g.SetFillStyle(kSolidFill, kPanelColour);
    g.Bar(o.x, o.y, o.x + kPanelWidth, o.y + kPanelHeight);
    g.SetTextStyle(kTextFont, 0, kPanelTextSize);
    const int x = o.x + kPanelWidth / 2;
    g.OutTextXY(x, o.y + 50, "Aufgabe in");
    g.OutTextXY(x, o.y + 80, "Hundertertafel");
    g.OutTextXY(x, o.y + 110, "nicht");
    g.OutTextXY(x, o.y + 140, "darstellbar.");
    if (column.active && BoardCountsTensAsTens(session.options.hundredBoard)) {
        // single steps ("+1↓", "+1↑") would show this column's work
        g.SetTextStyle(kTextFont, 0, kBoardTextSize);
        g.OutTextXY(x, o.y + 180, "Option \"H-Tafel\" auf");
        g.OutTextXY(x, o.y + 200, "+1↓ oder +1↑ stellen"_b);
    }
    // the tachistoscope's task is to be read in its flash, not here
    const bool flashed = session.programCode == ProgramCode::Tachistoscope;
    g.OutTextXY(x, o.y + 220, flashed ? Bytes("Wird mit ENTER gezeigt.") : Bytes(taskText));
}

void DrawBoard(Session& session, Graphics& g, BoardPoint o, const BoardTask& task, int level,
               const BoardColumn& column) {
    if (column.active) {
        Bytes title = OperationTitle(task.operation);
        const Bytes& step = task.title.empty() ? column.subTaskTitle : task.title;
        if (BoardShowsStepTitle(session.options.hundredBoard) && !step.empty()) title += " " + step;
        g.OutTextXY(o.x + kPanelWidth / 2, o.y + kTitleY, title);
    }
    const std::array<BoardCell, kBoardCells> cells = BoardCells(task, level);
    for (int k = 1; k <= kBoardCells; ++k) {
        const BoardCell& cell = cells[static_cast<size_t>(k - 1)];
        const BoardPoint p = BoardCellOrigin(k, column.active);
        g.SetFillStyle(kSolidFill, cell.colour);
        g.Bar3D(p.x, p.y, p.x + kBoardCellSize, p.y + kBoardCellSize, 0, false);
        if (cell.struckOut) g.Line(p.x, p.y, p.x + kBoardCellSize, p.y + kBoardCellSize);
        if (cell.number > 0) g.OutTextXY(p.x + kCentreOffset, p.y + kCentreOffset, std::to_string(cell.number));
    }
    for (int offset : {kCrossOffset, kCrossOffset + 1}) {
        g.Line(o.x + offset, o.y, o.x + offset, o.y + kBoardExtent);
        g.Line(o.x, o.y + offset, o.x + kBoardExtent, o.y + offset);
    }
}

// The mark goes on while the line has room, as the logged keys do.
void MarkProtocolLine(Session& session, int level) {
    Bytes* line = CurrentProtocolLine(session);
    if (line != nullptr && static_cast<int>(line->size()) < ExerciseRun::kProtocolKeyLimit)
        *line += "(H" + std::to_string(level) + ")";
}

}  // namespace

bool ShowHundredBoard(Session& session, std::string_view taskText, unsigned char key, const BoardColumn& column) {
    Console& console = session.console;
    const BoardTask task = MakeBoardTask(taskText, column, session.options.hundredBoard);
    for (int i = 0; i < task.foreignCharacters; ++i) {
        console.Sound(kBeepHz, kBeepMs);
        console.Delay(kBeepPauseMs);
    }
    // callers pass only the help keys; anything else shows the colours alone
    const int level = std::max(HundredBoardLevel(key), 1);
    const bool displayable = task.operation != kNoOperation;
    {
        std::optional<SavedDrawingState> state;
        std::optional<SavedArea> area;
        if (session.graphics != nullptr) {
            Graphics& g = *session.graphics;
            const BoardPoint origin = BoardOrigin(column.active);
            state.emplace(console);
            area.emplace(g, origin);
            g.SetColor(kInkColour);
            g.SetFillStyle(kSolidFill, kPanelColour);
            g.SetTextStyle(kTextFont, 0, kBoardTextSize);
            g.SetTextJustify(kJustifyCentre, kJustifyCentre);
            if (displayable) {
                DrawBoard(session, g, origin, task, level, column);
            } else {
                DrawNotDisplayable(session, g, origin, taskText, column);
            }
        }
        if (displayable) {
            session.run.taskWrong = true;
            MarkProtocolLine(session, level);
        }
        // The board stays until a key comes; that key only closes it. The screen goes back as
        // the scope ends (also when an abort unwinds through the wait), then keys typed behind
        // it are read away too.
        console.ReadKey();
    }
    while (console.KeyPressed()) console.ReadKey();
    return displayable;
}

}  // namespace radevir
