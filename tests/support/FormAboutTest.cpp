#include "support/FormAbout.h"
#include "support/LinkLabel.h"

#include "tests/common/DialogKeys.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;

namespace {

class FormAboutTest : public ::testing::Test {
protected:
    QStringList opened;
    FormAbout about{nullptr, [this](const QString& address) { opened.append(address); }};
};

TEST_F(FormAboutTest, ClickingTheLinkOpensItsTextInLowerCase) {
    about.show();
    about.LabLink->setText(u"HTTPS://Quillmoth.Example.org/"_s);
    QTest::mouseClick(about.LabLink, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{u"https://quillmoth.example.org/"_s});
    // The keyboard reaches it as well.
    about.LabLink->setFocus();
    QTest::keyClick(about.LabLink, Qt::Key_Space);
    EXPECT_EQ(opened.size(), 2);
    // A right click is no click on a link.
    QTest::mouseClick(about.LabLink, Qt::RightButton);
    EXPECT_EQ(opened.size(), 2);
}

// Tab from OK reaches the link, and the link shows that it has the focus.
TEST_F(FormAboutTest, TabReachesTheLinkAndShowsIt) {
    ASSERT_TRUE(testing_support::ShowActive(about));
    ASSERT_EQ(QApplication::focusWidget(), about.ButOK);
    const QImage unfocused = about.LabLink->grab().toImage();
    QTest::keyClick(about.ButOK, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), about.LabLink);
    EXPECT_NE(about.LabLink->grab().toImage(), unfocused);
}

// OK is the default and the cancel button: Return and Escape close the box
// from wherever the focus is, and neither opens the link.
TEST_F(FormAboutTest, ReturnAndEscapeCloseTheBoxFromEveryControl) {
    ASSERT_TRUE(testing_support::ShowActive(about));
    const QList<QWidget*> controls = testing_support::FocusableControls(about);
    ASSERT_TRUE(controls.contains(about.ButOK));
    ASSERT_TRUE(controls.contains(about.LabLink));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        for (QWidget* control : controls) {
            SCOPED_TRACE(::testing::Message()
                         << control->objectName().toStdString() << " key " << key);
            ASSERT_TRUE(testing_support::ShowActive(about));
            control->setFocus(Qt::TabFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), control);
            testing_support::PressOnFocus(about, key);
            EXPECT_FALSE(about.isVisible());
            EXPECT_EQ(about.result(),
                      key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
        }
    }
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
