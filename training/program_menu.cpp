#include "training/program_menu.h"

#include <optional>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/certificate.h"
#include "exercises/column_arithmetic.h"
#include "exercises/file_screen.h"
#include "exercises/program_options.h"
#include "exercises/protocol.h"
#include "exercises/session.h"
#include "exercises/task_model.h"
#include "graphics/graphics.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "training/menu_items.h"
#include "training/menu_screen.h"
#include "training/card_box.h"
#include "training/drill.h"
#include "training/grab_game.h"
#include "training/options_menu.h"

namespace radevir {
namespace {

using doskey::kBackToMenu;

struct MenuState {
    Session& session;
    Graphics& graphics;
    int item = kFirstMenuItem;
};

// The settings box of the tachistoscope: true when it was closed with Enter.
bool TachistoscopeBox(Session& s) {
    Console& c = s.console;
    c.PushMouseRegions("", "radevir.mt2");
    DrawSmallBox(c);
    TachistoscopeBoxState box{kExposureTimeLine, s.options.tachistoscopeTime, BoxClose::None};
    while (box.close == BoxClose::None) {
        DrawTachistoscopeBox(c, box.line, box.exposureMs);
        const unsigned char key = c.ReadKey();
        box = TachistoscopeBoxKey(box, key, c.LastKeyExtended());
        s.options.tachistoscopeTime = box.exposureMs;
    }
    DrawTachistoscopeBox(c, box.line, box.exposureMs);
    c.Delay(500);
    c.PopMouseRegions();
    const bool start = box.close == BoxClose::Start;
    if (start) s.tachistoscopeStyle = box.line;
    return start;
}

// The settings box of the reading test: true when it was closed with Enter.
bool ReadingBox(Session& s) {
    Console& c = s.console;
    c.PushMouseRegions("", "radevir.mt3");
    DrawSmallBox(c);
    ProgramOptions& o = s.options;
    ReadingBoxState box{o.buildUpTime, o.holdTime, BoxClose::None};
    while (box.close == BoxClose::None) {
        DrawReadingBox(c, box.buildUpMs, box.holdMs);
        const unsigned char key = c.ReadKey();
        box = ReadingBoxKey(box, key, c.LastKeyExtended());
        o.buildUpTime = box.buildUpMs;
        o.holdTime = box.holdMs;
    }
    c.PopMouseRegions();
    return box.close == BoxClose::Start;
}

// Options that hold for one run only: set on construction, the old values back on destruction
// (also when an abort unwinds through the run).
class RunOnlyOptions {
public:
    RunOnlyOptions(ProgramOptions& options, const ItemRunPlan& plan)
        : options_(options), taskOrder_(options.taskOrder), grabInsertOrder_(options.grabInsertOrder) {
        if (plan.taskOrder) options_.taskOrder = *plan.taskOrder;
        if (plan.grabInsertOrder) options_.grabInsertOrder = *plan.grabInsertOrder;
        restoreTaskOrder_ = plan.taskOrder.has_value();
        restoreGrabInsertOrder_ = plan.grabInsertOrder.has_value();
    }
    ~RunOnlyOptions() {
        if (restoreTaskOrder_) options_.taskOrder = taskOrder_;
        if (restoreGrabInsertOrder_) options_.grabInsertOrder = grabInsertOrder_;
    }
    RunOnlyOptions(const RunOnlyOptions&) = delete;
    RunOnlyOptions& operator=(const RunOnlyOptions&) = delete;

private:
    ProgramOptions& options_;
    int taskOrder_;
    int grabInsertOrder_;
    bool restoreTaskOrder_ = false;
    bool restoreGrabInsertOrder_ = false;
};

// Runs the highlighted item after Enter.
void RunItem(MenuState& m) {
    Session& s = m.session;
    Console& c = s.console;
    const MenuItem* item = FindMenuItem(m.item);
    if (item == nullptr) return;
    c.Window(1, 1, 80, 25);
    if (item->programCode) s.programCode = *item->programCode;
    ItemRunPlan plan = PlanItemRun(s.programCode, s.options);
    if (plan.start == ItemStart::LoadOptionsByName) {
        SaveOrLoadOptionsByName(s, OptionSetAction::Load);
        c.Window(2, 2, 39, 23);
        s.menuKey = kBackToMenu;
        return;
    }
    const ProgramCode itemCode = s.programCode;
    s.programCode = plan.runAs;
    s.computeMode = plan.computeMode;
    s.readingMode = plan.readingMode;
    bool run = true;
    if (plan.start == ItemStart::GrabGameOptions) {
        // the run's options are the ones the screen was left with
        run = RunGrabGameOptions(s);
        plan = PlanItemRun(s.programCode, s.options);
    }
    {
        const RunOnlyOptions runOnly(s.options, plan);
        if (plan.start == ItemStart::TachistoscopeBox) run = TachistoscopeBox(s);
        else if (plan.start == ItemStart::ReadingBox) run = ReadingBox(s);
        if (run) RunTrainingProgram(s);
    }
    s.computeMode = false;
    s.readingMode = false;
    s.programCode = itemCode;
    s.menuKey = kBackToMenu;
}

// Escape in the menu: the protocol hint and the question. True when the user confirmed.
bool ConfirmLeaving(MenuState& m) {
    Session& s = m.session;
    Console& c = s.console;
    if (s.protocolCount > 2) DrawProtocolHint(c);
    DrawLeaveQuestion(c);
    // F7 answers no and closes the question; the protocol is printed and the menu comes back
    const int key = AskYesNo(s, YesNo::Yes, true);
    c.Window(1, 1, 80, 25);
    if (key == doskey::kF7 && s.protocolCount > 2 && s.printProtocol) s.printProtocol();
    return s.yesNoAnswer == YesNo::Yes;
}

constexpr int kSecondsPerMinute = 60;

// The program the session's code names, on the loaded list.
void RunProgram(Session& s) {
    switch (s.programCode) {
        case ProgramCode::WrittenArithmetic: RunColumnArithmetic(s); return;
        case ProgramCode::GrabGame: RunGrabGame(s); return;
        default:
            RunDrill(s);
    }
}

}  // namespace

void RunTrainingProgram(Session& s) {
    Console& c = s.console;
    const bool loaded = LoadTaskListFromChooser(s);
    if (!loaded && s.tasks.Count() <= 1) return;
    if (s.menuKey == doskey::kEscape || s.menuKey == kBackToMenu) {
        s.currentText.clear();
        s.menuKey = kBackToMenu;
        return;
    }
    s.run.runStopwatch.Start(c.GetClock());
    s.run.timeLimit_s = s.options.timeLimited == option::TimeLimited::kLimited
                            ? s.options.timeLimitMinutes * kSecondsPerMinute
                            : 0;
    s.run.tasksDone = 0;  // a program that does not run adds no practised file
    RunProgram(s);
    AddPractisedFile(s);
    // the grab game keeps no wrong tasks of its own
    if (s.programCode != ProgramCode::GrabGame) OfferCardBox(s);
    c.Window(1, 1, 80, 25);
    s.menuKey = kBackToMenu;
    s.currentText.clear();
    if (s.tasks.position > s.tasks.Count()) s.tasks.position = 1;
}

void RunProgramMenu(MenuServices& services) {
    Console& c = services.console;
    Graphics& g = services.graphics;
    Session session(c, services.env, services.random);
    Session& s = session;
    s.graphics = &g;
    s.speech = services.speech;
    // every printed document goes through the printer text file and the graphics layer's printer
    s.printPrinterTextFile = [&g](const Bytes& name) { g.PrintPrinterTextFile(PrintJob{-1, name}); };
    s.printProtocol = [&s] { PrintProtocol(s); };
    s.offerCertificate = [&s] { OfferCertificate(s); };

    // start-up
    if (c.FontTable().size() > 3) {
        c.SetFontFace(1, QStringLiteral("DARIZODEV"));
        c.SetFontFace(3, QStringLiteral("DARIZODEV"));
    }
    c.SetOemConversionOff(true);
    c.Geometry().keepAspect = true;
    c.Graphics().ascentAlign = true;
    LoadSessionOptions(s, s.ProgramFolder() + "aktuell.opt");
    s.optionsDirty = true;
    g.InitGraph(0);
    g.CloseGraph();
    s.tasks = TaskList{};
    s.today = c.TodayParts();

    MenuState m{s, g, kFirstMenuItem};
    bool leave = false;
    while (!leave) {
        DrawMenuScreen(c, m.item);
        s.menuKey = 0;
        while (s.menuKey != doskey::kEscape && s.menuKey != kBackToMenu) {
            const unsigned char key = c.ReadKey();
            const bool extended = c.LastKeyExtended();
            std::optional<int> clicked;
            int row = 0;
            if (extended && c.TakeListRow(row, kFirstMenuItem, kLastMenuItem)) clicked = row;
            MenuStep step = MenuKey(m.item, key, extended, clicked, s.protocolCount);
            s.menuKey = key;  // what a program run reads; F1 or a typed ";" do not end the loop
            if (key == kBackToMenu) s.menuKey = 0;
            if (step.action == MenuAction::Options) {
                m.item = kOptionsMenuItem;
                DrawMenuItems(c, m.item);
                // opened with Enter (or a click) the options menu starts one line further down
                s.menuKey = (clicked || key == doskey::kEnter) ? doskey::kEnter : key;
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
                case MenuAction::Leave: s.menuKey = doskey::kEscape; break;
                default: break;
            }
        }
        if (s.menuKey == doskey::kEscape) leave = ConfirmLeaving(m);
    }

    // leaving
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    c.ClrScr();
    if (s.options.protocol != option::Protocol::kNone && s.protocolCount > 2) {
        c.TextColor(1);
        c.TextBackground(3);
        SaveProtocol(s);
        c.Window(1, 1, 80, 25);
        c.TextColor(7);
        c.TextBackground(0);
        c.ClrScr();
    }
    if (s.optionsDirty && !SaveSessionOptions(s, s.ProgramFolder() + "aktuell.opt")) {
        // the window closes next: the failure line must stay readable until it has been seen
        WaitForKeyOrTimeout(c, kFailedSaveShownMs);
    }
    c.TextColor(15);
}

}  // namespace radevir
