#include "support/ScreenPointer.h"

#include <gtest/gtest.h>

using namespace support;

namespace {

// Shows a pointer by remembering it, starting from a given one.
class RecordingPointer : public PointerDisplay {
public:
    explicit RecordingPointer(int initial) : code(initial) {}
    int current() const override { return code; }
    void show(int newCode) override { code = newCode; }
    int code;
};

TEST(ScreenPointer, PopsRestoreWhatEachPushSavedAndEndAtTheDefault) {
    RecordingPointer display(3);
    ScreenPointer pointer(display);
    pointer.PushPointer(POINTER_HOURGLASS);
    pointer.PushPointer(2);
    pointer.PopPointer();
    EXPECT_EQ(display.code, POINTER_HOURGLASS);
    pointer.PopPointer();
    EXPECT_EQ(display.code, 3);
    pointer.PopPointer();
    EXPECT_EQ(display.code, POINTER_DEFAULT);

    // Levels left by earlier pushes are used again with the pointers saved anew.
    display.show(7);
    pointer.PushPointer(POINTER_HOURGLASS);
    pointer.PushPointer(2);
    pointer.PopPointer();
    pointer.PopPointer();
    EXPECT_EQ(display.code, 7);
}

TEST(ScreenPointer, ProgramStackDrivesTheInstalledDisplay) {
    RecordingPointer display(POINTER_DEFAULT);
    InstallPointerDisplay(&display);
    PushPointer(POINTER_HOURGLASS);
    EXPECT_EQ(display.code, POINTER_HOURGLASS);
    PopPointer();
    EXPECT_EQ(display.code, POINTER_DEFAULT);
    InstallPointerDisplay(nullptr);
    PushPointer(POINTER_HOURGLASS);
    EXPECT_EQ(display.code, POINTER_DEFAULT);
    PopPointer();
}

} // namespace
