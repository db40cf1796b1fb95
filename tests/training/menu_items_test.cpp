#include "training/menu_items.h"

#include <gtest/gtest.h>

#include "console/dos_keys.h"

using namespace radevir;
namespace key = radevir::doskey;

namespace {
// The code a clicked menu row answers with.
constexpr unsigned char RowClickCode(int row) { return static_cast<unsigned char>(key::kRegionRowBase + row); }
}  // namespace

TEST(MenuKeys, MovingTheHighlight) {
    const struct {
        int item;
        unsigned char key;
        int next;
    } table[] = {
        {10, key::kDown, 12}, {12, key::kUp, 10},      {13, key::kDown, 1}, {1, key::kUp, 13},
        {4, key::kDown, 5},   {5, key::kUp, 4},        {7, key::kHome, 1},  {7, key::kPageUp, 1},
        {3, key::kEnd, 12},   {3, key::kPageDown, 12},
    };
    for (const auto& row : table) {
        const MenuStep step = MenuKey(row.item, row.key, true, std::nullopt, 0);
        EXPECT_EQ(step.item, row.next) << row.item << " " << row.key;
        EXPECT_EQ(step.action, MenuAction::Move);
    }
}

TEST(MenuKeys, LettersEnterEscapeAndOptions) {
    const struct {
        int item;
        unsigned char key;
        bool extended;
        int next;
        MenuAction action;
    } table[] = {
        {1, 't', false, 10, MenuAction::Run},  // the tachistoscope from the short list
        {5, 'k', false, 1, MenuAction::Run},
        // capitals are no program letters: they share their codes with the cursor keys
        {5, 'K', false, 5, MenuAction::None},
        {5, 'O', false, 5, MenuAction::None},
        {5, 'T', false, 5, MenuAction::None},
        {5, 'M', false, 5, MenuAction::None},
        {3, 'o', false, 12, MenuAction::Options},
        {12, key::kEnter, false, 12, MenuAction::Options},
        {13, key::kEnter, false, 13, MenuAction::Run},
        {2, key::kEnter, false, 2, MenuAction::Run},
        {2, key::kEscape, false, 2, MenuAction::Leave},
        {2, ';', false, 2, MenuAction::None},
        {2, key::kF1, true, 2, MenuAction::None},  // F1
        {2, 'x', false, 2, MenuAction::None},
        {2, 'P', false, 2, MenuAction::None},      // typed P
        {2, key::kF7, true, 2, MenuAction::None},  // F7 without a protocol
    };
    for (const auto& row : table) {
        const MenuStep step = MenuKey(row.item, row.key, row.extended, std::nullopt, 0);
        EXPECT_EQ(step.item, row.next) << row.key;
        EXPECT_EQ(step.action, row.action) << row.key;
    }
    EXPECT_EQ(MenuKey(2, key::kF7, true, std::nullopt, 3).action, MenuAction::PrintProtocol);
}

TEST(MenuKeys, ClicksMoveOrAct) {
    EXPECT_EQ(MenuKey(1, RowClickCode(2), true, 5, 0).action, MenuAction::Move);
    EXPECT_EQ(MenuKey(1, RowClickCode(2), true, 5, 0).item, 5);
    EXPECT_EQ(MenuKey(5, RowClickCode(2), true, 5, 0).action, MenuAction::Run);
    EXPECT_EQ(MenuKey(12, RowClickCode(12), true, 12, 0).action, MenuAction::Options);
}

TEST(MenuKeys, ProgramLettersAreLowerCase) {
    EXPECT_EQ(MenuItemForLetter('k'), 1);
    EXPECT_EQ(MenuItemForLetter('a'), 9);
    EXPECT_EQ(MenuItemForLetter('K'), 0);
    EXPECT_EQ(MenuItemForLetter('Z'), 0);
    EXPECT_EQ(MenuItemForLetter('o'), 0);  // the options menu is no program
}

TEST(SettingsBoxes, TachistoscopeKeys) {
    const struct {
        int line, exposureMs;
        unsigned char key;
        bool extended;
        int nextLine, nextMs;
        BoxClose close;
    } table[] = {
        {1, 100, key::kDown, true, 2, 100, BoxClose::None},
        {5, 100, key::kDown, true, 5, 100, BoxClose::None},
        {1, 100, key::kUp, true, 1, 100, BoxClose::None},
        {3, 100, key::kHome, true, 1, 100, BoxClose::None},
        {3, 100, key::kPageDown, true, 5, 100, BoxClose::None},
        {1, 100, key::kLeft, true, 1, 90, BoxClose::None},
        {1, 0, key::kLeft, true, 1, 0, BoxClose::None},
        {1, 3000, key::kRight, true, 1, 3000, BoxClose::None},
        {2, 100, key::kRight, true, 2, 100, BoxClose::None},
        {1, 100, 'M', false, 1, 100, BoxClose::None},
        {1, 100, 'm', false, 4, 100, BoxClose::Start},
        {1, 100, 's', true, 5, 100, BoxClose::Start},
        {3, 100, key::kEnter, false, 3, 100, BoxClose::Start},
        {3, 100, key::kEnter, true, 3, 100, BoxClose::Start},
        {3, 100, key::kEscape, false, 3, 100, BoxClose::Cancel},
        {3, 100, key::kEscape, true, 3, 100, BoxClose::Cancel},  // the top-right corner
        {3, 100, ';', false, 3, 100, BoxClose::Cancel},
        {3, 100, key::kF1, true, 3, 100, BoxClose::Cancel},  // F1
    };
    for (const auto& c : table) {
        const TachistoscopeBoxState next =
            TachistoscopeBoxKey({c.line, c.exposureMs, BoxClose::None}, c.key, c.extended);
        EXPECT_EQ(next.line, c.nextLine) << int(c.key) << " " << c.extended;
        EXPECT_EQ(next.exposureMs, c.nextMs) << int(c.key);
        EXPECT_EQ(next.close, c.close) << int(c.key) << " " << c.extended;
    }
}

TEST(SettingsBoxes, ReadingTestKeys) {
    const struct {
        int buildUpMs, holdMs;
        unsigned char key;
        bool extended;
        int nextBuildUp, nextHold;
        BoxClose close;
    } table[] = {
        {280, 110, key::kLeft, true, 270, 110, BoxClose::None},
        {280, 110, key::kRight, true, 290, 110, BoxClose::None},
        {280, 110, key::kUp, true, 280, 120, BoxClose::None},
        {280, 110, key::kDown, true, 280, 100, BoxClose::None},
        {0, 0, key::kLeft, true, 0, 0, BoxClose::None},
        {3000, 0, key::kDown, true, 3000, 0, BoxClose::None},
        {280, 3000, key::kUp, true, 280, 3000, BoxClose::None},
        {280, 110, 'K', false, 280, 110, BoxClose::None},
        {280, 110, key::kEnter, false, 280, 110, BoxClose::Start},
        {280, 110, key::kEscape, true, 280, 110, BoxClose::Cancel},
        {280, 110, key::kF1, true, 280, 110, BoxClose::Cancel},
        {280, 110, ';', false, 280, 110, BoxClose::Cancel},
    };
    for (const auto& c : table) {
        const ReadingBoxState next =
            ReadingBoxKey({c.buildUpMs, c.holdMs, BoxClose::None}, c.key, c.extended);
        EXPECT_EQ(next.buildUpMs, c.nextBuildUp) << int(c.key);
        EXPECT_EQ(next.holdMs, c.nextHold) << int(c.key);
        EXPECT_EQ(next.close, c.close) << int(c.key) << " " << c.extended;
    }
}

TEST(RunRules, GrabbingOperatorsSuspendsInsertingInOrder) {
    const struct {
        int target, insertOrder;
        bool suspended;
    } table[] = {{3, 1, true}, {3, 0, false}, {4, 1, false}, {0, 1, false}, {5, 1, false}};
    for (const auto& c : table)
        EXPECT_EQ(SuspendsGrabInsertOrder(c.target, c.insertOrder), c.suspended) << c.target;
}

// What runs for each item code, and which options hold for that run only.
TEST(RunRules, ItemRunPlans) {
    using option::DictationMode, option::TaskOrder, option::GrabTarget, option::GrabInsertOrder;
    constexpr std::optional<int> kKept = std::nullopt;
    const struct {
        ProgramCode code;
        int dictationMode, taskOrder, grabTarget, grabInsertOrder;
        ItemStart start;
        ProgramCode runAs;
        bool computeMode, readingMode;
        std::optional<int> taskOrderForRun, grabInsertOrderForRun;
    } table[] = {
        {ProgramCode::MentalArithmetic, 0, 1, 3, 1, ItemStart::Run, ProgramCode::MentalArithmetic, false, false, kKept, kKept},
        // a partner dictates in list order, but only a random order needs changing
        {ProgramCode::Dictation, DictationMode::kPartner, TaskOrder::kRandom, 0, 0, ItemStart::Run,
         ProgramCode::Dictation, false, false, TaskOrder::kInOrder, kKept},
        {ProgramCode::Dictation, DictationMode::kPartner, TaskOrder::kInOrder, 0, 0, ItemStart::Run,
         ProgramCode::Dictation, false, false, kKept, kKept},
        {ProgramCode::Dictation, DictationMode::kWhole, TaskOrder::kRandom, 0, 0, ItemStart::Run,
         ProgramCode::Dictation, false, false, kKept, kKept},
        {ProgramCode::MemoriseAndCompute, 0, 0, 0, 0, ItemStart::Run, ProgramCode::MemoriseOnly, true, false, kKept, kKept},
        {ProgramCode::Tachistoscope, 0, 0, 0, 0, ItemStart::TachistoscopeBox, ProgramCode::Tachistoscope, false, false,
         kKept, kKept},
        {ProgramCode::ReadingTest, 0, 0, 0, 0, ItemStart::ReadingBox, ProgramCode::CopyTask, false, true, kKept, kKept},
        {ProgramCode::GrabGame, 0, 0, GrabTarget::kOperators, GrabInsertOrder::kInOrder, ItemStart::GrabGameOptions,
         ProgramCode::GrabGame, false, false, kKept, GrabInsertOrder::kAny},
        {ProgramCode::GrabGame, 0, 0, GrabTarget::kResult, GrabInsertOrder::kInOrder, ItemStart::GrabGameOptions,
         ProgramCode::GrabGame, false, false, kKept, kKept},
        {ProgramCode::LoadOptionsCode, DictationMode::kPartner, TaskOrder::kRandom, 0, 0, ItemStart::LoadOptionsByName,
         ProgramCode::LoadOptionsCode, false, false, kKept, kKept},
    };
    for (const auto& c : table) {
        ProgramOptions options;
        options.dictationMode = c.dictationMode;
        options.taskOrder = c.taskOrder;
        options.grabTarget = c.grabTarget;
        options.grabInsertOrder = c.grabInsertOrder;
        const ItemRunPlan plan = PlanItemRun(c.code, options);
        const int code = ProgramNumber(c.code);
        EXPECT_EQ(plan.start, c.start) << code;
        EXPECT_EQ(plan.runAs, c.runAs) << code;
        EXPECT_EQ(plan.computeMode, c.computeMode) << code;
        EXPECT_EQ(plan.readingMode, c.readingMode) << code;
        EXPECT_EQ(plan.taskOrder, c.taskOrderForRun) << code;
        EXPECT_EQ(plan.grabInsertOrder, c.grabInsertOrderForRun) << code;
    }
}
