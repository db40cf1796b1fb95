#include "training/menu_items.h"

#include <algorithm>

#include "console/dos_keys.h"

namespace radevir {
namespace {

using doskey::kBackToMenu;

constexpr MenuItem kItems[] = {
    {1, 3, "   Kopfrechnen             ", 'k', ProgramCode::MentalArithmetic},
    {2, 4, "   Diktieren(Kopfrechnen)  ", 'd', ProgramCode::Dictation},
    {3, 5, "   Schriftliches Rechnen   ", 's', ProgramCode::WrittenArithmetic},
    {4, 6, "   Greifspiel              ", 'g', ProgramCode::GrabGame},
    {5, 8, "   Nur merken              ", 'n', ProgramCode::MemoriseOnly},
    {6, 9, "   Merken und rechnen      ", 'm', ProgramCode::MemoriseAndCompute},
    {7, 10, "   Zeichen eintragen       ", 'z', ProgramCode::FillInSigns},
    {8, 12, "   Lesen + Testen          ", 'l', ProgramCode::ReadingTest},
    {9, 13, "   Abschreiben             ", 'a', ProgramCode::CopyTask},
    {10, 15, "   Tachistoskop            ", 't', ProgramCode::Tachistoscope},
    {kOptionsMenuItem, 18, "   Optionen                ", kOptionsLetter, std::nullopt},
    {kLastMenuItem, 19, "   Optionen laden          ", 0, ProgramCode::LoadOptionsCode},
};

// There is no item 11: the step from the last program item to the options skips it.
constexpr int kLastProgramItem = 10;

int NextItem(int item) {
    if (item == kLastProgramItem) return kOptionsMenuItem;
    if (item >= kLastMenuItem) return kFirstMenuItem;
    return item + 1;
}

int PreviousItem(int item) {
    if (item == kOptionsMenuItem) return kLastProgramItem;
    if (item <= kFirstMenuItem) return kLastMenuItem;
    return item - 1;
}

MenuAction EnterOn(int item) { return item == kOptionsMenuItem ? MenuAction::Options : MenuAction::Run; }

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
        if (item.letter != 0 && static_cast<unsigned char>(item.letter) == key && item.programCode)
            return item.number;
    return 0;
}

MenuStep MenuKey(int item, unsigned char key, bool extended, std::optional<int> clickedItem,
                 int protocolCount) {
    if (clickedItem) {
        int target = *clickedItem;
        if (target == kLastProgramItem + 1) target = kOptionsMenuItem;  // there is no item 11
        if (target == item) return {item, EnterOn(item)};
        return {target, MenuAction::Move};
    }
    if (extended) {
        switch (key) {
            case doskey::kDown: return {NextItem(item), MenuAction::Move};
            case doskey::kUp: return {PreviousItem(item), MenuAction::Move};
            case doskey::kHome:
            case doskey::kPageUp: return {kFirstMenuItem, MenuAction::Move};
            case doskey::kEnd:
            case doskey::kPageDown: return {kOptionsMenuItem, MenuAction::Move};
            case doskey::kF7:
                return {item, protocolCount > 2 ? MenuAction::PrintProtocol : MenuAction::None};
            default: return {item, MenuAction::None};
        }
    }
    switch (key) {
        case doskey::kEscape: return {item, MenuAction::Leave};
        case doskey::kEnter: return {item, EnterOn(item)};
        case kBackToMenu: return {item, MenuAction::None};  // F1 and a typed ";" are ignored
        case kOptionsLetter: return {kOptionsMenuItem, MenuAction::Options};
        default: break;
    }
    if (const int letterItem = MenuItemForLetter(key)) return {letterItem, MenuAction::Run};
    return {item, MenuAction::None};
}

BoxClose SettingsBoxCloseKey(unsigned char key) {
    switch (key) {
        case doskey::kEnter: return BoxClose::Start;
        case doskey::kEscape:
        case kBackToMenu: return BoxClose::Cancel;
        default: return BoxClose::None;
    }
}

TachistoscopeBoxState TachistoscopeBoxKey(TachistoscopeBoxState s, unsigned char key, bool extended) {
    constexpr int kTimeStepMs = 10;
    constexpr int kLongestMs = 3000;
    // the close test comes first: F1 (59) and the top-right corner (Escape) arrive as scan codes
    s.close = SettingsBoxCloseKey(key);
    if (s.close != BoxClose::None) return s;
    // typed, or clicked (the box's region file answers with the letter itself)
    constexpr char kStyleLetters[] = {'n', 'k', 'm', 's'};  // lines 2–5
    for (int i = 0; i < static_cast<int>(std::size(kStyleLetters)); ++i) {
        if (key != static_cast<unsigned char>(kStyleLetters[i])) continue;
        s.line = kExposureTimeLine + 1 + i;
        s.close = BoxClose::Start;
        return s;
    }
    if (!extended) return s;
    switch (key) {
        case doskey::kUp: s.line = std::max(kExposureTimeLine, s.line - 1); break;
        case doskey::kDown: s.line = std::min(kLastStyleLine, s.line + 1); break;
        case doskey::kHome:
        case doskey::kPageUp: s.line = kExposureTimeLine; break;
        case doskey::kEnd:
        case doskey::kPageDown: s.line = kLastStyleLine; break;
        case doskey::kLeft:
            if (s.line == kExposureTimeLine && s.exposureMs > 0) s.exposureMs -= kTimeStepMs;
            break;
        case doskey::kRight:
            if (s.line == kExposureTimeLine && s.exposureMs < kLongestMs) s.exposureMs += kTimeStepMs;
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
        case doskey::kLeft:
            if (s.buildUpMs > 0) s.buildUpMs -= kTimeStepMs;
            break;
        case doskey::kRight:
            if (s.buildUpMs < kLongestMs) s.buildUpMs += kTimeStepMs;
            break;
        case doskey::kUp:
            if (s.holdMs < kLongestMs) s.holdMs += kTimeStepMs;
            break;
        case doskey::kDown:
            if (s.holdMs > 0) s.holdMs -= kTimeStepMs;
            break;
        default: break;
    }
    return s;
}

bool SuspendsGrabInsertOrder(int grabTarget, int grabInsertOrder) {
    return grabTarget == option::GrabTarget::kOperators &&
           grabInsertOrder == option::GrabInsertOrder::kInOrder;
}

ItemRunPlan PlanItemRun(ProgramCode code, const ProgramOptions& options) {
    ItemRunPlan plan;
    plan.runAs = code;
    switch (code) {
        case ProgramCode::Dictation:
            if (options.dictationMode == option::DictationMode::kPartner &&
                options.taskOrder == option::TaskOrder::kRandom)
                plan.taskOrder = option::TaskOrder::kInOrder;
            break;
        case ProgramCode::MemoriseAndCompute:
            plan.runAs = ProgramCode::MemoriseOnly;
            plan.computeMode = true;
            break;
        case ProgramCode::Tachistoscope: plan.start = ItemStart::TachistoscopeBox; break;
        case ProgramCode::ReadingTest:
            plan.start = ItemStart::ReadingBox;
            plan.runAs = ProgramCode::CopyTask;
            plan.readingMode = true;
            break;
        case ProgramCode::GrabGame:
            plan.start = ItemStart::GrabGameOptions;
            if (SuspendsGrabInsertOrder(options.grabTarget, options.grabInsertOrder))
                plan.grabInsertOrder = option::GrabInsertOrder::kAny;
            break;
        case ProgramCode::LoadOptionsCode: plan.start = ItemStart::LoadOptionsByName; break;
        default: break;
    }
    return plan;
}

}  // namespace radevir
