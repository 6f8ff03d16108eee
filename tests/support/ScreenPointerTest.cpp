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

TEST(ScreenPointer, TwoPushesAndThreePopsEndAtTheDefault) {
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
}

TEST(ScreenPointer, GrowsByOneAndNeverShrinks) {
    RememberedPointer display;
    ScreenPointer pointer(display);
    EXPECT_EQ(pointer.capacity(), 0);
    for (int level = 1; level <= 5; ++level) {
        pointer.PushPointer(POINTER_HOURGLASS);
        EXPECT_EQ(pointer.capacity(), level);
    }
    for (int level = 0; level < 5; ++level)
        pointer.PopPointer();
    EXPECT_EQ(pointer.capacity(), 5);
    EXPECT_EQ(display.current(), POINTER_DEFAULT);
    // Reused entries hold the newly saved codes, not stale ones.
    display.show(7);
    pointer.PushPointer(POINTER_HOURGLASS);
    pointer.PushPointer(POINTER_HOURGLASS);
    EXPECT_EQ(pointer.capacity(), 5);
    pointer.PopPointer();
    pointer.PopPointer();
    EXPECT_EQ(display.current(), 7);
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
