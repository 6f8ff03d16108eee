#include "support/ScreenPointer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace support;

namespace {

// Remembers every pointer shown, starting from a given one.
class RecordingPointer : public PointerDisplay {
public:
    explicit RecordingPointer(int initial) : code(initial) {}
    int current() const override { return code; }
    void show(int newCode) override {
        code = newCode;
        shown.push_back(newCode);
    }
    int code;
    std::vector<int> shown;
};

TEST(ScreenPointer, PopsRestoreWhatEachPushSavedAndEndAtTheDefault) {
    RecordingPointer display(3);
    ScreenPointer pointer(display);
    pointer.PushPointer(POINTER_HOURGLASS);
    pointer.PushPointer(2);
    EXPECT_EQ(pointer.depth(), 2);
    pointer.PopPointer();
    EXPECT_EQ(display.code, POINTER_HOURGLASS);
    pointer.PopPointer();
    EXPECT_EQ(display.code, 3);
    pointer.PopPointer();
    EXPECT_EQ(display.code, POINTER_DEFAULT);
    EXPECT_EQ(pointer.depth(), 0);
    EXPECT_EQ(display.shown, (std::vector<int>{POINTER_HOURGLASS, 2, POINTER_HOURGLASS, 3, 0}));

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
    EXPECT_EQ(display.shown.size(), 2u);
    PopPointer();
}

} // namespace
