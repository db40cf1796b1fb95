#include "training/menu_items.h"

#include <cctype>

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
    const int lower = std::tolower(key);
    for (const MenuItem& item : kItems)
        if (item.letter != 0 && item.letter == lower && item.programCode != 0) return item.number;
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
            case 'P': return {NextItem(item), MenuAction::Move};      // Down
            case 'H': return {PreviousItem(item), MenuAction::Move};  // Up
            case 'G':                                                 // Home
            case 'I': return {1, MenuAction::Move};                   // PgUp
            case 'O':                                                 // End
            case 'Q': return {12, MenuAction::Move};                  // PgDn
            case 'A':                                                 // F7
                return {item, protocolCount > 2 ? MenuAction::PrintProtocol : MenuAction::None};
            default: return {item, MenuAction::None};
        }
    }
    switch (key) {
        case 27: return {item, MenuAction::Leave};
        case 13: return {item, item == 12 ? MenuAction::Options : MenuAction::Run};
        case ';': return {item, MenuAction::None};  // F1 and a typed ";" are ignored
        case 'o':
        case 'O': return {12, MenuAction::Options};
        default: break;
    }
    if (const int letterItem = MenuItemForLetter(key)) return {letterItem, MenuAction::Run};
    return {item, MenuAction::None};
}

}  // namespace radevir
