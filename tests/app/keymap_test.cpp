// Key events through the key map.
#include <gtest/gtest.h>

#include "app/keymap.h"
#include "app/run.h"

namespace {

constexpr uint32_t KeySpace = 0x20, KeyLeft = 0x114, KeyRight = 0x113;

TEST(KeyMap, KeyEventsPressTheButtonsOfTheirKey)
{
    resetHostState();
    keyMap = {KeySpace, 0x78, 0x12F, KeySpace, 0x111, 0x112, KeyLeft, KeyRight};
    applyKeyEvent(KeySpace, true);
    applyKeyEvent(0x61, true);  // unmapped keys change nothing
    EXPECT_EQ(keyButtons, (ButtonState{1, 0, 0, 1, 0, 0, 0, 0})) << "a key on two buttons presses both";
    applyKeyEvent(0x61, false);
    applyKeyEvent(KeySpace, false);
    EXPECT_EQ(keyButtons, (ButtonState{}));

    keyMap = {KeySpace, 0, 0, 0, 0, 0, 0, 0};  // as a short keymap.cfg leaves it
    applyKeyEvent(0, true);  // a key SDL cannot name
    EXPECT_EQ(keyButtons, (ButtonState{})) << "an entry of 0 is no key";
}

}  // namespace
