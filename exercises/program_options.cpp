#include "exercises/program_options.h"

#include <QFile>
#include <QFileInfo>

#include "console/console.h"
#include "exercises/session.h"
#include "support/native_files.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

// Lines 1..33 as they map onto the record; line 14 is the text field.
int* IntField(ProgramOptions& o, int line) {
    switch (line) {
        case 2: return &o.memoriseTime;
        case 3: return &o.soundLevel;
        case 4: return &o.inputControl;
        case 5: return &o.reserved1;
        case 6: return &o.highlightOperators;
        case 7: return &o.backgroundColour;
        case 9: return &o.dictationMode;
        case 11: return &o.frame;
        case 12: return &o.fixationPoint;
        case 13: return &o.repeat;
        case 15: return &o.help;
        case 16: return &o.reserved2;
        case 17: return &o.tachistoscopeTime;
        case 18: return &o.buildUpTime;
        case 19: return &o.holdTime;
        case 20: return &o.reserved3;
        case 21: return &o.grabJokers;
        case 22: return &o.grabTarget;
        case 23: return &o.grabInsertOrder;
        case 24: return &o.reserved4;
        case 25: return &o.grabCountAlong;
        case 26: return &o.protocol;
        case 27: return &o.timeLimited;
        case 28: return &o.timeLimitMinutes;
        case 29: return &o.figure;
        case 30: return &o.autoComma;
        case 31: return &o.hundredBoard;
        case 32: return &o.divisionMethod;
        case 33: return &o.dictationInput;
        default: return nullptr;
    }
}

}  // namespace

void ProgramOptions::SetDefaults() {
    const ProgramOptions defaults;
    const int keptInput = dictationInput;
    const int keptFlags = writtenHelpFlags;
    const bool keptDigits = highlightCurrentDigits;
    *this = defaults;
    dictationInput = keptInput;
    writtenHelpFlags = keptFlags;
    highlightCurrentDigits = keptDigits;
}

void ProgramOptions::ApplyChecks() {
    using namespace option;
    constexpr int kLongestTachistoscopeMs = 800;
    constexpr int kLongestReadingStepMs = 3000;
    if (soundLevel < SoundLevel::kAllSounds || soundLevel > SoundLevel::kSilent) soundLevel = SoundLevel::kAllSounds;
    if (inputControl < InputControl::kRefuseWrongKeys || inputControl > InputControl::kCountEveryKey)
        inputControl = InputControl::kCountEveryKey;
    reserved1 = 1;
    if (highlightOperators < HighlightOperators::kYes || highlightOperators > HighlightOperators::kNo)
        highlightOperators = HighlightOperators::kYes;
    if (backgroundColour < BackgroundColour::kBlack || backgroundColour > BackgroundColour::kLastColour)
        backgroundColour = BackgroundColour::kBlack;
    if (dictationMode < DictationMode::kUpToEquals || dictationMode > DictationMode::kPartner)
        dictationMode = DictationMode::kUpToEquals;
    if (repeat > Repeat::kAll) repeat = Repeat::kNone;
    if (reservedCode.size() < 3 || reservedCode[2] != 'R') reservedCode = "AAR";
    if (tachistoscopeTime > kLongestTachistoscopeMs) tachistoscopeTime = kLongestTachistoscopeMs;
    if (buildUpTime > kLongestReadingStepMs) buildUpTime = kLongestReadingStepMs;
    if (holdTime > kLongestReadingStepMs) holdTime = kLongestReadingStepMs;
    if (reserved3 > 1) reserved3 = 0;
    if (grabJokers > GrabJokers::kMost) grabJokers = 0;
    // a target beyond the list becomes the marked numbers, not the first target
    if (grabTarget > GrabTarget::kOverwriteAll) grabTarget = GrabTarget::kMarkedNumbers;
    if (grabInsertOrder > GrabInsertOrder::kInOrder) grabInsertOrder = GrabInsertOrder::kAny;
    if (reserved4 > 2) reserved4 = 0;
    if (grabCountAlong > Switch::kOn) grabCountAlong = Switch::kOff;
    if (protocol > Protocol::kUnderName) protocol = Protocol::kNone;
    if (timeLimited > TimeLimited::kLimited) timeLimited = TimeLimited::kUnlimited;
    if (timeLimitMinutes == 0 || timeLimitMinutes > TimeLimitMinutes::kMost)
        timeLimitMinutes = TimeLimitMinutes::kDefault;
    if (figure > Figure::kTaskCounter) figure = Figure::kRunning;
    if (autoComma > AutoComma::kAutomatic) autoComma = AutoComma::kTyped;
    if (divisionMethod > DivisionMethod::kSubtract) divisionMethod = DivisionMethod::kSubtract;
}

bool LoadOptions(const ProgramEnvironment& env, const Bytes& path, ProgramOptions& options) {
    // The three switches come from temporaries that start at 0: a file that ends (or breaks off)
    // before their line switches them off.
    int taskOrder = 0, animation = 0, colourDifference = 0;
    bool read = false;
    const QString native = env.NativePath(env.ResolvePath(path));
    if (!NativeExists(native)) {
        options.SetDefaults();
        taskOrder = options.taskOrder;
        animation = options.animation;
        colourDifference = options.colourDifference;
    } else {
        std::vector<Bytes> lines;
        // an option file has 35 lines; whatever follows is not read
        constexpr size_t kOptionFileLines = 35;
        if (ReadTextFileLines(native, lines, TextReadLimit{.maxLines = kOptionFileLines})) {
            read = true;
            const int available = static_cast<int>(lines.size());
            for (int line = 1; line <= 33 && line <= available; ++line) {
                const Bytes& text = lines[static_cast<size_t>(line - 1)];
                if (line == 14) {
                    options.reservedCode = text;
                    continue;
                }
                int value = 0;
                if (!TextFile::StrictInt(text, value)) break;  // the first bad line ends it
                if (line == 1) taskOrder = value;
                else if (line == 8) animation = value;
                else if (line == 10) colourDifference = value;
                else if (int* field = IntField(options, line)) *field = value;
            }
            // Lines 34 and 35 stand on their own: whatever happened above, and any fault here,
            // leaves the other values alone.
            int value = 0;
            if (available >= 34 && TextFile::StrictInt(lines[33], value)) options.writtenHelpFlags = value;
            if (available >= 35 && TextFile::StrictInt(lines[34], value))
                options.highlightCurrentDigits = value != 0;
        }
    }
    options.taskOrder = taskOrder == 1 ? 1 : 0;
    options.animation = animation == 1 ? 1 : 0;
    options.colourDifference = colourDifference == 1 ? 1 : 0;
    options.ApplyChecks();
    return read;
}

std::vector<Bytes> OptionFileLines(const ProgramOptions& o) {
    auto n = [](long long v) { return IntToText(v); };
    return {n(o.taskOrder != 0 ? 1 : 0),
            n(o.memoriseTime),
            n(o.soundLevel),
            n(o.inputControl),
            n(o.reserved1),
            n(o.highlightOperators),
            n(o.backgroundColour),
            n(o.animation != 0 ? 1 : 0),
            n(o.dictationMode),
            n(o.colourDifference != 0 ? 1 : 0),
            n(o.frame),
            n(o.fixationPoint),
            n(o.repeat),
            o.reservedCode,
            n(o.help),
            n(o.reserved2),
            n(o.tachistoscopeTime),
            n(o.buildUpTime),
            n(o.holdTime),
            n(o.reserved3),
            n(o.grabJokers),
            n(o.grabTarget),
            n(o.grabInsertOrder),
            n(o.reserved4),
            n(o.grabCountAlong),
            n(o.protocol),
            n(o.timeLimited),
            n(o.timeLimitMinutes),
            n(o.figure),
            n(o.autoComma),
            n(o.hundredBoard),
            n(o.divisionMethod),
            n(o.dictationInput),
            n(o.writtenHelpFlags),
            n(o.highlightCurrentDigits ? 1 : 0)};
}

bool SaveOptions(const ProgramEnvironment& env, const Bytes& path, const ProgramOptions& options) {
    return WriteTextFileLines(env.NativePath(env.ResolvePath(path)), OptionFileLines(options));
}

void LoadSessionOptions(Session& session, const Bytes& path) {
    LoadOptions(session.env, path, session.options);
    session.optionsDirty = false;
}

bool SaveSessionOptions(Session& session, const Bytes& path) {
    if (SaveOptions(session.env, path, session.options)) {
        session.optionsDirty = false;
        return true;
    }
    session.console.GotoXY(1, 1);
    session.console.Writeln("Die >Optionen< konnten nicht gespeichert werden!"_b);
    return false;
}

}  // namespace radevir
