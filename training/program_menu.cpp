#include "training/program_menu.h"

#include <optional>

#include "console/console.h"
#include "exercises/file_screen.h"
#include "exercises/program_options.h"
#include "exercises/session.h"
#include "exercises/task_model.h"
#include "graphics/graphics.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "training/menu_items.h"
#include "training/menu_screen.h"
#include "training/options_menu.h"

namespace radevir {
namespace {

constexpr int kBack = 59;  // ";": back to the menu and redraw it

struct MenuState {
    Session& session;
    Graphics& graphics;
    int item = 1;
};

// The settings box of the tachistoscope: true when it was closed with Enter.
bool TachistoscopeBox(Session& s) {
    Console& c = s.console;
    c.PushMouseRegions("", "radevir.mt2");
    DrawSmallBox(c);
    int line = 1;
    bool enter = false;
    for (;;) {
        DrawTachistoscopeBox(c, line, s.options.tachistoscopeTime);
        const unsigned char key = c.ReadKey();
        const bool extended = c.LastKeyExtended();
        int chosen = 0;
        switch (key) {
            case 'n': chosen = 2; break;
            case 'k': chosen = 3; break;
            case 'm': chosen = 4; break;
            case 's': chosen = 5; break;
            default: break;
        }
        if (chosen != 0) {
            line = chosen;
            DrawTachistoscopeBox(c, line, s.options.tachistoscopeTime);
            enter = true;
            break;
        }
        if (extended) {
            if (key == 'H' && line > 1) --line;
            if (key == 'P' && line < 5) ++line;
            if (key == 'G' || key == 'I') line = 1;
            if (key == 'O' || key == 'Q') line = 5;
            if (line == 1 && key == 'K' && s.options.tachistoscopeTime > 0) s.options.tachistoscopeTime -= 10;
            if (line == 1 && key == 'M' && s.options.tachistoscopeTime < 3000) s.options.tachistoscopeTime += 10;
            continue;
        }
        if (key == 13) {
            enter = true;
            break;
        }
        if (key == 27 || key == kBack) break;
    }
    c.Delay(500);
    c.PopMouseRegions();
    if (enter) s.tachistoscopeStyle = line;
    return enter;
}

// The settings box of the reading test: true when it was closed with Enter.
bool ReadingBox(Session& s) {
    Console& c = s.console;
    c.PushMouseRegions("", "radevir.mt3");
    DrawSmallBox(c);
    ProgramOptions& o = s.options;
    for (;;) {
        DrawReadingBox(c, o.buildUpTime, o.holdTime);
        const unsigned char key = c.ReadKey();
        if (c.LastKeyExtended() && key != 13) {
            if (key == 'K' && o.buildUpTime > 0) o.buildUpTime -= 10;
            if (key == 'M' && o.buildUpTime < 3000) o.buildUpTime += 10;
            if (key == 'H' && o.holdTime < 3000) o.holdTime += 10;
            if (key == 'P' && o.holdTime > 0) o.holdTime -= 10;
            continue;
        }
        if (key == 13 || key == 27 || key == kBack) {
            c.PopMouseRegions();
            return key == 13;
        }
    }
}

// Runs the highlighted item after Enter.
void RunItem(MenuState& m) {
    Session& s = m.session;
    Console& c = s.console;
    const MenuItem* item = FindMenuItem(m.item);
    if (item == nullptr) return;
    c.Window(1, 1, 80, 25);
    if (item->programCode != 0) s.programCode = item->programCode;
    switch (s.programCode) {
        case 5: {
            // a partner dictates in list order, whatever the task order says
            const bool partnerRandom = s.options.dictationMode == 3 && s.options.taskOrder == 1;
            if (partnerRandom) s.options.taskOrder = 0;
            RunTrainingProgram(s);
            if (partnerRandom) s.options.taskOrder = 1;
            break;
        }
        case 13:
            s.programCode = 1;
            s.computeMode = true;
            RunTrainingProgram(s);
            s.programCode = 13;
            s.computeMode = false;
            break;
        case 7:
            if (TachistoscopeBox(s)) RunTrainingProgram(s);
            break;
        case 8:
            s.readingMode = true;
            s.programCode = 3;
            if (ReadingBox(s)) RunTrainingProgram(s);
            s.readingMode = false;
            s.programCode = 8;
            break;
        case 9: {
            // inserting in order makes no sense while operators are grabbed
            const bool operatorsInOrder = s.options.grabTarget == 4 && s.options.grabInsertOrder == 1;
            if (operatorsInOrder) s.options.grabInsertOrder = 0;
            RunTrainingProgram(s);
            if (operatorsInOrder) s.options.grabInsertOrder = 1;
            break;
        }
        case 12:
            SaveOrLoadOptionsByName(s, 2);
            c.Window(2, 2, 39, 23);
            break;
        default: RunTrainingProgram(s); break;
    }
    s.menuKey = kBack;
}

// Escape in the menu: the protocol hint and the question. True when the user confirmed.
bool ConfirmLeaving(MenuState& m) {
    Session& s = m.session;
    Console& c = s.console;
    if (s.protocolCount > 2) DrawProtocolHint(c);
    DrawLeaveQuestion(c);
    for (;;) {
        const int key = AskYesNo(s, 0, true);
        if (key == 65 && s.protocolCount > 2) {
            if (s.printProtocol) s.printProtocol();
            continue;
        }
        break;
    }
    c.Window(1, 1, 80, 25);
    return s.yesNoAnswer == 0;
}

}  // namespace

void RunTrainingProgram(Session& s) {
    Console& c = s.console;
    const bool loaded = LoadTaskListFromChooser(s);
    if (!loaded && s.tasks.Count() <= 1) return;
    if (s.menuKey == 27 || s.menuKey == kBack) {
        s.currentText.clear();
        s.menuKey = kBack;
        return;
    }
    // The training programs themselves are not here yet: the chosen list stays loaded for the
    // next program, and the menu comes back.
    c.Window(1, 1, 80, 25);
    s.menuKey = kBack;
    s.currentText.clear();
    if (s.tasks.position > s.tasks.Count()) s.tasks.position = 1;
}

void RunProgramMenu(MenuServices& services) {
    Console& c = services.console;
    Graphics& g = services.graphics;
    Session session(c, services.env, services.random);
    Session& s = session;

    // start-up
    std::vector<QString>& fonts = c.FontTable();
    if (fonts.size() > 3) {
        fonts[1] = QStringLiteral("DARIZODEV");
        fonts[3] = QStringLiteral("DARIZODEV");
    }
    c.oemConversionOff_ = true;
    c.Geometry().keepAspect = true;
    c.Graphics().ascentAlign = true;
    LoadSessionOptions(s, s.ProgramFolder() + "aktuell.opt");
    s.optionsDirty = 1;
    g.InitGraph(0);
    g.CloseGraph();
    s.tasks = TaskList{};
    s.today = c.TodayParts();

    MenuState m{s, g, 1};
    bool leave = false;
    while (!leave) {
        DrawMenuScreen(c, m.item);
        s.menuKey = 0;
        while (s.menuKey != 27 && s.menuKey != kBack) {
            const unsigned char key = c.ReadKey();
            const bool extended = c.LastKeyExtended();
            std::optional<int> clicked;
            int row = 0;
            if (extended && c.TakeListRow(row, 1, 13)) clicked = row;
            MenuStep step = MenuKey(m.item, key, extended, clicked, s.protocolCount);
            s.menuKey = key;  // what a program run reads; 59 typed or F1 do not end the loop
            if (key == kBack) s.menuKey = 0;
            if (step.action == MenuAction::Options) {
                m.item = 12;
                DrawMenuItems(c, m.item);
                // opened with Enter (or a click) the options menu starts one line further down
                s.menuKey = (clicked || key == 13) ? 13 : key;
                const int closing = RunOptionsMenu(s);
                s.menuKey = 0;
                if (IsProgramLetter(closing)) {
                    step = MenuKey(m.item, static_cast<unsigned char>(closing), false, std::nullopt, s.protocolCount);
                } else {
                    DrawMenuItems(c, m.item);
                    continue;
                }
            }
            if (step.item != m.item) {
                m.item = step.item;
                DrawMenuItems(c, m.item);
            }
            switch (step.action) {
                case MenuAction::Run:
                    DrawMenuItems(c, m.item);
                    RunItem(m);
                    c.Window(2, 2, 39, 23);
                    break;
                case MenuAction::PrintProtocol:
                    if (s.printProtocol) s.printProtocol();
                    break;
                case MenuAction::Leave: s.menuKey = 27; break;
                default: break;
            }
        }
        if (s.menuKey == 27) leave = ConfirmLeaving(m);
    }

    // leaving
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    c.ClrScr();
    if (s.options.protocol != 0 && s.protocolCount > 2) {
        // saving the teacher protocol arrives with the protocol screens
    }
    if (s.optionsDirty == 1) SaveSessionOptions(s, s.ProgramFolder() + "aktuell.opt");
    c.TextColor(15);
}

}  // namespace radevir
