#include "mainwindow/ProgressPercent.h"
#include "mainwindow/Uc3dLine.h"
#include "mainwindow/UcProgress.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cfenv>
#include <ostream>

using mainwindow::UcProgress;

namespace {

struct ValueCase {
    int max;
    int value;
    int expectedValue;
    int expectedPercent;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << "max " << c.max << " value " << c.value;
}

class ProgressValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ProgressValueTest, ClampsAndShowsTheRoundedPercentage) {
    const ValueCase& c = GetParam();
    UcProgress panel;
    panel.setMax(c.max);
    panel.setValue(c.value);
    EXPECT_EQ(panel.value(), c.expectedValue);
    EXPECT_EQ(panel.barPercent(), c.expectedPercent);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressValueTest,
                         ::testing::Values(ValueCase{3, 1, 1, 33}, ValueCase{3, 2, 2, 67},
                                           // Halves round to even.
                                           ValueCase{8, 1, 1, 12}, ValueCase{8, 3, 3, 38},
                                           ValueCase{8, 5, 5, 62}, ValueCase{200, 500, 200, 100},
                                           ValueCase{100, -5, 0, 0}, ValueCase{1, 1, 1, 100}));

TEST(ProgressPercent, HalvesToEvenWhateverTheRoundingModeWas) {
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(mainwindow::ProgressPercent(1, 8), 12);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(saved);
    EXPECT_EQ(mainwindow::ProgressPercent(1, 0), std::nullopt);
}

TEST(UcProgress, MaxZeroLeavesTheBarWhereItWas) {
    UcProgress panel;
    panel.setMax(10);
    panel.setValue(5);
    ASSERT_EQ(panel.barPercent(), 50);
    panel.setMax(0);
    panel.setValue(3);
    EXPECT_EQ(panel.value(), 0);
    EXPECT_EQ(panel.barPercent(), 50);
    panel.done();
    EXPECT_EQ(panel.barPercent(), 50);
}

TEST(UcProgress, DoneFillsAndClearEmpties) {
    UcProgress panel;
    panel.setMax(7);
    panel.setValue(3);
    panel.done();
    EXPECT_EQ(panel.value(), 7);
    EXPECT_EQ(panel.barPercent(), 100);
    panel.clear();
    EXPECT_EQ(panel.value(), 0);
    EXPECT_EQ(panel.barPercent(), 0);
}

TEST(UcProgress, ActiveStateDecidesStopButtonAndBarColour) {
    // Distinct colours, so that the test can tell which one the bar took.
    const QPalette saved = QApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 200));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(150, 150, 150));
    QApplication::setPalette(palette);

    UcProgress panel;
    panel.setActive(true);
    EXPECT_TRUE(panel.active());
    EXPECT_TRUE(panel.stopButton()->isEnabled());
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        EXPECT_EQ(panel.bar()->palette().color(group, QPalette::Highlight), QColor(10, 20, 200));

    panel.setActive(false);
    EXPECT_FALSE(panel.stopButton()->isEnabled());
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        EXPECT_EQ(panel.bar()->palette().color(group, QPalette::Highlight), QColor(150, 150, 150));
    QApplication::setPalette(saved);
}

TEST(UcProgress, StopAndCancelRaiseCancelClickedAndNothingElse) {
    UcProgress panel;
    panel.setMax(10);
    panel.setValue(4);
    panel.setActive(true);
    QSignalSpy cancelled(&panel, &UcProgress::CancelClicked);
    panel.stopButton()->click();
    panel.cancel();
    EXPECT_EQ(cancelled.count(), 2);
    EXPECT_EQ(panel.value(), 4);
    EXPECT_TRUE(panel.active());
}

} // namespace
