// Any bytes as region files: several files pushed and popped, then clicks anywhere on the screen
// and a little beyond; every hit of a list row, an item or a reversed item is taken back as a
// line number in its range.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/mouse_regions.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    MouseRegionTable table;
    // up to a few pushes (the stack has 16 slots: more than that must not run over it)
    const int pushes = input.ConsumeIntegralInRange(1, 20);
    for (int p = 0; p < pushes && input.remaining_bytes() > 0; ++p) {
        const std::string file = input.ConsumeRandomLengthString(4096);
        table.Push(file);
        if (table.Count() < 0 || table.Count() > MouseRegionTable::kCapacity) std::abort();
        if (table.Depth() < 0 || table.Depth() >= MouseRegionTable::kStackSize) std::abort();
        if (input.ConsumeBool()) table.SetBase(input.ConsumeIntegralInRange(0, table.Count()));
        if (input.ConsumeBool()) table.Pop();
    }
    while (input.remaining_bytes() >= 3) {
        const int column = input.ConsumeIntegralInRange(-2, 300);
        const int row = input.ConsumeIntegralInRange(-2, 300);
        bool extended = false;
        (void)table.ClickCell(column, row, extended);
        const int first = input.ConsumeIntegralInRange(0, 40);
        const int last = first + input.ConsumeIntegralInRange(0, 40);
        int value = 0;
        if (table.TakeListRow(value, first, last) && value > last) std::abort();
        if (table.TakeItem(value, first, last) && value > last) std::abort();
        if (table.TakeReverseItem(value, first, last) && (value < 1 || value > last + 1)) std::abort();
    }
    return 0;
}
