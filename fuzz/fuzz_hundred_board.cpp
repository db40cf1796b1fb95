// Any bytes as a task text for the hundred board, outside column arithmetic and in any column
// state: the board task always fits on the board, and its cells are well formed at every level.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exercises/hundred_board.h"
#include "exercises/task_model.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // three bytes of set-up: the option and column state, signed so odd values come in too
    BoardColumn column;
    column.active = (data[0] & 0x80) != 0;
    column.columnIndex = static_cast<std::int8_t>(data[1]);
    column.carryValue = static_cast<std::int8_t>(data[2]);
    if (data[1] & 0x40) column.subTaskTitle = "t";
    const int option = static_cast<std::int8_t>(data[0] & 0x8F);
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

    const BoardTask task = MakeBoardTask(text, column, option);
    if (task.foreignCharacters < 0 || static_cast<size_t>(task.foreignCharacters) > text.size()) std::abort();
    if (task.operation == kNoOperation) return 0;
    if (task.valueCount < 1 || task.valueCount > BoardTask::kMaxValues) std::abort();
    const auto v = [&](int n) { return static_cast<long long>(task.values[static_cast<size_t>(n)]); };
    long long sum = 0;
    for (int n = 0; n < task.valueCount; ++n) sum += v(n);
    switch (task.operation) {
        case kAddition:
            for (int n = 0; n < task.valueCount; ++n)
                if (v(n) < 0) std::abort();
            if (sum != task.total || sum > 100) std::abort();
            break;
        case kSubtraction:
            for (int n = 1; n < task.valueCount; ++n)
                if (v(n) > 0) std::abort();
            if (v(0) > 100 || sum != task.total || sum < 0) std::abort();
            break;
        case kMultiplication:
            if (task.valueCount != 2 || v(0) < 0 || v(1) < 0 || v(0) * v(1) > 100) std::abort();
            break;
        case kDivision:
            if (task.valueCount != 2 || v(1) < 1 || v(0) < v(1) || v(0) > 100) std::abort();
            break;
        default:
            std::abort();
    }
    for (int level = 1; level <= 3; ++level) {
        const auto cells = BoardCells(task, level);
        for (int k = 1; k <= kBoardCells; ++k) {
            const BoardCell& c = cells[static_cast<size_t>(k - 1)];
            if (c.number < 0 || c.number > kBoardCells || (level == 1 && c.number != 0) || (level == 3 && c.number != k))
                std::abort();
            if (c.colour < 0 || c.colour > BoardTask::kMaxValues) std::abort();
        }
    }
    return 0;
}
