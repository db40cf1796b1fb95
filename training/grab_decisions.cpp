#include "training/grab_decisions.h"

#include <algorithm>
#include <utility>

#include "console/dos_keys.h"

namespace radevir {

namespace {

using namespace option;

struct ChoiceText {
    const char* text;
    int value;
};

std::vector<ChoiceText> JokerChoices() {
    return {{" 0 ", 0}, {" 1 ", 1}, {" 2 ", 2}, {" 3 ", 3}};
}
std::vector<ChoiceText> TargetChoices() {
    return {{" Alles ", GrabTarget::kAll},
            {" Ergebnis ", GrabTarget::kResult},
            {" fehlende Zahlen ", GrabTarget::kMissingNumbers},
            {" Operatoren ", GrabTarget::kOperators},
            {" markierte Zahlen ", GrabTarget::kMarkedNumbers},
            {" alles überschreiben", GrabTarget::kOverwriteAll}};
}
std::vector<ChoiceText> InsertChoices() {
    return {{" egal ", GrabInsertOrder::kAny}, {" Reihenfolge ", GrabInsertOrder::kInOrder}};
}
std::vector<ChoiceText> CountChoices() {
    return {{" aus ", Switch::kOff}, {" ein ", Switch::kOn}};
}

constexpr int kJokerRow = 6, kFirstTargetRow = 7, kInsertRow = 13, kCountRow = 14;

int* FieldOf(ProgramOptions& o, int line) {
    switch (line) {
        case kGrabJokerLine:
            return &o.grabJokers;
        case kGrabTargetLine:
            return &o.grabTarget;
        case kGrabInsertLine:
            return &o.grabInsertOrder;
        case kGrabCountLine:
            return &o.grabCountAlong;
        default:
            return nullptr;
    }
}

int ValueOf(const ProgramOptions& o, int line) {
    ProgramOptions copy = o;
    return *FieldOf(copy, line);
}

// Left and Right: the joker count and the target step without wrapping; the two switches take
// their first or second choice.
bool StepValue(ProgramOptions& o, int line, int key) {
    int* field = FieldOf(o, line);
    if (field == nullptr || (key != doskey::kLeft && key != doskey::kRight)) return false;
    const bool left = key == doskey::kLeft;
    int highest = 1;
    switch (line) {
        case kGrabJokerLine:
            highest = GrabJokers::kMost;
            break;
        case kGrabTargetLine:
            highest = GrabTarget::kOverwriteAll;
            break;
        default:
            *field = left ? 0 : 1;
            return true;
    }
    if (left && *field > 0)
        --*field;
    else if (!left && *field < highest)
        ++*field;
    return true;
}

}  // namespace

GrabOptionsStep GrabOptionsKey(int line, ProgramOptions& options, unsigned char key,
                               bool /*extended*/, const GrabOptionsClick& click) {
    GrabOptionsStep step;
    step.line = std::clamp(line, 1, kGrabOptionLines);
    const ProgramOptions before = options;
    if (click.line) {
        step.line = std::clamp(*click.line, 1, kGrabOptionLines);
        return step;
    }
    if (click.valueLine) {
        const int clicked = std::clamp(*click.valueLine, 1, kGrabOptionLines);
        step.line = clicked;
        const int highest = clicked == kGrabJokerLine    ? GrabJokers::kMost
                            : clicked == kGrabTargetLine ? GrabTarget::kOverwriteAll
                                                         : 1;
        *FieldOf(options, clicked) = std::clamp(click.value, 0, highest);
        step.changed = ValueOf(options, clicked) != ValueOf(before, clicked);
        return step;
    }
    switch (key) {
        case doskey::kEnter:
            step.close = GrabOptionsClose::Start;
            return step;
        case doskey::kEscape:
        case doskey::kBackToMenu:
            step.close = GrabOptionsClose::Cancel;
            return step;
        default:
            break;
    }
    // scan codes, or the same numbers typed as capitals ("P", "H", …)
    switch (key) {
        case doskey::kDown:
            step.line = step.line % kGrabOptionLines + 1;
            break;
        case doskey::kUp:
            step.line = (step.line + kGrabOptionLines - 2) % kGrabOptionLines + 1;
            break;
        case doskey::kHome:
        case doskey::kPageUp:
            step.line = 1;
            break;
        case doskey::kEnd:
        case doskey::kPageDown:
            step.line = kGrabOptionLines;
            break;
        case doskey::kLeft:
        case doskey::kRight:
            StepValue(options, step.line, key);
            step.changed = ValueOf(options, step.line) != ValueOf(before, step.line);
            break;
        default:
            break;
    }
    return step;
}

std::vector<GrabValueRow> GrabValueRows(const ProgramOptions& o) {
    std::vector<GrabValueRow> rows;
    const auto row = [](int r, const std::vector<ChoiceText>& choices, int value) {
        GrabValueRow v;
        v.row = r;
        for (const ChoiceText& c : choices)
            v.choices.push_back({ScreenBytes(c.text), c.value == value});
        return v;
    };
    rows.push_back(row(kJokerRow, JokerChoices(), o.grabJokers));
    const std::vector<ChoiceText> targets = TargetChoices();
    for (size_t i = 0; i < targets.size(); ++i)
        rows.push_back(row(kFirstTargetRow + static_cast<int>(i), {targets[i]}, o.grabTarget));
    rows.push_back(row(kInsertRow, InsertChoices(), o.grabInsertOrder));
    rows.push_back(row(kCountRow, CountChoices(), o.grabCountAlong));
    return rows;
}

int GrabLabelRow(int line) {
    switch (line) {
        case kGrabJokerLine:
            return kJokerRow;
        case kGrabTargetLine:
            return kFirstTargetRow;
        case kGrabInsertLine:
            return kInsertRow;
        default:
            return kCountRow;
    }
}

Bytes GrabLabel(int line) {
    switch (line) {
        case kGrabJokerLine:
            return ScreenBytes("Joker");
        case kGrabTargetLine:
            return ScreenBytes("greifen");
        case kGrabInsertLine:
            return ScreenBytes("einfügen");
        default:
            return ScreenBytes("mitzählen");
    }
}

bool IsDigitLikeTile(char c) {
    return c >= '/' && c <= ':';
}

int GrabTileColour(int background, char c, int highlightOperators, int colourDifference) {
    const bool digit = IsDigitLikeTile(c);
    const bool on =
        digit ? colourDifference == Switch::kOn : highlightOperators == HighlightOperators::kYes;
    struct Row {
        int signsOn, signsOff, digitsOn, digitsOff;
    };
    Row r{13, 9, 9, 9};
    switch (background) {
        case BackgroundColour::kBlack:
            r = {10, 15, 11, 15};
            break;
        case BackgroundColour::kNavy:
            r = {11, 15, 14, 15};
            break;
        case BackgroundColour::kMaroon:
            r = {13, 15, 14, 15};
            break;
        case BackgroundColour::kGrey:
            r = {14, 11, 11, 11};
            break;
        default:
            break;
    }
    if (digit) return on ? r.digitsOn : r.digitsOff;
    return on ? r.signsOn : r.signsOff;
}

GrabText PrepareGrabText(std::string_view raw, bool colourDifference) {
    GrabText t;
    for (char c : raw) {
        if (c >= 'a' && c <= 'j') {
            t.markLength = c - 'a' + 1;
            t.markStart = static_cast<int>(t.text.size());
            continue;
        }
        if (c == '_') {
            if (t.gaps.size() < GrabText::kMaxGaps)
                t.gaps.push_back(static_cast<int>(t.text.size()));
            continue;
        }
        t.text.push_back(c);
    }
    if (t.text.size() > GrabText::kMaxLength) t.text.resize(GrabText::kMaxLength);
    const int length = static_cast<int>(t.text.size());
    // a gap mark at the very end has no character to hide
    std::erase_if(t.gaps, [length](int g) { return g >= length; });
    if (!colourDifference || t.markStart >= length) {
        t.markStart = -1;
        t.markLength = 0;
    }
    return t;
}

int GrabTargetFor(int target, size_t textLength) {
    constexpr size_t kShortest = 3;
    if (textLength < kShortest && target != GrabTarget::kOverwriteAll) return GrabTarget::kAll;
    return target;
}

bool UsesDigitPalette(int target) {
    return target == GrabTarget::kResult || target == GrabTarget::kMissingNumbers ||
           target == GrabTarget::kMarkedNumbers;
}

void SetDriftArea(Sprite& tile, int i) {
    tile.SetArea(8 + 4 * i, 640 - 4 * i, 160 + 4 * i, 478 - 4 * i);
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void Place(GrabBoard& b, int p) {
    Sprite& t = b.tiles[static_cast<size_t>(p)];
    GrabPlace& place = b.places[static_cast<size_t>(p)];
    t.placed = true;
    t.fixed = true;
    t.grabbed = false;
    t.StandAt(place.x1, place.y1);
    place.locked = true;
    if (!b.rules.inOrder) return;
    for (int q = p + 1; q <= b.n; ++q) {
        if (b.tiles[static_cast<size_t>(q)].placed) continue;
        b.places[static_cast<size_t>(q)].locked = false;
        break;
    }
}

bool AllPlaced(const GrabBoard& b) {
    for (int i = 1; i <= b.n; ++i)
        if (!b.tiles[static_cast<size_t>(i)].placed) return false;
    return true;
}

void Finish(GrabBoard& b) {
    b.done = true;
    b.endFrames = GrabBoard::kRunOutFrames;
}

void GoHome(GrabBoard& b, int i) {
    Sprite& t = b.tiles[static_cast<size_t>(i)];
    const QPoint home = b.homes[static_cast<size_t>(i)];
    t.StandAt(home.x(), home.y());
    t.fixed = true;
    t.placed = false;
    t.grabbed = false;
}

bool Catchable(const GrabBoard& b, int i) {
    const Sprite& t = b.tiles[static_cast<size_t>(i)];
    if (t.placed || !t.shown) return false;
    if (b.IsPaletteTile(i)) return true;  // part of the background picture
    if (i == b.Joker()) return b.jokersLeft > 0 && b.jokerLeaving == 0;
    return b.Drawn(i);
}

void Drop(GrabBoard& b, GrabFrameEvents& events) {
    const int k = b.dragged;
    b.dragged = 0;
    Sprite& t = b.tiles[static_cast<size_t>(k)];
    t.grabbed = false;
    const bool joker = k == b.Joker();
    const int cx = t.x + t.width / 2, cy = t.y + t.height / 2;
    int target = 0;
    for (int p = 1; p <= b.n && target == 0; ++p) {
        const GrabPlace& place = b.places[static_cast<size_t>(p)];
        if (cx < place.x1 - GrabBoard::kDropSlackX || cx > place.x2 + GrabBoard::kDropSlackX ||
            cy < place.y1 - GrabBoard::kDropSlackY || cy > place.y2 + GrabBoard::kDropSlackY)
            continue;
        const bool open =
            !place.locked || (joker && b.rules.inOrder && !b.tiles[static_cast<size_t>(p)].placed);
        if (!open) continue;
        if (joker || b.text[static_cast<size_t>(k - 1)] == b.text[static_cast<size_t>(p - 1)])
            target = p;
    }
    if (target != 0) {
        if (joker) {
            SetColourFlags(b.tiles[static_cast<size_t>(target)], b.jokerFlags,
                           b.rules.backgroundColour, b.rules.colourDifference);
            t.x = t.prevX = b.jokerStart.x();
            t.y = t.prevY = b.jokerStart.y();
            SetDriftArea(t, k);
            --b.jokersLeft;
            ++b.misses;
        } else if (k != target) {
            // an equal character (or a palette digit) fills the place; the place's own tile
            // takes over where the dropped one was, and a palette digit stays in the palette
            const QPoint at(t.x, t.y);
            std::swap(b.tiles[static_cast<size_t>(k)], b.tiles[static_cast<size_t>(target)]);
            Sprite& displaced = b.tiles[static_cast<size_t>(k)];
            displaced.placed = displaced.fixed = displaced.grabbed = false;
            if (b.IsPaletteTile(k)) {
                GoHome(b, k);
            } else {
                displaced.x = displaced.prevX = at.x();
                displaced.y = displaced.prevY = at.y();
                SetDriftArea(displaced, k);
            }
        }
        Place(b, target);
        events.placed = true;
    } else {
        if (t.y < GrabBoard::kMissLine) {
            ++b.misses;
            events.missed = true;
        }
        if (b.IsPaletteTile(k))
            GoHome(b, k);
        else
            SetDriftArea(t, k);
    }
    Sprite& j = b.tiles[static_cast<size_t>(b.Joker())];
    if (b.rules.jokers > 0 && b.jokersLeft <= 0 && j.shown && b.jokerLeaving == 0) {
        b.jokerLeaving = GrabBoard::kJokerLeavingFrames;
        j.StandAt(j.x, j.y);
        events.jokerLeaves = true;
    }
    if (AllPlaced(b)) Finish(b);
}

}  // namespace

bool GrabBoard::Drawn(int i) const {
    if (i <= 0 || i >= TileCount()) return false;
    const Sprite& t = tiles[static_cast<size_t>(i)];
    if (!t.shown) return false;
    if (i == dragged) return true;
    if (IsTaskTile(i)) {
        const char c = text[static_cast<size_t>(i - 1)];
        if (c == ' ') return false;
        if (t.placed) return true;
        // the palette has digits only: other missing characters drift as tiles
        return !palette || !IsDigit(c);
    }
    if (i == Joker()) return jokersLeft > 0 || jokerLeaving > 0;
    return false;  // palette digits are part of the background
}

void SetUpGrabBoard(GrabBoard& b, const GrabText& text, const GrabRules& rules, Random& random) {
    b.rules = rules;
    b.n = static_cast<int>(text.text.size());
    b.text = text.text + "." + "0123456789";
    b.palette = UsesDigitPalette(rules.target);
    const size_t count = static_cast<size_t>(b.n) + 12;
    b.tiles.resize(count);
    b.places.resize(static_cast<size_t>(b.n) + 1);
    b.homes.resize(count);
    b.dragged = 0;
    // A button still held from before the task (the click that ended the reward) is no press:
    // it has to be let go first.
    b.buttonWasDown = true;
    b.jokersLeft = rules.jokers;
    b.jokerLeaving = 0;
    b.misses = 0;
    b.done = false;
    b.endFrames = 0;

    for (int i = 1; i <= b.n; ++i) {
        Sprite& t = b.tiles[static_cast<size_t>(i)];
        const GrabPlace& place = b.places[static_cast<size_t>(i)];
        t.placed = t.fixed = t.grabbed = false;
        t.shown = true;
        t.x = t.prevX = place.x1 - 1 + 16 * random.Next(b.n);
        t.y = t.prevY = place.y1 + 16 * random.Next(b.n);
        t.dx = t.dy = 1;
        SetDriftArea(t, i);
        if (text.Marked(i - 1))
            SetColourFlags(t, {false, true, true, false}, rules.backgroundColour,
                           rules.colourDifference);
    }
    Sprite& joker = b.tiles[static_cast<size_t>(b.Joker())];
    joker.x = joker.prevX = b.jokerStart.x();
    joker.y = joker.prevY = b.jokerStart.y();
    joker.dx = joker.dy = 1;
    joker.placed = joker.fixed = joker.grabbed = false;
    joker.shown = rules.jokers > 0;
    SetDriftArea(joker, b.Joker());
    SetColourFlags(joker, b.jokerFlags, rules.backgroundColour, rules.colourDifference);
    for (int d = 0; d < 10; ++d) {
        const int i = b.FirstPaletteTile() + d;
        Sprite& t = b.tiles[static_cast<size_t>(i)];
        t.shown = b.palette;
        GoHome(b, i);
    }

    for (int p = 1; p <= b.n; ++p) b.places[static_cast<size_t>(p)].locked = rules.inOrder && p > 1;
    // which characters are in their places from the start
    const Bytes& s = text.text;
    const size_t equals = s.find('=');
    for (int i = 1; i <= b.n; ++i) {
        const size_t at = static_cast<size_t>(i - 1);
        const char c = s[at];
        bool fixed = c == ' ';
        switch (rules.target) {
            case GrabTarget::kResult:
                fixed = fixed || equals == Bytes::npos || at <= equals;
                break;
            case GrabTarget::kMissingNumbers:
                fixed = fixed || std::find(text.gaps.begin(), text.gaps.end(),
                                           static_cast<int>(at)) == text.gaps.end();
                break;
            case GrabTarget::kOperators:
                fixed = fixed || IsDigit(c);
                break;
            case GrabTarget::kMarkedNumbers:
                fixed = fixed || !(text.Marked(static_cast<int>(at)) && IsDigit(c));
                break;
            default:
                break;
        }
        if (fixed) Place(b, i);
    }
    if (rules.inOrder) {
        // the first place still empty is the one to fill next
        for (int p = 1; p <= b.n; ++p) {
            if (b.tiles[static_cast<size_t>(p)].placed) continue;
            b.places[static_cast<size_t>(p)].locked = false;
            break;
        }
    }
    b.toPlace = 0;
    for (int i = 1; i <= b.n; ++i)
        if (!b.tiles[static_cast<size_t>(i)].placed) ++b.toPlace;
    if (b.toPlace == 0) Finish(b);
}

void LeaveGrabTask(GrabBoard& b) {
    if (b.done) return;
    if (b.dragged != 0) {
        b.tiles[static_cast<size_t>(b.dragged)].grabbed = false;
        b.dragged = 0;
    }
    Finish(b);
}

GrabFrameEvents GrabFrame(GrabBoard& b, const GrabMouse& mouse) {
    GrabFrameEvents events;
    if (!b.done) {
        // a tile is caught when the button goes down, not while it is held
        const bool pressed = mouse.down && !b.buttonWasDown;
        if (pressed && b.dragged == 0) {
            for (int i = 1; i < b.TileCount(); ++i) {
                if (!Catchable(b, i)) continue;
                const Sprite& t = b.tiles[static_cast<size_t>(i)];
                // a narrow tile is caught over its left half
                const int right =
                    t.x + std::max(t.width - GrabBoard::kGrabRightMargin, t.width / 2);
                if (t.x < mouse.x - GrabBoard::kGrabReach || t.x > mouse.x ||
                    t.y < mouse.y - GrabBoard::kGrabReach || t.y > mouse.y || mouse.x >= right ||
                    mouse.y >= t.y + t.height)
                    continue;
                b.dragged = i;
                b.grabOffset = QPoint(mouse.x - t.x, mouse.y - t.y);
                Sprite& caught = b.tiles[static_cast<size_t>(i)];
                caught.grabbed = true;
                caught.fixed = false;
                caught.SetArea(0, 640, 2, 480);
                break;
            }
        }
        if (b.dragged != 0) {
            Sprite& t = b.tiles[static_cast<size_t>(b.dragged)];
            t.prevX = t.x;
            t.prevY = t.y;
            t.x = std::clamp(mouse.x - b.grabOffset.x(), t.minX, t.maxX);
            t.y = std::clamp(mouse.y - b.grabOffset.y(), t.minY, t.maxY);
            if (!mouse.down) Drop(b, events);
        }
    }
    for (int i = 1; i < b.TileCount(); ++i)
        if (i != b.dragged) b.tiles[static_cast<size_t>(i)].Step();

    if (b.jokerLeaving > 0 && !events.jokerLeaves) {  // from the frame after the one it started in
        Sprite& j = b.tiles[static_cast<size_t>(b.Joker())];
        --b.jokerLeaving;
        if (b.jokerLeaving % GrabBoard::kJokerBlinkFrames == 0) {
            std::array<bool, 4> flags = j.colourFlags;
            flags[1] = !flags[1];
            SetColourFlags(j, flags, b.rules.backgroundColour, b.rules.colourDifference);
        }
        if (b.jokerLeaving == 0) j.shown = false;
    }
    if (b.done) {
        --b.endFrames;
        b.jokersLeft = 0;
        if (b.endFrames < 3 && b.palette)
            for (int d = 0; d < 10; ++d) GoHome(b, b.FirstPaletteTile() + d);
        if (b.endFrames <= 0) events.finished = true;
    }
    b.buttonWasDown = mouse.down;
    return events;
}

int GrabScore(int misses, int toPlace) {
    if (misses > 0 && 2 * misses < toPlace) return 1;
    return misses;
}

ClapPlan ClapsForScore(int score, int soundLevel) {
    ClapPlan plan;
    if (soundLevel == SoundLevel::kAllSounds || soundLevel == SoundLevel::kKeyClickAndError) {
        if (score == 0)
            plan.sound = "wavs\\klatsch0.wav";
        else if (score == 1)
            plan.sound = "wavs\\klatsch1.wav";
        else if (score <= 3)
            plan.sound = "wavs\\klatsch2.wav";
    }
    constexpr int kMostClaps = 13, kStepMs = 80, kOpenMs = 80, kClosedMs = 100;
    plan.claps = std::max(0, kMostClaps - score);
    plan.openMs = kStepMs * score + kOpenMs;
    plan.closedMs = kStepMs * score + kClosedMs;
    return plan;
}

QPoint CoinPlace(int k) {
    return QPoint(100 * ((k - 1) % 5) + 100, 390 - 10 * ((k - 1) / 5));
}

int CoinFallEnd(int coinsBefore) {
    return 392 - 10 * (coinsBefore / 5);
}

}  // namespace radevir
