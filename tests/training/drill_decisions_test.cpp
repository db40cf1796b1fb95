#include "training/drill_decisions.h"

#include <gtest/gtest.h>

#include "console/dos_keys.h"

using namespace radevir;
namespace key = radevir::doskey;
using option::Help;
using option::InputControl;
using P = ProgramCode;

namespace {

DrillKeyContext Context(P program, int inputControl, int help) {
    DrillKeyContext c;
    c.program = program;
    c.inputControl = inputControl;
    c.help = help;
    return c;
}

}  // namespace

TEST(DrillKeys, InputCharactersAreTheArithmeticOnes) {
    for (unsigned char c : {'(', ')', '*', '+', ',', '-', '.', '/', '0', '9',
                            ':', ';', '<', '=', '>', '%', '[', ']', '{', '}'})
        EXPECT_TRUE(IsInputCharacter(c)) << c;
    for (unsigned char c : {' ', 'a', 'w', 'x', '_', '\'', '?', '!', '\r', '\x1b'})
        EXPECT_FALSE(IsInputCharacter(c)) << static_cast<int>(c);
}

TEST(DrillKeys, WhatAKeyDoes) {
    const struct {
        P program;
        int help;
        int inputControl;
        unsigned char key;
        bool extended;
        DrillKey expected;
    } table[] = {
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, '7', false,
         DrillKey::Input},
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, 'w', false,
         DrillKey::Skip},
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, '_', false,
         DrillKey::Skip},
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, 'W', false,
         DrillKey::Neutral},
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, key::kEscape,
         false, DrillKey::Escape},
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, key::kEnter,
         false, DrillKey::Enter},
        {P::MentalArithmetic, Help::kAtSecondError, InputControl::kCountEveryKey, key::kPageDown,
         true, DrillKey::PageDownSkip},
        {P::MentalArithmetic, Help::kNone, InputControl::kCountEveryKey, key::kPageUp, true,
         DrillKey::GoBack},
        // the help keys open the board with help levels 2 and 3 only, never in copying
        {P::MentalArithmetic, Help::kHelpKeys, InputControl::kCountEveryKey, key::kF2, true,
         DrillKey::HundredBoard},
        {P::MemoriseOnly, Help::kAtSecondError, InputControl::kCountEveryKey, key::kLeft, true,
         DrillKey::HundredBoard},
        {P::MentalArithmetic, Help::kOnEnter, InputControl::kCountEveryKey, key::kF1, true,
         DrillKey::Neutral},
        {P::MentalArithmetic, Help::kAtSecondErrorOnly, InputControl::kCountEveryKey, key::kDown,
         true, DrillKey::Neutral},
        {P::CopyTask, Help::kAtSecondError, InputControl::kCountEveryKey, key::kF3, true,
         DrillKey::Neutral},
        // "P" typed is no PgDn, "Q" typed no PgUp
        {P::CopyTask, Help::kAtSecondError, InputControl::kCountEveryKey, key::kPageDown, false,
         DrillKey::Neutral},
        // Backspace corrects only when the input is checked on Enter
        {P::CopyTask, Help::kAtSecondError, InputControl::kCheckOnEnter, key::kBackspace, false,
         DrillKey::Backspace},
        {P::CopyTask, Help::kAtSecondError, InputControl::kCountEveryKey, key::kBackspace, false,
         DrillKey::Neutral},
        // dictation repeats the task with space and F5
        {P::Dictation, Help::kAtSecondError, InputControl::kCountEveryKey, ' ', false,
         DrillKey::SpeakAgain},
        {P::Dictation, Help::kAtSecondError, InputControl::kCountEveryKey, key::kF5, true,
         DrillKey::SpeakAgain},
        {P::CopyTask, Help::kAtSecondError, InputControl::kCountEveryKey, ' ', false,
         DrillKey::Neutral},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ClassifyDrillKey(Context(row.program, row.inputControl, row.help), row.key,
                                   row.extended),
                  row.expected)
            << ProgramNumber(row.program) << " help " << row.help << " key " << int(row.key)
            << " ext " << row.extended;
    }
}

TEST(DrillKeys, PartnerDictationIsNotSpokenAgain) {
    DrillKeyContext c = Context(P::Dictation, InputControl::kCountEveryKey, Help::kAtSecondError);
    c.dictationMode = option::DictationMode::kPartner;
    EXPECT_EQ(ClassifyDrillKey(c, ' ', false), DrillKey::Neutral);
    EXPECT_EQ(ClassifyDrillKey(c, key::kF5, true), DrillKey::Neutral);
}

TEST(DrillKeys, TheReadingTestHasItsOwnKeys) {
    DrillKeyContext c = Context(P::CopyTask, InputControl::kCountEveryKey, Help::kAtSecondError);
    c.readingMode = true;
    const struct {
        unsigned char key;
        bool extended;
        DrillKey expected;
    } table[] = {
        {'+', false, DrillKey::ReadCorrect},
        {'-', false, DrillKey::ReadWrong},
        {'_', false, DrillKey::ReadSkip},
        {key::kEnter, false, DrillKey::ShowAgain},
        {' ', false, DrillKey::ClearStrip},
        {key::kLeft, true, DrillKey::BuildUpShorter},
        {key::kRight, true, DrillKey::BuildUpLonger},
        {key::kDown, true, DrillKey::HoldShorter},
        {key::kUp, true, DrillKey::HoldLonger},
        {key::kF1, true, DrillKey::Escape},
        {key::kEscape, false, DrillKey::Escape},
        {'7', false, DrillKey::Neutral},
        {'w', false, DrillKey::Neutral},
        {key::kPageDown, true, DrillKey::Neutral},
    };
    for (const auto& row : table)
        EXPECT_EQ(ClassifyDrillKey(c, row.key, row.extended), row.expected) << int(row.key);
}

TEST(DrillCharacters, EachInputControlJudgesAWrongKeyItsOwnWay) {
    const struct {
        P program;
        int inputControl;
        int help;
        bool secondPass;
        unsigned char typed, expected;
        CharVerdict verdict;
        bool helpRequest;
    } table[] = {
        {P::CopyTask, InputControl::kRefuseWrongKeys, Help::kAtSecondError, false, '5', '5',
         CharVerdict::Accept, false},
        {P::MemoriseOnly, InputControl::kRefuseWrongKeys, Help::kAtSecondError, false, '4', '5',
         CharVerdict::Refuse, true},
        {P::MemoriseOnly, InputControl::kRefuseWrongKeys, Help::kOnEnter, false, '4', '5',
         CharVerdict::Refuse, false},
        {P::CopyTask, InputControl::kRefuseWrongKeys, Help::kAtSecondError, false, '4', '5',
         CharVerdict::Refuse, false},
        {P::MentalArithmetic, InputControl::kRefuseWrongKeys, Help::kAtSecondErrorOnly, false, '4',
         '5', CharVerdict::Refuse, true},
        {P::FillInSigns, InputControl::kCountEveryKey, Help::kAtSecondError, false, '4', '5',
         CharVerdict::Error, true},
        {P::FillInSigns, InputControl::kCountEveryKey, Help::kHelpKeys, false, '4', '5',
         CharVerdict::Error, false},
        // copying asks for help at errors only in the second typing
        {P::CopyTask, InputControl::kCountEveryKey, Help::kAtSecondError, false, '4', '5',
         CharVerdict::Error, false},
        {P::CopyTask, InputControl::kCountEveryKey, Help::kAtSecondError, true, '4', '5',
         CharVerdict::Error, true},
        // on Enter anything goes up to the task's length, beyond it is an error
        {P::CopyTask, InputControl::kCheckOnEnter, Help::kAtSecondError, false, '4', '5',
         CharVerdict::Accept, false},
        {P::CopyTask, InputControl::kCheckOnEnter, Help::kAtSecondError, false, '4', 0,
         CharVerdict::Error, false},
        // mental arithmetic checks the gap at once, also on Enter
        {P::MentalArithmetic, InputControl::kCheckOnEnter, Help::kAtSecondError, false, '4', '5',
         CharVerdict::Error, true},
        {P::MentalArithmetic, InputControl::kCountEveryKey, Help::kAtSecondError, false, '5', '5',
         CharVerdict::Accept, false},
    };
    for (const auto& row : table) {
        DrillKeyContext c = Context(row.program, row.inputControl, row.help);
        c.secondPass = row.secondPass;
        const CharCheck check = CheckCharacter(c, row.typed, row.expected);
        EXPECT_EQ(check.verdict, row.verdict)
            << ProgramNumber(row.program) << " control " << row.inputControl;
        EXPECT_EQ(check.helpRequest, row.helpRequest)
            << ProgramNumber(row.program) << " control " << row.inputControl;
    }
}

TEST(DrillCharacters, SlashStandsForDivisionAndTheCommaComesByItself) {
    EXPECT_EQ(TranslateTypedCharacter('/', ':'), ':');
    EXPECT_EQ(TranslateTypedCharacter('/', '/'), '/');
    EXPECT_EQ(TranslateTypedCharacter('/', '7'), '/');

    const DrillKeyContext every =
        Context(P::MentalArithmetic, InputControl::kCountEveryKey, Help::kAtSecondError);
    EXPECT_TRUE(TakesCommaAutomatically(every, option::AutoComma::kAutomatic, ','));
    EXPECT_FALSE(TakesCommaAutomatically(every, option::AutoComma::kTyped, ','));
    EXPECT_FALSE(TakesCommaAutomatically(every, option::AutoComma::kAutomatic, '5'));
    EXPECT_FALSE(TakesCommaAutomatically(
        Context(P::CopyTask, InputControl::kCheckOnEnter, Help::kAtSecondError),
        option::AutoComma::kAutomatic, ','));
    EXPECT_FALSE(TakesCommaAutomatically(
        Context(P::FillInSigns, InputControl::kCountEveryKey, Help::kAtSecondError),
        option::AutoComma::kAutomatic, ','));
}

// Blanks and letters are stepped over in every program that has an input line, in every input
// control; never in mental arithmetic (only its gaps are typed), in the reading test, or in a
// task with nothing to type at all, which would otherwise solve itself.
TEST(DrillCharacters, BlanksAndLettersAreSteppedOver) {
    const DrillKeyContext copy =
        Context(P::CopyTask, InputControl::kCheckOnEnter, Help::kAtSecondError);
    DrillKeyContext reading = copy;
    reading.readingMode = true;
    const struct {
        DrillKeyContext context;
        const char* task;
        unsigned char expected;
        bool stepsOver;
    } cases[] = {
        {copy, "17:5=3 R 2", ' ', true},
        {copy, "17:5=3 R 2", 'R', true},
        {copy, "17:5=3 R 2", '3', false},
        {copy, "17:5=3 R 2", 0, false},  // the input is complete
        {Context(P::FillInSigns, InputControl::kRefuseWrongKeys, Help::kNone), "12 + 5", ' ', true},
        {Context(P::MentalArithmetic, InputControl::kCountEveryKey, Help::kNone), "17:5=3 R 2", 'R',
         false},
        {reading, "17:5=3 R 2", 'R', false},
        {copy, "ab", 'a', false},  // the words of a copying list
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepsOver(c.context, c.task, c.expected), c.stepsOver)
            << c.task << " '" << c.expected << "'";
}

TEST(DrillEnter, HelpOrComparisonByInputControlAndHelpLevel) {
    const struct {
        P program;
        int inputControl;
        int help;
        bool countedWrong, secondPass;
        bool helpRequest, compareInput;
    } table[] = {
        // " Total ": Enter always asks for help, even with help switched off (not in copying)
        {P::MentalArithmetic, InputControl::kRefuseWrongKeys, Help::kNone, false, false, true,
         false},
        {P::CopyTask, InputControl::kRefuseWrongKeys, Help::kAtSecondError, false, false, false,
         false},
        {P::MentalArithmetic, InputControl::kCountEveryKey, Help::kOnEnter, false, false, true,
         false},
        {P::MentalArithmetic, InputControl::kCountEveryKey, Help::kAtSecondErrorOnly, false, false,
         false, false},
        {P::CopyTask, InputControl::kCountEveryKey, Help::kOnEnter, false, false, false, false},
        {P::CopyTask, InputControl::kCountEveryKey, Help::kOnEnter, false, true, true, false},
        // help off: only a task already counted wrong, and only where the task can be seen again
        {P::MemoriseOnly, InputControl::kCountEveryKey, Help::kNone, true, false, true, false},
        {P::MemoriseOnly, InputControl::kCountEveryKey, Help::kNone, false, false, false, false},
        {P::MentalArithmetic, InputControl::kCountEveryKey, Help::kNone, true, false, false, false},
        {P::CopyTask, InputControl::kCheckOnEnter, Help::kNone, false, false, false, true},
    };
    for (const auto& row : table) {
        DrillKeyContext c = Context(row.program, row.inputControl, row.help);
        c.countedWrong = row.countedWrong;
        c.secondPass = row.secondPass;
        const EnterDecision d = DecideEnter(c);
        EXPECT_EQ(d.helpRequest, row.helpRequest)
            << ProgramNumber(row.program) << " " << row.inputControl << " " << row.help;
        EXPECT_EQ(d.compareInput, row.compareInput)
            << ProgramNumber(row.program) << " " << row.inputControl;
    }
    const DrillKeyContext onEnterNoHelp =
        Context(P::CopyTask, InputControl::kCheckOnEnter, Help::kNone);
    EXPECT_FALSE(HelpOnWrongEnter(onEnterNoHelp, 3, 5));
    EXPECT_TRUE(HelpOnWrongEnter(onEnterNoHelp, 5, 5));
}

TEST(DrillHelp, TheSequenceOfEachProgram) {
    // the steps' actions for a run of Enter presses
    const struct {
        P program;
        std::vector<HelpAction> actions;
    } table[] = {
        {P::CopyTask,
         {HelpAction::BoardH1, HelpAction::BoardH3, HelpAction::ShowTask, HelpAction::ShowTaskAgain,
          HelpAction::None, HelpAction::None}},
        {P::MentalArithmetic,
         {HelpAction::BoardH1, HelpAction::BoardH3, HelpAction::BoardH1, HelpAction::BoardH3}},
        {P::Dictation, {HelpAction::BoardH1, HelpAction::BoardH3, HelpAction::BoardH1}},
        {P::MemoriseOnly, {HelpAction::ShowTask, HelpAction::ShowTask, HelpAction::ShowTask}},
        {P::FillInSigns, {HelpAction::ShowTask, HelpAction::ShowTask}},
        {P::Tachistoscope, {HelpAction::ShowTask, HelpAction::ShowTask}},
    };
    for (const auto& row : table) {
        HelpState state;
        for (size_t i = 0; i < row.actions.size(); ++i) {
            const HelpResult r = RequestHelp(state, row.program, false);
            EXPECT_EQ(r.action, row.actions[i])
                << ProgramNumber(row.program) << " request " << i + 1;
            state = r.state;
        }
    }
}

TEST(DrillHelp, TheFirstErrorOnlyArmsTheHelp) {
    HelpState state;
    HelpResult r = RequestHelp(state, P::MentalArithmetic, true);
    EXPECT_EQ(r.action, HelpAction::None);
    EXPECT_TRUE(r.state.armed);
    r = RequestHelp(r.state, P::MentalArithmetic, true);
    EXPECT_EQ(r.action, HelpAction::BoardH1);
    // Enter does not need arming
    EXPECT_EQ(RequestHelp(HelpState{}, P::MentalArithmetic, false).action, HelpAction::BoardH1);
}

TEST(DrillHelp, ABoardThatCannotShowTheTaskEndsTheBoardHelp) {
    const int mental = HelpStepAfterUndisplayableBoard(1, P::MentalArithmetic);
    EXPECT_EQ(RequestHelp(HelpState{mental, true}, P::MentalArithmetic, false).action,
              HelpAction::None);
    EXPECT_EQ(HelpStepAfterUndisplayableBoard(1, P::Tachistoscope), 5);
    EXPECT_EQ(HelpStepAfterUndisplayableBoard(1, P::CopyTask), 1);
}

TEST(DrillColours, FirstDrawingAndTypedCharacters) {
    TaskColours c{P::CopyTask, option::BackgroundColour::kNavy, option::HighlightOperators::kYes, 3,
                  5};
    // "12+34=": positions 3 and 4 are marked
    EXPECT_EQ(FirstDrawingColour(c, 1, '1'), 14);
    EXPECT_EQ(FirstDrawingColour(c, 3, '+'), 12);
    EXPECT_EQ(FirstDrawingColour(c, 4, '3'), 12);
    EXPECT_EQ(FirstDrawingColour(c, 5, '4'), 14);
    EXPECT_EQ(FirstDrawingColour(c, 6, '='), 11);
    EXPECT_EQ(InputCharacterColour(c, 4), 13);
    EXPECT_EQ(InputCharacterColour(c, 5), 10);
    c.highlightOperators = option::HighlightOperators::kNo;
    EXPECT_EQ(FirstDrawingColour(c, 6, '='), 14);
    // dark colours on a white screen
    TaskColours white{P::MentalArithmetic, option::BackgroundColour::kWhite,
                      option::HighlightOperators::kYes, 0, 0};
    EXPECT_EQ(FirstDrawingColour(white, 1, '1'), 7);
    EXPECT_EQ(FirstDrawingColour(white, 2, '+'), 9);
    white.program = P::CopyTask;
    EXPECT_EQ(FirstDrawingColour(white, 1, '1'), 8);
    EXPECT_EQ(InputColour(P::MemoriseOnly, option::BackgroundColour::kWhite), 14);
    EXPECT_EQ(InputColour(P::CopyTask, option::BackgroundColour::kWhite), 1);
    EXPECT_EQ(InputColour(P::CopyTask, option::BackgroundColour::kNavy), 10);
}

TEST(DrillTextSize, AsLargeAsFitsBetweenFourAndNine) {
    const struct {
        int widthPerSize;  // a text this wide per size step
        int heightPerSize;
        int expected;
    } table[] = {
        {10, 10, 9},   // a short task: the largest size
        {105, 10, 5},  // 630 fits at size 6, but more than maxX − 10: one smaller
        {70, 10, 8},   // 630 at 9 does not fit maxX − 10, 560 at 8 does
        {200, 10, 4},  // too wide even at size 4: size 4
        {10, 40, 5},   // high letters: no higher than midY (200 at size 5)
    };
    for (const auto& row : table) {
        const int size = FitTaskTextSize([&](int s) { return row.widthPerSize * s; },
                                         [&](int s) { return row.heightPerSize * s; });
        EXPECT_EQ(size, row.expected) << row.widthPerSize << " " << row.heightPerSize;
    }
}

TEST(DrillTopLine, TextsByProgramAndOptions) {
    ProgramOptions o;
    const auto line = [&](P program, auto set) {
        ProgramOptions copy = o;
        set(copy);
        return DrillTopLine(program, copy);
    };
    const auto keep = [](ProgramOptions&) {};
    EXPECT_EQ(line(P::MentalArithmetic, [](ProgramOptions& p) { p.help = Help::kNone; }),
              "Hilfe ausgeschaltet");
    EXPECT_EQ(line(P::MemoriseOnly, [](ProgramOptions& p) { p.help = Help::kOnEnter; }),
              "Enter = sehen");
    EXPECT_EQ(line(P::Tachistoscope, [](ProgramOptions& p) { p.help = Help::kOnEnter; }),
              "Enter = sehen");
    EXPECT_EQ(line(P::MentalArithmetic, [](ProgramOptions& p) { p.help = Help::kOnEnter; }),
              "Enter = Hundertertafel");
    EXPECT_EQ(line(P::FillInSigns, keep), "F1, F2, F3 = Hundertertafel");
    EXPECT_EQ(line(P::CopyTask, keep), "");
    EXPECT_EQ(line(P::Dictation,
                   [](ProgramOptions& p) { p.dictationMode = option::DictationMode::kPartner; }),
              "Nur Ergebnis aufschreiben. Partner diktiert!");
    EXPECT_EQ(line(P::Dictation,
                   [](ProgramOptions& p) {
                       p.dictationMode = option::DictationMode::kPartner;
                       p.dictationInput = option::DictationInput::kEverything;
                   }),
              "Aufgabe komplett aufschreiben!  Partner diktiert!");
    EXPECT_EQ(line(P::Dictation, [](ProgramOptions& p) { p.repeat = option::Repeat::kAll; }),
              "1. Ergebnis + 2. Aufgabe aufschreiben. F5 = hören"_b);
    EXPECT_EQ(line(P::Dictation, keep), "Nur Ergebnis aufschreiben. F5 = hören"_b);
    EXPECT_EQ(line(P::Dictation,
                   [](ProgramOptions& p) {
                       p.dictationInput = option::DictationInput::kEverything;
                       p.repeat = option::Repeat::kTypeTwice;
                   }),
              "Aufgabe 2 mal aufschreiben. F5 = hören"_b);
    EXPECT_EQ(
        line(P::Dictation,
             [](ProgramOptions& p) { p.dictationInput = option::DictationInput::kEverything; }),
        "Aufgabe komplett aufschreiben!  F5 = hören"_b);
}

TEST(DrillStart, ADecimalCommaMakesADictationMentalArithmetic) {
    EXPECT_TRUE(DictationRunsAsMentalArithmetic({"3+4=7", "2,5+1=3,5"}));
    EXPECT_FALSE(DictationRunsAsMentalArithmetic({"3+4=7", "12+5=17"}));
    // a hint line with a comma does not count
    EXPECT_FALSE(DictationRunsAsMentalArithmetic({"!weiter mit a, b", "3+4=7"}));
}

TEST(DrillStart, TachistoscopeStylesFromTheBoxLines) {
    EXPECT_EQ(StyleOfBoxLine(1), TachistoscopeStyle::Normal);
    EXPECT_EQ(StyleOfBoxLine(2), TachistoscopeStyle::Normal);
    EXPECT_EQ(StyleOfBoxLine(3), TachistoscopeStyle::Small);
    EXPECT_EQ(StyleOfBoxLine(4), TachistoscopeStyle::Smallest);
    EXPECT_EQ(StyleOfBoxLine(5), TachistoscopeStyle::Hatched);
}
