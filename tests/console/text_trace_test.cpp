#include "console/text_trace.h"

#include <gtest/gtest.h>

#include "tests/console/fake_host.h"

using namespace radevir;

// A long run keeps drawing graphics texts (a game's score); the trace keeps the newest ones and
// a saved screen page carries none of them.
TEST(TextTrace, GraphicsTextsAreBoundedAndPagesKeepOnlyCells) {
    test::ConsoleFixture f;
    Console& c = f.console;
    c.Write("Punkte");
    const size_t drawn = TextTrace::kMaxGraphicsTexts + 25;
    for (size_t i = 0; i < drawn; ++i) c.Trace().AddGraphicsText(10, 20, "Punkte " + std::to_string(i));
    EXPECT_EQ(c.Trace().GraphicsTextCount(), TextTrace::kMaxGraphicsTexts);
    const std::string dump = c.Trace().Dump();
    EXPECT_EQ(dump.find("10 20 Punkte 24\n"), std::string::npos);  // the oldest went first
    EXPECT_NE(dump.find("10 20 Punkte 25\n"), std::string::npos);
    EXPECT_EQ(dump.substr(dump.size() - 18), "10 20 Punkte 1024\n");

    c.SaveScreenPage(1);
    c.ClrScr();
    c.RestoreScreenPage(1, true);
    EXPECT_EQ(c.Trace().RowText(0).substr(0, 6), "Punkte");
    EXPECT_EQ(c.Trace().GraphicsTextCount(), TextTrace::kMaxGraphicsTexts);
    EXPECT_EQ(c.Trace().CellsOnly().GraphicsTextCount(), 0u);
}
