#include "mainwindow/ProgressPercent.h"
#include "mainwindow/UcProgress.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cfenv>

using mainwindow::UcProgress;

namespace {

TEST(UcProgress, ClampsAndShowsTheRoundedPercentage) {
    const struct {
        int max;
        int value;
        int expectedValue;
        int expectedPercent;
    } cases[] = {
        {3, 2, 2, 67},
        // Halves round to even.
        {8, 1, 1, 12},
        {8, 3, 3, 38},
        {200, 500, 200, 100},
        {100, -5, 0, 0},
        {1, 1, 1, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "max " << c.max << " value " << c.value);
        UcProgress panel;
        panel.setMax(c.max);
        panel.setValue(c.value);
        EXPECT_EQ(panel.value(), c.expectedValue);
        EXPECT_EQ(panel.barPercent(), c.expectedPercent);
    }
}

TEST(ProgressPercent, HalvesToEvenWhateverTheRoundingModeWas) {
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(mainwindow::ProgressPercent(1, 8), 12);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(saved);
    EXPECT_EQ(mainwindow::ProgressPercent(1, 0), std::nullopt);
}

TEST(UcProgress, DoneFillsClearEmptiesAndMaxZeroLeavesTheBarWhereItWas) {
    UcProgress panel;
    panel.setMax(7);
    panel.setValue(3);
    panel.done();
    EXPECT_EQ(panel.value(), 7);
    EXPECT_EQ(panel.barPercent(), 100);
    panel.clear();
    EXPECT_EQ(panel.value(), 0);
    EXPECT_EQ(panel.barPercent(), 0);

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

} // namespace
