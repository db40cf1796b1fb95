// The kit's sample task lists: every line is something its program can run, as the task loader
// and the run loop read it.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include "exercises/column_layout.h"
#include "exercises/task_model.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::KitDir;

namespace {

struct TaskFile {
    QString name;  // relative to the task folder, for messages
    std::vector<Bytes> lines;
    bool crlf = true;
};

std::vector<TaskFile> TaskFilesUnder(const QString& folder) {
    std::vector<TaskFile> files;
    const QDir root(KitDir() + "/Aufgaben");
    QDirIterator it(root.filePath(folder), {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = file.readAll();
        TaskFile f{root.relativeFilePath(file.fileName()), {}, true};
        for (const QByteArray& line : bytes.split('\n')) {
            if (line.isEmpty()) continue;  // the end of the last line
            if (!line.endsWith('\r')) f.crlf = false;
            f.lines.push_back(Bytes(line.chopped(line.endsWith('\r') ? 1 : 0).toStdString()));
        }
        files.push_back(std::move(f));
    }
    return files;
}

// What the drills take as typed input: "(" to ">" and five more characters; never blanks or
// letters.
bool Typeable(char c) { return (c >= '(' && c <= '>') || std::string_view("%[]{}").find(c) != std::string_view::npos; }

// The protocol keeps characters 2 to 31 of a hint line.
constexpr size_t kHintLineLength = 31;

}  // namespace

TEST(KitTaskFiles, MentalArithmeticListsHoldRunnableLines) {
    const std::vector<TaskFile> files = TaskFilesUnder("Kopfrechnen");
    ASSERT_FALSE(files.empty());
    for (const TaskFile& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        EXPECT_TRUE(f.crlf);
        ASSERT_FALSE(f.lines.empty());
        EXPECT_LE(f.lines.size(), static_cast<size_t>(TaskList::kMaxLines));
        const size_t count = f.lines.size();
        for (size_t i = 0; i < count; ++i) {
            const Bytes& line = f.lines[i];
            SCOPED_TRACE(line);
            ASSERT_FALSE(line.empty());
            const bool hint = IsHintLine(line), separator = IsSeparatorLine(line);
            if (hint) {
                EXPECT_LE(line.size(), kHintLineLength) << "cut short in the protocol";
            }
            if (hint || separator) {
                // passing one of the last two lines ends the run: the last task is never shown
                EXPECT_LT(i + 2, count);
                // the run skips separators before hint lines, not after them
                if (separator && i > 0) {
                    EXPECT_FALSE(IsHintLine(f.lines[i - 1]));
                }
                continue;
            }
            const Task task = PrepareTaskLine(line, true);
            ASSERT_FALSE(task.displayText.empty());
            EXPECT_LE(task.gaps.size(), static_cast<size_t>(Task::kMaxGaps));
            if (task.gaps.empty()) {
                // typed whole, or a gap of mental arithmetic anywhere in it
                for (char c : task.displayText) EXPECT_TRUE(Typeable(c)) << c;
            } else {
                for (const TaskGap& gap : task.gaps) EXPECT_TRUE(Typeable(gap.expected)) << gap.expected;
            }
        }
    }
}

// Every line can be worked on squared paper, except in the one list that shows the message for a
// task outside the range: there exactly one line is refused.
TEST(KitTaskFiles, WrittenArithmeticListsAreInTheColumnRange) {
    const std::vector<TaskFile> files = TaskFilesUnder("Schriftliches Rechnen");
    ASSERT_FALSE(files.empty());
    const QString withRejectedTask = "Schriftliches Rechnen/Gemischt/Mit einer Aufgabe zu viel.txt";
    bool rejectionShown = false;
    for (const TaskFile& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        EXPECT_TRUE(f.crlf);
        int refused = 0;
        for (const Bytes& line : f.lines) {
            ColumnTask task = ClassifyColumnTask(PrepareTaskLine(line, false).displayText);
            CheckColumnRange(task);
            const bool worked = PlanColumnTask(task, true, 0).operation != kNoOperation &&
                                PlanColumnTask(task, false, 1).operation != kNoOperation;
            if (!worked) ++refused;
            if (f.name != withRejectedTask) {
                EXPECT_TRUE(worked) << line;
            }
        }
        if (f.name == withRejectedTask) {
            EXPECT_EQ(refused, 1);
            rejectionShown = true;
        }
    }
    EXPECT_TRUE(rejectionShown);
}
