// Any bytes as a task line: prepared for showing (with and without marking), classified for
// column arithmetic and checked against its number range, then planned on squared paper; gaps and
// marks stay inside the shown text, the fields inside their bounds and every planned digit
// inside the grid.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exercises/column_layout.h"
#include "exercises/task_model.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    (void)IsSeparatorLine(line);
    (void)IsHintLine(line);
    for (const bool marking : {false, true}) {
        const Task task = PrepareTaskLine(line, marking);
        const int shown = static_cast<int>(task.displayText.size());
        if (task.displayText.size() > line.size()) std::abort();
        if (task.gaps.size() > static_cast<size_t>(Task::kMaxGaps)) std::abort();
        // "__" makes the second underscore a gap that the next round removes, so a gap may point
        // one past the shown text or at another character; the drills allow for that
        for (const TaskGap& gap : task.gaps)
            if (gap.position < 1 || static_cast<size_t>(gap.position) > line.size()) std::abort();
        if (task.markStart != 0 && (!marking || task.markStart < 1 ||
                                    task.markEnd < task.markStart || task.markEnd > shown + 1))
            std::abort();

        ColumnTask column = ClassifyColumnTask(task.displayText);
        if (column.fieldCount < 0 || column.fieldCount > ColumnTask::kMaxFields) std::abort();
        if (column.foreignCharacters < 0 || column.foreignCharacters > shown) std::abort();
        for (int n = 1; n <= column.fieldCount; ++n)
            if (column.Field(n).size() > task.displayText.size()) std::abort();
        (void)column.Value(0);
        (void)column.Value(ColumnTask::kMaxFields + 1);
        CheckColumnRange(column);
        if (column.operation < kNoOperation || column.operation > kDivision) std::abort();
        for (const bool singleSteps : {false, true}) {
            const ColumnPlan plan = PlanColumnTask(column, singleSteps, marking ? 1 : 0);
            if (plan.operation == kNoOperation) continue;
            const GridLevel grid = GridLevelFor(plan.gridSize);
            for (const ColumnEntry& entry : plan.entries) {
                if (entry.digits.empty()) std::abort();
                if (!entry.carries.empty() && entry.carries.size() != entry.digits.size())
                    std::abort();
                for (char c : entry.digits + entry.carries)
                    if (c < '0' || c > '9') std::abort();
                // the leftmost digit may stand in the margin, never off the screen
                const int left =
                    grid.CellLeft(entry.rightCell - static_cast<int>(entry.digits.size()) + 1);
                if (left < 0 || grid.CellRight(entry.rightCell) > 640 ||
                    grid.Baseline(entry.row) >= 480)
                    std::abort();
            }
        }
    }
    return 0;
}
