// The keyboard driver on its own: hooks keep the layout and admit requests.
#include <gtest/gtest.h>

#include "protocol/UserRequests.h"
#include "sim/keyboard/SimulatedKeyboard.h"

namespace {

namespace ud = protocol;

TEST(SimulatedKeyboard, KeepsTheLayoutThroughItsHooks)
{
    int32_t kept = 3;
    int admitted = 0;
    sim::SimulatedKeyboard::Hooks hooks;
    hooks.loadLayout = [&] { return kept; };
    hooks.saveLayout = [&](int32_t l) { kept = l; };
    hooks.admit = [&](uint32_t) { return ++admitted != 2; };
    sim::SimulatedKeyboard kbd(hooks);
    int32_t out = 0;
    ASSERT_TRUE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT, nullptr, 0, &out, 4, nullptr));
    EXPECT_EQ(out, 3);
    const int32_t five = 5;
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_SET_LAYOUT, &five, 4, nullptr, 0, nullptr)) << "second request refused";
    EXPECT_EQ(kept, 3);
    uint32_t returned = 9;
    ASSERT_TRUE(kbd.ioControl(ud::IOCTL_KBD_SET_LAYOUT, &five, 4, nullptr, 0, &returned));
    EXPECT_EQ(kept, 5);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(admitted, 3);
    // A bad request is refused before the hooks see it.
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT, nullptr, 0, &out, 8, nullptr));
    EXPECT_EQ(admitted, 3);
}

TEST(SimulatedKeyboard, OutOfRangeKeptLayoutFallsBackToTheFirst)
{
    sim::SimulatedKeyboard::Hooks hooks;
    hooks.loadLayout = [] { return 42; };
    sim::SimulatedKeyboard kbd(hooks);
    EXPECT_EQ(kbd.layout(), 1);
}

} // namespace
