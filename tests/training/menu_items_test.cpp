#include "training/menu_items.h"

#include <gtest/gtest.h>

using namespace radevir;

TEST(MenuKeys, MovingTheHighlight) {
    const struct {
        int item;
        unsigned char key;
        int next;
    } table[] = {
        {10, 'P', 12}, {12, 'H', 10}, {13, 'P', 1}, {1, 'H', 13}, {4, 'P', 5}, {5, 'H', 4},
        {7, 'G', 1},   {7, 'I', 1},   {3, 'O', 12}, {3, 'Q', 12},
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
        {1, 't', false, 10, MenuAction::Run},     // the tachistoscope from the short list
        {5, 'k', false, 1, MenuAction::Run},      {1, 'K', false, 1, MenuAction::Run},
        {3, 'o', false, 12, MenuAction::Options}, {12, 13, false, 12, MenuAction::Options},
        {13, 13, false, 13, MenuAction::Run},     {2, 13, false, 2, MenuAction::Run},
        {2, 27, false, 2, MenuAction::Leave},     {2, ';', false, 2, MenuAction::None},
        {2, ';', true, 2, MenuAction::None},      // F1
        {2, 'x', false, 2, MenuAction::None},     {2, 'P', false, 2, MenuAction::None},  // typed P
        {2, 'A', true, 2, MenuAction::None},      // F7 without a protocol
    };
    for (const auto& row : table) {
        const MenuStep step = MenuKey(row.item, row.key, row.extended, std::nullopt, 0);
        EXPECT_EQ(step.item, row.next) << row.key;
        EXPECT_EQ(step.action, row.action) << row.key;
    }
    EXPECT_EQ(MenuKey(2, 'A', true, std::nullopt, 3).action, MenuAction::PrintProtocol);
}

TEST(MenuKeys, ClicksMoveOrAct) {
    EXPECT_EQ(MenuKey(1, 201, true, 5, 0).action, MenuAction::Move);
    EXPECT_EQ(MenuKey(1, 201, true, 5, 0).item, 5);
    EXPECT_EQ(MenuKey(5, 201, true, 5, 0).action, MenuAction::Run);
    EXPECT_EQ(MenuKey(12, 211, true, 12, 0).action, MenuAction::Options);
}
