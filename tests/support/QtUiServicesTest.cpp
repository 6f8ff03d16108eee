#include "support/QtUiServices.h"
#include "support/DesktopShell.h"

#include "tests/common/DialogKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;
using namespace support;

namespace {

// Waits for the message box to come up, lets act look at it and answer.
void whenBoxShows(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                act(*box);
                return;
            }
        }
        ADD_FAILURE() << "no message box was shown";
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(widget))
                dialog->reject();
        }
    });
}

TEST(QtMessageBoxes, MapsCodesToTheBox) {
    QtMessageBoxes boxes;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    whenBoxShows([&](QMessageBox& box) {
        title = box.windowTitle();
        icon = box.icon();
        for (QAbstractButton* button : box.buttons())
            buttons.append(box.standardButton(button));
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
        EXPECT_EQ(box.checkBox(), nullptr);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(boxes.show(u"Replace?"_s, QString(), MbYesNo, MbCritical), IdNo);
    EXPECT_EQ(title, u"Quillmoth"_s);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons.contains(QMessageBox::Yes));
    EXPECT_TRUE(buttons.contains(QMessageBox::No));
}

TEST(QtMessageBoxes, EscapeAnswersCancel) {
    QtMessageBoxes boxes;
    whenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(boxes.show(u"Go on?"_s, u"Title"_s, MbOkCancel, MbExclamation), IdCancel);
}

TEST(QtMessageBoxes, CheckBoxStateIsReported) {
    QtMessageBoxes boxes;
    QString checkText;
    whenBoxShows([&](QMessageBox& box) {
        ASSERT_NE(box.checkBox(), nullptr);
        checkText = box.checkBox()->text();
        EXPECT_EQ(box.icon(), QMessageBox::Information);
        box.checkBox()->setChecked(true);
        box.button(QMessageBox::Ok)->click();
    });
    bool dontShowAgain = false;
    EXPECT_EQ(
        boxes.showWithCheckBox(u"Hint"_s, u"Quillmoth"_s, MbOk, MbInformation, &dontShowAgain),
        IdOk);
    EXPECT_TRUE(dontShowAgain);
    EXPECT_EQ(checkText, u"Do not show this message again"_s);
}

// Presses key where the focus is once the box is active; a box that stays
// open is a failure and is closed so that the test goes on.
void pressWhenBoxShows(Qt::Key key, bool focusCheckBox, QString* focusName) {
    whenBoxShows([=](QMessageBox& box) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        if (focusCheckBox && box.checkBox())
            box.checkBox()->setFocus(Qt::TabFocusReason);
        if (QWidget* focus = QApplication::focusWidget())
            *focusName = QString::fromLatin1(focus->metaObject()->className());
        QPointer<QMessageBox> guard(&box);
        testing_support::PressOnFocus(box, key);
        QTimer::singleShot(2000, [guard] {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the key left the box open";
                guard->reject();
            }
        });
    });
}

// Return gives the default button (the first), Escape the last, whether the
// box has the don't-show-again check box or not and whether the focus is on
// the default button, where the box opens, or on the check box.
TEST(QtMessageBoxes, ReturnAnswersTheDefaultButtonAndEscapeTheLast) {
    struct Buttons {
        int code;
        int first;
        int last;
    };
    QtMessageBoxes boxes;
    for (const Buttons& set : {Buttons{MbOk, IdOk, IdOk}, Buttons{MbOkCancel, IdOk, IdCancel},
                               Buttons{MbYesNo, IdYes, IdNo}}) {
        for (const bool withCheckBox : {false, true}) {
            for (const bool focusCheckBox : withCheckBox ? QList{false, true} : QList{false}) {
                for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                    QString focus;
                    SCOPED_TRACE(::testing::Message()
                                 << "buttons " << set.code << " check box " << withCheckBox
                                 << " focus on it " << focusCheckBox << " key " << key);
                    pressWhenBoxShows(key, focusCheckBox, &focus);
                    bool dontShowAgain = false;
                    const int answer =
                        withCheckBox ? boxes.showWithCheckBox(u"Go on?"_s, QString(), set.code,
                                                              MbExclamation, &dontShowAgain)
                                     : boxes.show(u"Go on?"_s, QString(), set.code, MbExclamation);
                    EXPECT_EQ(answer, key == Qt::Key_Escape ? set.last : set.first);
                    EXPECT_EQ(focus, focusCheckBox ? u"QCheckBox"_s : u"QPushButton"_s);
                    EXPECT_FALSE(dontShowAgain);
                }
            }
        }
    }
}

TEST(QtMessageBoxes, ShowTheNormalPointerWhileTheProgramIsBusy) {
    QtMessageBoxes boxes;
    OverrideCursorDisplay display;
    ScreenPointer pointer(display);
    pointer.PushPointer(POINTER_HOURGLASS);
    std::optional<Qt::CursorShape> shapeWhileAsking;
    whenBoxShows([&](QMessageBox& box) {
        if (const QCursor* cursor = QGuiApplication::overrideCursor())
            shapeWhileAsking = cursor->shape();
        box.button(QMessageBox::Ok)->click();
    });
    boxes.show(u"Stop here?"_s, QString(), MbOk, MbExclamation);
    EXPECT_EQ(shapeWhileAsking, Qt::ArrowCursor);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // The run's own pop clears the pointer completely: nothing was left behind.
    pointer.PopPointer();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtMessageBoxes, LeaveThePointerAloneWhenNothingIsBusy) {
    QtMessageBoxes boxes;
    bool overriddenWhileAsking = true;
    whenBoxShows([&](QMessageBox& box) {
        overriddenWhileAsking = QGuiApplication::overrideCursor() != nullptr;
        box.button(QMessageBox::Ok)->click();
    });
    boxes.show(u"Done."_s, QString(), MbOk, MbInformation);
    EXPECT_FALSE(overriddenWhileAsking);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(OverrideCursorDisplay, FollowsThePointerStack) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        OverrideCursorDisplay display;
        ScreenPointer pointer(display);
        pointer.PushPointer(POINTER_HOURGLASS);
        pointer.PushPointer(3);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::IBeamCursor);
        pointer.PopPointer();
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_EQ(display.current(), POINTER_HOURGLASS);
        pointer.PopPointer();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        pointer.PopPointer();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        pointer.PushPointer(POINTER_HOURGLASS);
    }
    // A display that goes away with the hourglass shown gives the cursor back.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(OverrideCursorDisplay, SetsOnlyOneOverrideCursorWhateverTheDepth) {
    OverrideCursorDisplay display;
    ScreenPointer pointer(display);
    for (int code : {POINTER_HOURGLASS, 3, POINTER_HOURGLASS, 2})
        pointer.PushPointer(code);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    // Qt stacks override cursors: one restore empties its stack only when a
    // single override was ever set.
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace

namespace {

// Counts the queued calls that have run.
int runQueuedCalls(support::QtEventPump& pump, int queued) {
    int ran = 0;
    for (int i = 0; i < queued; ++i)
        QMetaObject::invokeMethod(
            qApp, [&ran] { ++ran; }, Qt::QueuedConnection);
    pump.processPendingEvents();
    return ran;
}

} // namespace

TEST(QtEventPump, RunsPendingEventsAtMostOncePerInterval) {
    support::QtEventPump hourly(60 * 60 * 1000);
    EXPECT_EQ(runQueuedCalls(hourly, 3), 3); // the first call always runs them
    int ran = 0;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ++ran; }, Qt::QueuedConnection);
    hourly.processPendingEvents();
    EXPECT_EQ(ran, 0); // too soon: left for the next call or the event loop
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);

    support::QtEventPump always(0);
    EXPECT_EQ(runQueuedCalls(always, 2), 2);
    EXPECT_EQ(runQueuedCalls(always, 2), 2);
}
