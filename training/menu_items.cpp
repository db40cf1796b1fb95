#include "training/menu_items.h"

#include <algorithm>

namespace radevir {
namespace {

constexpr MenuItem kItems[] = {
    {1, 3, "   Kopfrechnen             ", 'k', 2},
    {2, 4, "   Diktieren(Kopfrechnen)  ", 'd', 5},
    {3, 5, "   Schriftliches Rechnen   ", 's', 6},
    {4, 6, "   Greifspiel              ", 'g', 9},
    {5, 8, "   Nur merken              ", 'n', 1},
    {6, 9, "   Merken und rechnen      ", 'm', 13},
    {7, 10, "   Zeichen eintragen       ", 'z', 4},
    {8, 12, "   Lesen + Testen          ", 'l', 8},
    {9, 13, "   Abschreiben             ", 'a', 3},
    {10, 15, "   Tachistoskop            ", 't', 7},
    {12, 18, "   Optionen                ", 'o', 0},
    {13, 19, "   Optionen laden          ", 0, 12},
};

int NextItem(int item) {
    if (item == 10) return 12;
    if (item >= 13) return 1;
    return item + 1;
}

int PreviousItem(int item) {
    if (item == 12) return 10;
    if (item <= 1) return 13;
    return item - 1;
}

}  // namespace

const MenuItem* MenuItems(int& count) {
    count = static_cast<int>(sizeof kItems / sizeof kItems[0]);
    return kItems;
}

const MenuItem* FindMenuItem(int number) {
    for (const MenuItem& item : kItems)
        if (item.number == number) return &item;
    return nullptr;
}

int MenuItemForLetter(unsigned char key) {
    for (const MenuItem& item : kItems)
        if (item.letter != 0 && static_cast<unsigned char>(item.letter) == key && item.programCode != 0)
            return item.number;
    return 0;
}

MenuStep MenuKey(int item, unsigned char key, bool extended, std::optional<int> clickedItem,
                 int protocolCount) {
    if (clickedItem) {
        int target = *clickedItem;
        if (target == 11) target = 12;  // there is no item 11
        if (target == item) return {item, item == 12 ? MenuAction::Options : MenuAction::Run};
        return {target, MenuAction::Move};
    }
    if (extended) {
        switch (key) {
            case keycode::kDown: return {NextItem(item), MenuAction::Move};
            case keycode::kUp: return {PreviousItem(item), MenuAction::Move};
            case keycode::kHome:
            case keycode::kPageUp: return {1, MenuAction::Move};
            case keycode::kEnd:
            case keycode::kPageDown: return {12, MenuAction::Move};
            case keycode::kF7:
                return {item, protocolCount > 2 ? MenuAction::PrintProtocol : MenuAction::None};
            default: return {item, MenuAction::None};
        }
    }
    switch (key) {
        case keycode::kEscape: return {item, MenuAction::Leave};
        case keycode::kEnter: return {item, item == 12 ? MenuAction::Options : MenuAction::Run};
        case keycode::kBack: return {item, MenuAction::None};  // F1 and a typed ";" are ignored
        case 'o': return {12, MenuAction::Options};
        default: break;
    }
    if (const int letterItem = MenuItemForLetter(key)) return {letterItem, MenuAction::Run};
    return {item, MenuAction::None};
}

BoxClose SettingsBoxCloseKey(unsigned char key) {
    switch (key) {
        case keycode::kEnter: return BoxClose::Start;
        case keycode::kEscape:
        case keycode::kBack: return BoxClose::Cancel;
        default: return BoxClose::None;
    }
}

TachistoscopeBoxState TachistoscopeBoxKey(TachistoscopeBoxState s, unsigned char key, bool extended) {
    constexpr int kTimeStepMs = 10;
    constexpr int kLongestMs = 3000;
    constexpr int kLastLine = 5;
    // the close test comes first: F1 (59) and the top-right corner (Escape) arrive as scan codes
    s.close = SettingsBoxCloseKey(key);
    if (s.close != BoxClose::None) return s;
    // typed, or clicked (the box's region file answers with the letter itself)
    constexpr char kStyleLetters[] = {'n', 'k', 'm', 's'};  // lines 2–5
    for (int i = 0; i < 4; ++i) {
        if (key != static_cast<unsigned char>(kStyleLetters[i])) continue;
        s.line = 2 + i;
        s.close = BoxClose::Start;
        return s;
    }
    if (!extended) return s;
    switch (key) {
        case keycode::kUp: s.line = std::max(1, s.line - 1); break;
        case keycode::kDown: s.line = std::min(kLastLine, s.line + 1); break;
        case keycode::kHome:
        case keycode::kPageUp: s.line = 1; break;
        case keycode::kEnd:
        case keycode::kPageDown: s.line = kLastLine; break;
        case keycode::kLeft:
            if (s.line == 1 && s.exposureMs > 0) s.exposureMs -= kTimeStepMs;
            break;
        case keycode::kRight:
            if (s.line == 1 && s.exposureMs < kLongestMs) s.exposureMs += kTimeStepMs;
            break;
        default: break;
    }
    return s;
}

ReadingBoxState ReadingBoxKey(ReadingBoxState s, unsigned char key, bool extended) {
    constexpr int kTimeStepMs = 10;
    constexpr int kLongestMs = 3000;
    s.close = SettingsBoxCloseKey(key);
    if (s.close != BoxClose::None || !extended) return s;
    switch (key) {
        case keycode::kLeft:
            if (s.buildUpMs > 0) s.buildUpMs -= kTimeStepMs;
            break;
        case keycode::kRight:
            if (s.buildUpMs < kLongestMs) s.buildUpMs += kTimeStepMs;
            break;
        case keycode::kUp:
            if (s.holdMs < kLongestMs) s.holdMs += kTimeStepMs;
            break;
        case keycode::kDown:
            if (s.holdMs > 0) s.holdMs -= kTimeStepMs;
            break;
        default: break;
    }
    return s;
}

bool SuspendsGrabInsertOrder(int grabTarget, int grabInsertOrder) {
    constexpr int kGrabOperators = 3;  // " Operatoren " among the grab targets
    constexpr int kInsertInOrder = 1;  // " Reihenfolge "
    return grabTarget == kGrabOperators && grabInsertOrder == kInsertInOrder;
}

}  // namespace radevir
