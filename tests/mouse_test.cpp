// The mouse device: reads without a device, a device lost for long, release. A failed
// read and the motion after it are the mouse_faults scenario.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "input/mouse.h"
#include "tests/test_support.h"

namespace {

bool Same(const MouseState& a, const MouseState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class MouseTest : public ProgramTest {
protected:
    MouseTest() : ProgramTest(kWindow) {}

    scripted::World& w = scripted::world();
};

// (Release after a normal start-up, twice, is ShellTest.DestroyReleases....)
TEST_F(MouseTest, WithoutADeviceReadLeavesTheRecordAlone) {
    const MouseState held{7, -8, 9, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    mouseState = held;
    ReadMouse();
    EXPECT_TRUE(Same(mouseState, held));

    w.faults.mouse = true;  // no device: the input object made so far waits for FreeMouse
    EXPECT_EQ(InitMouse(window_), DIERR_DEVICENOTREG);
    EXPECT_TRUE(directInput && !mouseDevice);
    ReadMouse();
    EXPECT_TRUE(Same(mouseState, held));
    EXPECT_EQ(w.readCalls, 0u);
    FreeMouse();
    EXPECT_EQ(directInput, nullptr);
}

// A device that keeps answering "input lost" does not hold up the frame: the read gives up while
// it still says so. Retried at once until the device is back: mouse_faults.
TEST_F(MouseTest, ADeviceLostForLongDoesNotHoldUpTheFrame) {
    ASSERT_EQ(InitMouse(window_), S_OK);
    w.faults.mouseRead = 1, w.faults.acquireLost = 10000000;
    EXPECT_EQ(ReadMouse(), S_OK);
    EXPECT_GT(w.faults.acquireLost, 0u);
}

}  // namespace
