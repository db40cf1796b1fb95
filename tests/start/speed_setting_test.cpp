#include "start/speed_setting.h"

#include "support/text_helpers.h"

#include <gtest/gtest.h>

using namespace radevir;

TEST(SpeedSetting, WrittenWithTwoSignificantDigitsAndTwoDecimals) {
    const struct {
        double value;
        const char* text;
    } table[] = {{1, "1,00"}, {0.1, "0,10"}, {2.5, "2,50"}, {20, "20,00"}, {440, "4,4E2"},
                 {100, "1E2"},   {0, "0,00"}};
    for (const auto& row : table) EXPECT_EQ(FormatFixed(row.value, 2, 2, ','), row.text) << row.value;
    EXPECT_EQ(FormatFixed(1.5, 2, 2, '.'), "1.50");
}

TEST(SpeedSetting, ReadBackWithEitherSeparatorAndFallingBackToOne) {
    const struct {
        const char* text;
        double value;
    } table[] = {{"1,00", 1},  {"0.10", 0.1}, {"4,4E2", 440}, {"20", 20},
                 {"", 1},      {"schnell", 1}, {"-3", 1},      {"2,5x", 1}};
    for (const auto& row : table) EXPECT_DOUBLE_EQ(ParseSpeedFactor(row.text), row.value) << row.text;
}
