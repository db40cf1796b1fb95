#include "training/grab_game.h"

#include <algorithm>
#include <functional>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/session.h"
#include "exercises/task_model.h"
#include "graphics/graphics.h"

namespace radevir {

namespace {

using namespace option;

constexpr int kMaxX = 639, kMaxY = 479, kMidX = 319;
constexpr int kTaskFont = 3;
constexpr int kLargestTextSize = 7, kSmallestTextSize = 4;
constexpr int kUpperPartBottom = kMaxY / 2 - 82;
constexpr int kPaletteBottom = 470;
constexpr int kPaletteColour = 12;
constexpr int kJokerColour = 4;
constexpr int kRowTextColour = 1;
constexpr int kCoinColour = 13, kCoinEdgeColour = 5;
constexpr int kSolid = 1, kBackgroundFill = 0;
// Picture sizes (640×480 units) and the point of the hand that follows the pointer.
constexpr QSize kHandSize(44, 48), kClapSize(100, 68);
constexpr QPoint kHandHotSpot(30, 36);  // the tile held stays in sight below and right of it
constexpr QPoint kClapAt(532, 410);
constexpr int kCoinFallStep = 2, kCoinFallStart = 180;
constexpr int kFirstJokerBlinkFlag = 1;

// --- the options screen ----------------------------------------------------------------------

constexpr int kLabelColumn = 2, kValueColumn = 13;
constexpr int kCurrentLabelColour = 132;
constexpr int kWindowTop = 6;

void DrawGrabOptionsBox(Console& c) {
    c.TextColor(0);
    c.TextBackground(7);
    const char* rows[] = {
        "┌─────────────Greifspiel────────────┐", "│                                   │",
        "│   Spiel starten mit RETURN/ENTER  │", "│                                   │",
        "│──────────┬──────Optionen──────────│"};
    int row = 1;
    for (const char* r : rows) {
        c.GotoXY(1, row++);
        c.Write(ScreenBytes(r));
    }
    for (int i = 0; i < 9; ++i) {
        c.GotoXY(1, row++);
        c.Write("│          │                        │"_b);
    }
    c.GotoXY(1, row);
    c.Write("└──────────┴────────────────────────┘"_b);
}

void DrawGrabOptions(Console& c, const ProgramOptions& o, int line) {
    for (int l = 1; l <= kGrabOptionLines; ++l) {
        c.TextColor(l == line ? kCurrentLabelColour : 0);
        c.TextBackground(7);
        c.GotoXY(kLabelColumn, GrabLabelRow(l));
        c.Write(GrabLabel(l));
    }
    for (const GrabValueRow& row : GrabValueRows(o)) {
        c.GotoXY(kValueColumn, row.row);
        for (const GrabChoice& choice : row.choices) {
            c.TextColor(choice.lit ? 15 : 0);
            c.TextBackground(choice.lit ? 2 : 7);
            c.Write(choice.text);
        }
    }
}

// The line a value row belongs to, and the value a click there means (0-based place).
GrabOptionsClick ValueClick(int windowRow, int item) {
    GrabOptionsClick click;
    const int targetRow = GrabLabelRow(kGrabTargetLine);
    if (windowRow == GrabLabelRow(kGrabJokerLine)) {
        click.valueLine = kGrabJokerLine;
        click.value = item;
    } else if (windowRow >= targetRow && windowRow < targetRow + GrabTarget::kOverwriteAll + 1) {
        click.valueLine = kGrabTargetLine;
        click.value = windowRow - targetRow;  // one choice a row
    } else if (windowRow == GrabLabelRow(kGrabInsertLine)) {
        click.valueLine = kGrabInsertLine;
        click.value = item;
    } else if (windowRow == GrabLabelRow(kGrabCountLine)) {
        click.valueLine = kGrabCountLine;
        click.value = item;
    }
    return click;
}

// --- drawing the game --------------------------------------------------------------------------

void PutSprite(Graphics& g, const Sprite& s, int x, int y) {
    if (!s.image.isNull()) g.PutMaskedImage(x, y, s.Picture(), s.mask);
}

// The mask of a picture captured from a black screen: black where it has ink.
QImage MaskOf(const QImage& image) {
    QImage mask(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            dst[x] = (src[x] & 0xFFFFFFu) != 0 ? 0xFF000000u : 0xFFFFFFFFu;
    }
    return mask;
}

// A picture drawn on black in the box (right and bottom exclusive) and captured from the screen.
void Capture(Graphics& g, Sprite& s, QRect box, const std::function<void()>& draw) {
    g.SetFillStyle(kSolid, 0);
    g.Bar(box.left(), box.top(), box.right(), box.bottom());
    draw();
    g.GetImage(box.left(), box.top(), box.right(), box.bottom(), s.image);
    s.mask = MaskOf(s.image);
    s.width = box.width();
    s.height = box.height();
}

void DrawCoin(Graphics& g, int x, int y) {
    constexpr int kRadiusX = 30, kRadiusY = 10, kHeight = 10;
    g.SetColor(kCoinEdgeColour);
    g.SetFillStyle(kSolid, kCoinColour);
    g.FillEllipse(x, y + kHeight, kRadiusX, kRadiusY);
    g.Bar(x - kRadiusX, y, x + kRadiusX, y + kHeight);
    g.Line(x - kRadiusX, y, x - kRadiusX, y + kHeight);
    g.Line(x + kRadiusX, y, x + kRadiusX, y + kHeight);
    g.FillEllipse(x, y, kRadiusX, kRadiusY);
}

void DrawCoinStack(Graphics& g, int coins) {
    for (int k = 1; k <= coins; ++k) {
        const QPoint at = CoinPlace(k);
        DrawCoin(g, at.x(), at.y());
    }
}

// Composes a frame on page 1 from the background of page 0 and shows it: the drawn tiles (the
// dragged one on top), whatever `extra` adds, the hand.
void Present(Session& s, GrabGame& game, GrabTask& task, bool hand,
             const std::function<void()>& extra = {}) {
    Console& c = s.console;
    Graphics& g = *s.graphics;
    const GrabBoard& b = task.board;
    c.CopyScreenPage(1, 0);
    g.SelectDrawTarget(1);
    for (int i = 1; i < b.TileCount(); ++i) {
        if (i == b.dragged || !b.Drawn(i)) continue;
        const Sprite& t = b.tiles[static_cast<size_t>(i)];
        PutSprite(g, t, t.x, t.y);
    }
    if (b.dragged != 0) {
        const Sprite& t = b.tiles[static_cast<size_t>(b.dragged)];
        PutSprite(g, t, t.x, t.y);
    }
    if (extra) extra();
    if (hand) {
        const Sprite& h = b.dragged != 0 ? game.handClosed : game.handOpen;
        PutSprite(g, h, task.mouse.x() - kHandHotSpot.x(), task.mouse.y() - kHandHotSpot.y());
    }
    g.SelectDrawTarget(-1);
    g.RestoreScreenPageToTarget(1, false);
    g.Flip();
    ++game.frames;
}

bool SoundOn(const ProgramOptions& o) {
    return o.soundLevel == SoundLevel::kAllSounds || o.soundLevel == SoundLevel::kKeyClickAndError;
}

// Waits frame by frame for `ms`; true as soon as a key is waiting or a button was pressed.
bool WaitUnlessInput(Session& s, GrabGame& game, double ms, long pressesBefore) {
    Console& c = s.console;
    const double end = c.GetClock().NowMs() + ms;
    for (;;) {
        if (c.KeyPressed() || c.MousePressCount() != pressesBefore) return true;
        int x = 0, y = 0;
        if (c.GetMouseState(x, y) != 0) return true;
        if (c.GetClock().NowMs() >= end) return false;
        c.WaitUntil(std::min(end, c.GetClock().NowMs() + game.framePeriodMs));
    }
}

bool TimeIsUp(Session& s) {
    return s.options.timeLimited == TimeLimited::kLimited && s.run.timeLimit_s > 0 &&
           s.run.runStopwatch.RunningSeconds(s.console.GetClock()) > s.run.timeLimit_s;
}

// The reward of a solved task: the coin, the claps, the wait for the child. False when the game
// ends (Escape, the time limit).
bool Reward(Session& s, GrabGame& game, GrabTask& task) {
    Console& c = s.console;
    Graphics& g = *s.graphics;
    const ProgramOptions& o = s.options;
    const int score = GrabScore(task.board.misses, task.board.toPlace);
    if (o.grabCountAlong == Switch::kOn) {
        const int x = 100 * (game.coins % 5) + 100;
        for (int y = kCoinFallStart; y <= CoinFallEnd(game.coins); y += kCoinFallStep) {
            Present(s, game, task, false, [&g, x, y] { DrawCoin(g, x, y); });
            WaitForNextFrame(s, game);
        }
        game.coins = std::min(game.coins + 1, kMostCoins);
        if (o.soundLevel == SoundLevel::kAllSounds) c.PlayWaveFile("wavs\\Geld.wav");
        g.SelectDrawTarget(0);
        g.SetFillStyle(kBackgroundFill, 0);
        g.Bar(0, 190, 530, 410);
        DrawCoinStack(g, game.coins);
        g.SelectDrawTarget(-1);
        Present(s, game, task, false);
    }
    const ClapPlan plan = ClapsForScore(score, o.soundLevel);
    if (plan.sound != nullptr) c.PlayWaveFile(plan.sound);
    const long presses = c.MousePressCount();
    for (int k = 0; k < plan.claps; ++k) {
        Present(s, game, task, false,
                [&] { PutSprite(g, game.clapOpen, kClapAt.x(), kClapAt.y()); });
        if (WaitUnlessInput(s, game, plan.openMs, presses)) break;
        Present(s, game, task, false,
                [&] { PutSprite(g, game.clapClosed, kClapAt.x(), kClapAt.y()); });
        if (WaitUnlessInput(s, game, plan.closedMs, presses)) break;
    }
    if (TimeIsUp(s)) return false;
    // on to the next task at a key or a button; Escape ends the game
    const long before = c.MousePressCount();
    for (;;) {
        if (c.KeyPressed()) {
            unsigned char last = 0;
            while (c.KeyPressed()) last = c.ReadKey();
            return last != doskey::kEscape;
        }
        int x = 0, y = 0;
        if (c.GetMouseState(x, y) != 0 || c.MousePressCount() != before) return true;
        WaitForNextFrame(s, game);
    }
}

// The next line to play, or none at the end of the list. In random order the line is drawn
// again while it is one of the two shown last.
std::optional<Bytes> NextGrabLine(Session& s, std::vector<Bytes>& shown) {
    TaskList& list = s.tasks;
    const auto playable = [](const Bytes& line) {
        return !line.empty() && !IsHintLine(line) && !IsSeparatorLine(line);
    };
    constexpr int kFewestForRandom = 6;
    if (s.options.taskOrder == TaskOrder::kRandom && list.Count() >= kFewestForRandom) {
        constexpr int kDraws = 200;
        int chosen = 0;
        for (int draw = 0; draw < kDraws; ++draw) {
            const int k = 1 + s.random.Next(list.Count() - 2);
            const Bytes& line = list.Line(k);
            if (!playable(line)) continue;
            chosen = k;
            const bool recent =
                std::find(shown.end() - std::min<std::ptrdiff_t>(2, std::ssize(shown)), shown.end(),
                          line) != shown.end();
            if (!recent) break;
        }
        if (chosen == 0) return std::nullopt;
        list.position = chosen;
        return list.Line(chosen);
    }
    while (list.position <= list.Count() && !playable(list.Line(list.position))) ++list.position;
    if (list.position > list.Count() || list.position < 1) return std::nullopt;
    return list.Line(list.position++);
}

// The shown tasks go into the task history's entries 2 … 40, round and round.
void RememberShown(Session& s, std::vector<Bytes>& shown, const Bytes& line) {
    constexpr int kFirstEntry = 2, kEntries = 39;
    s.run.taskHistory[static_cast<size_t>(kFirstEntry + std::ssize(shown) % kEntries)] = line;
    shown.push_back(line);
}

}  // namespace

bool RunGrabGameOptions(Session& s) {
    Console& c = s.console;
    c.Window(1, 1, 80, 25);
    c.HideTextCursor();
    c.ShadeCells(78, kWindowTop + 1, 78, kWindowTop + 15, 0);
    c.ShadeCells(42, kWindowTop + 15, 78, kWindowTop + 15, 0);
    c.Window(41, kWindowTop, 77, 22);
    DrawGrabOptionsBox(c);
    c.PushMouseRegions("", "radevir.mt3");
    int line = std::clamp(s.grabOptionsLine, 1, kGrabOptionLines);
    GrabOptionsClose close = GrabOptionsClose::None;
    while (close == GrabOptionsClose::None) {
        DrawGrabOptions(c, s.options, line);
        const unsigned char key = c.ReadKey();
        const bool extended = c.LastKeyExtended();
        GrabOptionsClick click;
        int value = 0;
        if (extended && c.TakeListRow(value, 1, kGrabOptionLines)) {
            click.line = value;
        } else if (extended && key >= doskey::kRegionItemBase &&
                   key <= doskey::kRegionLastItemCode &&
                   c.TakeItem(value, 0, doskey::kRegionLastItemCode - doskey::kRegionItemBase)) {
            click = ValueClick(c.Regions().ItemHitRow() - kWindowTop + 1, value);
            if (!click.valueLine) continue;
        }
        const GrabOptionsStep step = GrabOptionsKey(line, s.options, key, extended, click);
        if (step.changed) s.optionsDirty = true;
        line = step.line;
        close = step.close;
    }
    s.grabOptionsLine = line;
    c.PopMouseRegions();
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    return close == GrabOptionsClose::Start;
}

void LoadGrabPictures(Session& s, GrabGame& game) {
    Graphics& g = *s.graphics;
    const auto load = [&](Sprite& sprite, QSize size, const char* file) {
        sprite = Sprite{};
        sprite.image = QImage(g.VgaSizeToPixel(size), QImage::Format_RGB32);
        g.LoadMaskedPicture(sprite.image, &sprite.mask, s.ProgramFolder() + "bitplane\\" + file);
        sprite.width = size.width();
        sprite.height = size.height();
    };
    load(game.handOpen, kHandSize, "maushand.emf");
    load(game.handClosed, kHandSize, "mausfaust.emf");
    load(game.clapOpen, kClapSize, "klatschauf.emf");
    load(game.clapClosed, kClapSize, "klatschzu.emf");
}

void SetUpGrabTask(Session& s, GrabGame& game, GrabTask& task, const GrabText& text) {
    Console& c = s.console;
    Graphics& g = *s.graphics;
    const ProgramOptions& o = s.options;
    task = GrabTask{};
    task.text = text;
    GrabBoard& b = task.board;
    const Bytes& chars = text.text;
    const int n = static_cast<int>(chars.size());

    GrabRules rules;
    rules.target = GrabTargetFor(o.grabTarget, chars.size());
    rules.inOrder = o.grabInsertOrder == GrabInsertOrder::kInOrder;
    rules.jokers = std::clamp(o.grabJokers, 0, static_cast<int>(GrabJokers::kMost));
    rules.soundLevel = o.soundLevel;
    rules.backgroundColour = o.backgroundColour;
    rules.colourDifference = o.colourDifference == Switch::kOn;

    // the text size: as large as fits
    g.SetTextJustify(0, 2);
    task.textSize = kLargestTextSize;
    g.SetTextStyle(kTaskFont, 0, task.textSize);
    while (task.textSize > kSmallestTextSize && g.TextWidthVga(chars) > kMaxX - 30) {
        --task.textSize;
        g.SetTextStyle(kTaskFont, 0, task.textSize);
    }
    const int size = task.textSize;
    const Graphics::GlyphBox one = g.GlyphBoxVga("1");
    const int h = std::max(1, one.bottom - one.top);
    const int y1 = 45 - size + h / 16;
    const int textY = y1 - one.top;  // the text's top, so that the ink of "1" fills the box

    // the places: boxes as wide as their characters, a little wider for signs
    constexpr int kSignExtra = 5;
    b.places.assign(static_cast<size_t>(n) + 1, GrabPlace{});
    b.tiles.assign(static_cast<size_t>(n) + 12, Sprite{});
    b.homes.assign(static_cast<size_t>(n) + 12, QPoint());
    int x = kMidX - g.TextWidthVga(chars) / 2 - size / 2;
    for (int i = 1; i <= n; ++i) {
        const char ch = chars[static_cast<size_t>(i - 1)];
        const int w = g.TextWidthVga(Bytes(1, ch)) + (ch >= '0' && ch <= '9' ? 0 : kSignExtra);
        b.places[static_cast<size_t>(i)] = GrabPlace{x, y1, x + w, y1 + h, false};
        x += w;
    }

    // the tiles: each character drawn on black in its colour and captured
    g.SetBkColor(o.backgroundColour);
    for (int i = 1; i <= n; ++i) {
        const char ch = chars[static_cast<size_t>(i - 1)];
        const GrabPlace& p = b.places[static_cast<size_t>(i)];
        const int offset = ch >= '0' && ch <= '9' ? 0 : kSignExtra / 2;
        Capture(g, b.tiles[static_cast<size_t>(i)],
                QRect(QPoint(p.x1, p.y1), QPoint(p.x2 - 1, p.y2 - 1)), [&] {
                    g.SetColor(GrabTileColour(o.backgroundColour, ch, o.highlightOperators,
                                              o.colourDifference));
                    g.OutTextXY(p.x1 + offset, textY, Bytes(1, ch));
                });
    }
    // the joker: a diamond
    Capture(g, b.tiles[static_cast<size_t>(n) + 1], QRect(QPoint(10, 300), QPoint(40, 360)), [&] {
        g.SetColor(kJokerColour);
        for (int jx = 10; jx <= 40; ++jx) {
            g.Line(25, 300, jx, 329);
            g.Line(jx, 331, 25, 360);
        }
    });
    b.jokerFlags = ColourFlagsFromMask(1 << kFirstJokerBlinkFlag);
    // the digit palette along the bottom
    if (UsesDigitPalette(rules.target)) {
        int total = 0;
        for (char d = '0'; d <= '9'; ++d) total += g.TextWidthVga(Bytes(1, d));
        int px = kMidX - total / 2 - 50;
        for (int d = 0; d < 10; ++d) {
            const char ch = static_cast<char>('0' + d);
            const int w = g.TextWidthVga(Bytes(1, ch));
            const size_t i = static_cast<size_t>(n) + 2 + static_cast<size_t>(d);
            Capture(g, b.tiles[i],
                    QRect(QPoint(px, kPaletteBottom - h), QPoint(px + w - 1, kPaletteBottom - 1)),
                    [&] {
                        g.SetColor(kPaletteColour);
                        g.OutTextXY(px, kPaletteBottom - h - one.top, Bytes(1, ch));
                    });
            b.homes[i] = QPoint(px, kPaletteBottom - h);
            px += w + 10;
        }
    }
    SetUpGrabBoard(b, text, rules, s.random);

    // the background: the row's boxes, the palette, the coin stack
    g.SetFillStyle(kBackgroundFill, 0);
    g.Bar(0, 0, kMaxX, kMaxY);
    if (rules.target == GrabTarget::kOverwriteAll) {
        g.SetColor(kRowTextColour);
        for (int i = 1; i <= n; ++i) {
            const GrabPlace& p = b.places[static_cast<size_t>(i)];
            const char ch = chars[static_cast<size_t>(i - 1)];
            g.OutTextXY(p.x1 + (ch >= '0' && ch <= '9' ? 0 : kSignExtra / 2), textY, Bytes(1, ch));
        }
    }
    g.SetColor(o.backgroundColour == BackgroundColour::kWhite ? 4 : 15);
    g.SetLineStyle(0, 0, 1);
    for (int i = 1; i <= n; ++i) {
        if (chars[static_cast<size_t>(i - 1)] == ' ') continue;
        const GrabPlace& p = b.places[static_cast<size_t>(i)];
        g.Rectangle(p.x1, p.y1, p.x2, p.y2);
    }
    if (b.palette) {
        for (int d = 0; d < 10; ++d) {
            const size_t i = static_cast<size_t>(n) + 2 + static_cast<size_t>(d);
            PutSprite(g, b.tiles[i], b.homes[i].x(), b.homes[i].y());
        }
    }
    if (o.grabCountAlong == Switch::kOn) DrawCoinStack(g, game.coins);
    c.SaveScreenPage(0);
    c.SaveScreenPage(1);
    int mx = 0, my = 0;
    c.GetMouseState(mx, my);
    task.mouse = QPoint(mx, my);
}

std::optional<GrabTaskEnd> RunGrabFrame(Session& s, GrabGame& game, GrabTask& task) {
    Console& c = s.console;
    GrabBoard& b = task.board;
    if (c.KeyPressed()) {
        const unsigned char key = c.ReadKey();
        const bool extended = c.LastKeyExtended();
        if (key == doskey::kEscape || key == doskey::kBackToMenu) {
            task.end = GrabTaskEnd::Escape;
            LeaveGrabTask(b);
        } else if (key == kSkipKey && !extended && !b.done) {
            task.end = GrabTaskEnd::Skipped;
            LeaveGrabTask(b);
        }
    }
    Present(s, game, task, !b.done);
    int mx = 0, my = 0;
    const bool down = c.GetMouseState(mx, my) != 0;
    task.mouse = QPoint(mx, my);
    const GrabFrameEvents events = GrabFrame(b, GrabMouse{mx, my, down});
    if (events.jokerLeaves && SoundOn(s.options)) c.PlayWaveFile("wavs\\jokerweg.wav");
    if (events.finished) return task.end;
    return std::nullopt;
}

void WaitForNextFrame(Session& s, GrabGame& game) {
    Console& c = s.console;
    const double now = c.GetClock().NowMs();
    game.nextFrameMs += game.framePeriodMs;
    // far behind (a slow machine, a dialog): start the pace again from now
    if (game.nextFrameMs < now - game.framePeriodMs) game.nextFrameMs = now;
    c.WaitUntil(game.nextFrameMs);
}

GrabTaskEnd PlayGrabTask(Session& s, GrabGame& game, const GrabText& text) {
    Console& c = s.console;
    c.HideMousePointer();
    c.MoveMousePointer(100, 100);
    GrabTask task;
    SetUpGrabTask(s, game, task, text);
    game.nextFrameMs = c.GetClock().NowMs();
    std::optional<GrabTaskEnd> end;
    while (!(end = RunGrabFrame(s, game, task))) WaitForNextFrame(s, game);
    GrabTaskEnd result = *end;
    if (result == GrabTaskEnd::Solved && !Reward(s, game, task)) result = GrabTaskEnd::Escape;
    c.ShowMousePointer();
    return result;
}

namespace {

// Everything the game changes on the screen's set-up comes back, also when an abort unwinds.
class GrabScreen {
  public:
    explicit GrabScreen(Session& s) : s_(s), palette_(s.console.Palette()) {}
    ~GrabScreen() {
        Console& c = s_.console;
        if (c.Graphics().directDrawReady || c.Graphics().fullScreenActive)
            s_.graphics->LeaveFullScreenMode();
        c.SetPalette(palette_);
        c.ShowMousePointer();
    }
    GrabScreen(const GrabScreen&) = delete;
    GrabScreen& operator=(const GrabScreen&) = delete;

  private:
    Session& s_;
    std::array<QColor, 17> palette_;
};

}  // namespace

void RunGrabGame(Session& s) {
    if (s.graphics == nullptr) return;
    Console& c = s.console;
    Graphics& g = *s.graphics;
    const ProgramOptions& o = s.options;
    g.InitGraph(0);
    {
        const GrabScreen screen(s);
        g.EnterFullScreen();
        GrabGame game;
        // the palette: defaults, with a lighter blue, and on blue a red and a cyan that stand out
        c.SetPalette(c.DefaultPalette());
        c.SetPaletteColour(1, c.ExtendedColours()[7]);
        if (o.backgroundColour == BackgroundColour::kNavy) {
            c.SetPaletteColour(4, c.ExtendedColours()[5]);
            c.SetPaletteColour(3, c.ExtendedColours()[2]);
        }
        g.SetBkColor(o.backgroundColour);
        LoadGrabPictures(s, game);
        g.SetFillStyle(kBackgroundFill, 0);
        g.Bar(0, 0, kMaxX, kMaxY);

        std::vector<Bytes> shown;
        int passedOver = 0;
        for (;;) {
            g.AttachFullScreenCanvas();
            g.SetFillStyle(kBackgroundFill, 0);
            g.Bar(0, 0, kMaxX, kUpperPartBottom);
            const std::optional<Bytes> line = NextGrabLine(s, shown);
            if (!line) break;
            const GrabText text = PrepareGrabText(*line, o.colourDifference == Switch::kOn);
            if (text.text.size() > kLongestGrabTask) {
                // passed over without notice; a list of nothing else ends the game
                if (++passedOver > s.tasks.Count()) break;
                continue;
            }
            passedOver = 0;
            RememberShown(s, shown, *line);
            if (PlayGrabTask(s, game, text) == GrabTaskEnd::Escape) break;
        }
    }
    g.CloseGraph();
}

}  // namespace radevir
