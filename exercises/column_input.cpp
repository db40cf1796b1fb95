// The input of a written-arithmetic task: each digit read with its blinking cursor, judged at
// once and logged; carries typed small in the next column; help by Enter and after wrong digits
// (the hundred board on the column being worked, then the digit itself); the frames round the
// digits being multiplied and the multiplication's value and carry hints.
#include <algorithm>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/column_work.h"
#include "exercises/exercise_run.h"
#include "exercises/hundred_board.h"
#include "exercises/session.h"
#include "graphics/graphics.h"

namespace radevir {

namespace {

constexpr unsigned char kNoInput = 30;  // a key that has been dealt with
constexpr unsigned char kSkipLetter = 'w';
constexpr int kBlinkPhaseMs = 400;
constexpr int kLastHelpStep = 4;
constexpr int kOneStepState = 1;
constexpr int kDifferenceState = 100;
constexpr int kTaskFont = 3;
constexpr int kPlainFont = 0;
constexpr int kLargestTextSize = 12;
constexpr int kJustifyLeft = 0, kJustifyRight = 2;
constexpr int kJustifyBottom = 0, kJustifyTop = 2;
constexpr int kThickLine = 3, kNormalLine = 1;
constexpr int kFrameStrip = 2;  // the frame's line lies within this distance of the cell border
constexpr int kFactorFrameColour = 4;
constexpr int kTargetFrameColour = 2;
constexpr int kDivisionLines = 4;
constexpr int kLargeCarryFromGrid = 6;  // from this level the carries are printed larger
const Bytes kHelpShownMark = "(H4)";

bool IsDigitKey(unsigned char key, bool extended) {
    return !extended && key >= '0' && key <= '9';
}
bool HelpOnEnter(const ProgramOptions& o) {
    return o.help >= option::Help::kOnEnter && o.help <= option::Help::kAtSecondError;
}
bool HelpKeys(const ProgramOptions& o) {
    return o.help == option::Help::kHelpKeys || o.help == option::Help::kAtSecondError;
}
bool AutomaticHelp(const ProgramOptions& o) {
    return o.help > option::Help::kHelpKeys;
}
bool IsSkipKey(unsigned char key, bool extended) {
    return !extended && (key == kSkipKey || key == kSkipLetter);
}

}  // namespace

TaskExit ColumnWork::Work() {
    for (const ColumnEntry& entry : plan_.entries) {
        if (entry.kind == EntryKind::ProductSum && plan_.sumLine)
            DrawLine(*plan_.sumLine, 1, grid_.gridSize - 3);
        if (!TypeEntry(entry)) return exit_;
        if (entry.lineAfter) DrawLine(*entry.lineAfter, 1, kDivisionLines);
    }
    return TaskExit::Solved;
}

bool ColumnWork::TypeEntry(const ColumnEntry& entry) {
    helpCount_ = 0;
    showExpected_ = false;
    for (int j = 0; j < static_cast<int>(entry.digits.size()); ++j) {
        if (!TypeDigit(entry, j)) return false;
    }
    EraseCarryHint();
    RemoveFrames();
    return true;
}

// What the hundred board shows for this digit: a one-step task, or the column of the task.
void ColumnWork::SetStep(const ColumnEntry& entry, int j) {
    const int n = static_cast<int>(entry.digits.size());
    columnIndex_ = j;
    carryValue_ =
        j > 0 && !entry.carries.empty() ? entry.carries[static_cast<size_t>(n - j)] - '0' : 0;
    subTaskState_ = 0;
    subTask_.clear();
    subTaskTitle_.clear();
    boardText_ = entry.boardText.empty() ? run_.task.displayText : entry.boardText;
    if (!entry.boardTitle.empty()) {
        subTask_ = entry.boardText;
        subTaskTitle_ = entry.boardTitle;
        subTaskState_ = entry.differenceStep ? kDifferenceState : kOneStepState;
    } else if (entry.kind == EntryKind::PartialProduct && !BoardCountsTensAsTens(o_.hundredBoard) &&
               j < static_cast<int>(entry.firstFactor.size())) {
        const char b = entry.firstFactor[entry.firstFactor.size() - 1 - static_cast<size_t>(j)];
        subTask_ = Bytes(1, entry.multiplierDigit) + "*" + b + "=";
        subTaskTitle_ = Bytes(1, entry.multiplierDigit) + "x" + b;
        subTaskState_ = kOneStepState;
    }
}

bool ColumnWork::TypeDigit(const ColumnEntry& entry, int j) {
    const int n = static_cast<int>(entry.digits.size());
    SetStep(entry, j);
    const int cell = entry.rightCell - j;
    const int row = entry.row;
    const char expected = entry.digits[static_cast<size_t>(n - 1 - j)];
    if (o_.highlightCurrentDigits && entry.kind == EntryKind::PartialProduct) DrawFrames(entry, j);
    const SavedPatch clean(g_, CellRect(cell, row));
    for (;;) {
        unsigned char key = 0;
        if (!ReadDigit(clean, cell, row, expected, key)) return false;
        if (!IsDigitKey(key, lastExtended_)) continue;  // Enter comes back as help next round
        if (key == static_cast<unsigned char>(expected)) break;
        WrongDigit(entry, cell, row, key);
    }
    showExpected_ = false;
    clean.Restore(g_);
    DrawChar(cell, row, expected, colours_.typed);
    lastTypedCell_ = cell;
    lastTypedRow_ = row;
    lastTypedDigit_ = expected;
    KeyClick(s_);
    LogCorrectKey(s_, static_cast<unsigned char>(expected));
    if (entry.kind == EntryKind::PartialProduct) ShowHints(entry, j, expected);
    if (!entry.carries.empty()) {
        const char carry = entry.carries[static_cast<size_t>(n - 1 - j)];
        if (carry != '0' && !TypeCarry(cell - 1, row - 1, carry)) return false;
    }
    helpCount_ = 0;
    return true;
}

bool ColumnWork::ReadDigit(const SavedPatch& clean, int cell, int row, char expected,
                           unsigned char& key) {
    if (lastKey_ == doskey::kEnter && !lastExtended_ && HelpOnEnter(o_)) {
        lastKey_ = kNoInput;
        // a difference has no smaller step to show: its digit comes at once
        if (subTaskState_ == kDifferenceState) helpCount_ = kLastHelpStep - 1;
        HelpStep(cell, row);
    }
    const char shown = showExpected_ ? expected : '?';
    BlinkUntilKey(clean, [&] { DrawChar(cell, row, shown, colours_.blink); });
    key = c_.ReadKey();
    lastKey_ = key;
    lastExtended_ = c_.LastKeyExtended();
    if (key == doskey::kEscape && !lastExtended_) return HandleEscape(key);
    if (IsSkipKey(key, lastExtended_)) {
        run_.lastKey = kSkipKey;
        exit_ = TaskExit::Skipped;
        return false;
    }
    if (lastExtended_ && HundredBoardLevel(key) > 0) {
        if (HelpKeys(o_) && subTaskState_ < kDifferenceState) Board(key);
        key = kNoInput;
        lastKey_ = kNoInput;
    }
    return true;
}

bool ColumnWork::HandleEscape(unsigned char& key) {
    if (AskQuit(s_) == doskey::kEscape) {
        exit_ = TaskExit::Escaped;
        return false;
    }
    key = kNoInput;
    lastKey_ = kNoInput;
    lastExtended_ = false;
    return true;
}

template <typename Draw>
void ColumnWork::BlinkUntilKey(const SavedPatch& clean, Draw draw) {
    do {
        draw();
        if (!c_.KeyPressed()) c_.Delay(kBlinkPhaseMs);
        clean.Restore(g_);
        if (!c_.KeyPressed()) c_.Delay(kBlinkPhaseMs);
    } while (!c_.KeyPressed());
}

// One help step for the digit: the board at the next level, and at the fourth step the digit.
void ColumnWork::HelpStep(int cell, int row) {
    DrawChar(cell, row, '?', colours_.helpMark);
    ++helpCount_;
    switch (helpCount_) {
        case 1:
            Board(doskey::kLeft);
            break;
        case 2:
            Board(doskey::kUp);
            break;
        case 3:
            Board(doskey::kRight);
            break;
        default:
            showExpected_ = true;
            helpCount_ = 0;
            run_.taskWrong = true;
            if (Bytes* line = CurrentProtocolLine(s_)) *line += kHelpShownMark;
            break;
    }
}

void ColumnWork::WrongDigit(const ColumnEntry& entry, int cell, int row, unsigned char key) {
    ErrorTone(s_);
    LogWrongKey(s_, key);
    if (!run_.countedWrong) {
        FirstError(s_);
        return;
    }
    // a digit brought down is copied, not worked out: nothing to help with
    if (entry.kind == EntryKind::BroughtDown) return;
    if (AutomaticHelp(o_)) HelpStep(cell, row);
}

void ColumnWork::Board(unsigned char levelKey) {
    const bool oneStep = subTaskState_ > 0;
    const BoardColumn column{true, columnIndex_, carryValue_, oneStep ? subTaskTitle_ : Bytes()};
    ShowHundredBoard(s_, oneStep ? subTask_ : boardText_, levelKey, column);
}

void ColumnWork::UseCarryFont() {
    g_.SetTextStyle(kTaskFont, 0, grid_.gridSize >= kLargeCarryFromGrid ? 3 : 2);
    g_.SetTextJustify(kJustifyRight, kJustifyBottom);
}

// The carry stands small at the bottom right of its column in the row above, just over the line,
// in the margin the digits leave on the right of their cells.
QPoint ColumnWork::CarryPoint(int cell, int row) const {
    return {grid_.CellRight(cell) - std::max(2, grid_.cell / 20), grid_.Baseline(row) + 2};
}

bool ColumnWork::TypeCarry(int cell, int row, char expected) {
    UseCarryFont();
    const QPoint at = CarryPoint(cell, row);
    const int width = g_.TextWidthVga("0") + 4;
    const int height = g_.TextAscentVga("0") + 4;
    const SavedPatch clean(
        g_, QRect(QPoint(at.x() - width, at.y() - height), QPoint(at.x() + 2, at.y() + 3)));
    bool reveal = false;
    const auto draw = [&](char ch, int colour) {
        UseCarryFont();
        g_.SetColor(colour);
        g_.OutTextXY(at.x(), at.y(), Bytes(1, ch));
    };
    for (;;) {
        BlinkUntilKey(clean, [&] { draw(reveal ? expected : '?', colours_.carryPrompt); });
        const unsigned char key = c_.ReadKey();
        const bool extended = c_.LastKeyExtended();
        if (key == doskey::kEscape && !extended) {
            if (AskQuit(s_) == doskey::kEscape) {
                exit_ = TaskExit::Escaped;
                return false;
            }
            continue;
        }
        if (key == doskey::kEnter && !extended && HelpOnEnter(o_)) {
            reveal = true;  // the carry blinks; the child still types it
            continue;
        }
        if (extended && HundredBoardLevel(key) > 0) {
            if (HelpKeys(o_) && subTaskState_ < kDifferenceState) Board(key);
            continue;
        }
        if (!extended && key == static_cast<unsigned char>(expected)) break;
        // a wrong carry is no error: the prompt stays
    }
    clean.Restore(g_);
    draw(expected, colours_.typed);
    KeyClick(s_);
    LogCorrectKey(s_, static_cast<unsigned char>(expected));
    lastKey_ = static_cast<unsigned char>(expected);
    lastExtended_ = false;
    return true;
}

// After a digit of a partial product: what was multiplied and what carries over, small in the
// cell of the next digit.
void ColumnWork::ShowHints(const ColumnEntry& entry, int j, char typed) {
    const int n = static_cast<int>(entry.digits.size());
    const int flags = o_.writtenHelpFlags;
    if (j >= n - 1 || (flags & (kValueHintFlag | kCarryHintFlag)) == 0) return;
    if (BoardCountsTensAsTens(o_.hundredBoard) || j >= static_cast<int>(entry.firstFactor.size()))
        return;
    const int b = entry.firstFactor[entry.firstFactor.size() - 1 - static_cast<size_t>(j)] - '0';
    const MultiplicationHint hint =
        HintAfterDigit(entry.multiplierDigit - '0', b, typed - '0', flags);
    // the carry hint of the digit before goes, even when this digit has none
    EraseCarryHint();
    const int cell = entry.rightCell - j - 1;
    const int row = entry.row;
    const int hintHeight = grid_.cell / 5 + 2;
    g_.SetTextStyle(kPlainFont, 0, kLargestTextSize);
    g_.FitFontHeight(hintHeight);
    const int x = grid_.CellLeft(cell) + 2;
    if (!hint.value.empty()) {
        g_.SetColor(colours_.grid);
        c_.Canvas().fontColour = colours_.productHint;
        g_.SetTextJustify(kJustifyLeft, kJustifyBottom);
        g_.OutTextXY(x, grid_.RowBottom(row) - 2, hint.value);
    }
    if (!hint.carry.empty()) {
        const int y = grid_.RowTop(row) + 2;
        carryHint_ =
            SavedPatch(g_, QRect(QPoint(x - 1, y - 1),
                                 QPoint(x + g_.TextWidthVga(hint.carry) + 2, y + hintHeight + 3)));
        carryHintCell_ = cell;
        carryHintRow_ = row;
        g_.SetColor(colours_.carryHint);
        g_.SetTextJustify(kJustifyLeft, kJustifyTop);
        g_.OutTextXY(x, y, hint.carry);
    }
}

void ColumnWork::EraseCarryHint() {
    if (carryHint_.Empty()) return;
    carryHint_.Restore(g_);
    carryHint_ = SavedPatch();
    // the digit typed into that cell since may have been covered
    if (lastTypedCell_ == carryHintCell_ && lastTypedRow_ == carryHintRow_)
        DrawChar(lastTypedCell_, lastTypedRow_, lastTypedDigit_, colours_.typed);
}

void ColumnWork::DrawFrames(const ColumnEntry& entry, int j) {
    RemoveFrames();
    const auto frame = [&](int cell, int row, int colour) {
        const int left = grid_.CellLeft(cell), right = grid_.CellRight(cell);
        const int top = grid_.RowTop(row), bottom = grid_.RowBottom(row);
        constexpr int d = kFrameStrip;
        Frame f;
        f.top = SavedPatch(g_, QRect(QPoint(left - d, top - d), QPoint(right + d, top + d)));
        f.bottom =
            SavedPatch(g_, QRect(QPoint(left - d, bottom - d), QPoint(right + d, bottom + d)));
        f.left = SavedPatch(g_, QRect(QPoint(left - d, top - d), QPoint(left + d, bottom + d)));
        f.right = SavedPatch(g_, QRect(QPoint(right - d, top - d), QPoint(right + d, bottom + d)));
        frames_.push_back(f);
        g_.SetLineStyle(0, 0, kThickLine);
        g_.SetColor(colour);
        g_.Rectangle(left, top, right, bottom);
        g_.SetLineStyle(0, 0, kNormalLine);
    };
    frame(entry.multiplierCell, 0, kFactorFrameColour);
    if (j < static_cast<int>(entry.firstFactor.size()))
        frame(entry.firstFactorRightCell - j, 0, kFactorFrameColour);
    frame(entry.rightCell - j, entry.row, kTargetFrameColour);
}

void ColumnWork::RemoveFrames() {
    // newest first: where two frames meet, the older patch holds the plain grid
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
        it->right.Restore(g_);
        it->left.Restore(g_);
        it->bottom.Restore(g_);
        it->top.Restore(g_);
    }
    frames_.clear();
}

}  // namespace radevir
