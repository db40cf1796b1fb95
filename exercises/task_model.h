// Task files in memory: the TaskList of a run, one task line prepared for showing (gaps and
// marked part), and the classification of a line for column arithmetic with its number range.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class Console;
struct Session;

// The lines of one task file, at most 82 non-empty lines in file order.
struct TaskList {
    static constexpr int kMaxLines = 82;

    std::vector<Bytes> lines;  // lines[0] is line 1
    int position = 1;          // 1-based current line
    Bytes sourcePath;          // full path of the loaded file
    Bytes relativeName;        // the same, relative to the program folder ("Dateiname")
    Bytes fileName;            // name part only

    int Count() const { return static_cast<int>(lines.size()); }
    // Line n (1-based); empty when out of range.
    const Bytes& Line(int n) const;
    void Clear();
    // Replaces the lines: every non-empty line until 82 are held.
    void SetLines(const std::vector<Bytes>& fileLines);
};

// A line of one character above "]" (a lower-case letter, say) separates groups of tasks and is
// skipped by the run loop.
bool IsSeparatorLine(std::string_view line);
// A line starting with "!" is a hint for the teacher protocol, not a task.
bool IsHintLine(std::string_view line);

struct TaskGap {
    int position = 0;    // 1-based in displayText
    char expected = 0;   // the character to be filled in
};

// The current task line, prepared for showing.
struct Task {
    static constexpr int kMaxGaps = 16;

    Bytes rawLine;
    Bytes displayText;          // without "_" and marking letters a..j
    std::vector<TaskGap> gaps;  // at most 16
    int markStart = 0;          // 1-based, inclusive; 0 when nothing is marked
    int markEnd = 0;            // 1-based, exclusive
};

// "_" makes the next character a gap; the first letter a..j marks the following 1..10
// characters. Marking is dropped when not allowed (colour difference off, mental arithmetic).
Task PrepareTaskLine(std::string_view rawLine, bool markingAllowed);

enum TaskOperation : int {
    kNoOperation = 0,
    kAddition = 1,
    kSubtraction = 2,
    kMultiplication = 3,
    kDivision = 4,
};

// A task line classified for column arithmetic.
struct ColumnTask {
    static constexpr int kMaxFields = 20;
    static constexpr int kMaxFieldLength = 20;

    int operation = kNoOperation;
    // fields[0] is field 1 (the text before the first operator); later fields start with their
    // operator ("+45", "-7", "*12", ":4").
    std::array<Bytes, kMaxFields> fields{};
    int fieldCount = 0;
    // Addition/subtraction: the value of every non-empty field (signed); multiplication and
    // division: values[0] first operand, values[1] second operand.
    std::array<int, kMaxFields> values{};
    int plusCount = 0;
    int foreignCharacters = 0;  // characters that beeped

    // 1-based accessors: empty / 0 when out of range.
    const Bytes& Field(int n) const;
    int Value(int n) const;
};

// Splits the display text into fields at its operators and "=", and decides the operation;
// a line that cannot be worked gets kNoOperation. The pure form counts the foreign characters;
// the console form also beeps (800 Hz, 100 ms, then 20 ms pause) once for each of them.
ColumnTask ClassifyColumnTask(std::string_view displayText);
ColumnTask ClassifyColumnTask(Console& console, std::string_view displayText);
// The number range of column arithmetic: sets the operation to kNoOperation when the task lies
// outside it.
void CheckColumnRange(ColumnTask& task);

// Chooses a task file with the list chooser for the session's program and loads it into
// session.tasks. Cancelled (or a file without a single task line): false, the list stays as it
// was, and session.menuKey becomes doskey::kBackToMenu. The chooser's two written-arithmetic
// switches go back into the options.
bool LoadTaskListFromChooser(Session& session);
// Loads a task file (data path) into the list; false when it cannot be read or holds no line.
bool LoadTaskFile(Session& session, const Bytes& path, int startIndex);

}  // namespace radevir
