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

// The codes pick the box's icon and buttons, an empty title gives the
// program's name, and a ticked check box is reported with the answer.
TEST(QtMessageBoxes, MapsCodesToTheBoxAndReportsTheCheckBox) {
    QtMessageBoxes boxes;
    const struct {
        bool withCheckBox;
        int icon;
        QMessageBox::Icon shown;
    } cases[] = {{false, MbCritical, QMessageBox::Critical},
                 {true, MbInformation, QMessageBox::Information},
                 {false, MbExclamation, QMessageBox::Warning}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.icon);
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QMessageBox::StandardButton> buttons;
        whenBoxShows([&](QMessageBox& box) {
            title = box.windowTitle();
            icon = box.icon();
            for (QAbstractButton* button : box.buttons())
                buttons.append(box.standardButton(button));
            ASSERT_EQ(box.checkBox() != nullptr, c.withCheckBox);
            if (box.checkBox())
                box.checkBox()->setChecked(true);
            box.button(QMessageBox::No)->click();
        });
        bool dontShowAgain = false;
        const int answer = c.withCheckBox ? boxes.showWithCheckBox(u"Replace?"_s, QString(),
                                                                   MbYesNo, c.icon, &dontShowAgain)
                                          : boxes.show(u"Replace?"_s, QString(), MbYesNo, c.icon);
        EXPECT_EQ(answer, IdNo);
        EXPECT_EQ(dontShowAgain, c.withCheckBox);
        EXPECT_EQ(title, u"Quillmoth"_s);
        EXPECT_EQ(icon, c.shown);
        EXPECT_EQ(buttons.size(), 2);
        EXPECT_TRUE(buttons.contains(QMessageBox::Yes));
        EXPECT_TRUE(buttons.contains(QMessageBox::No));
    }
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

// While the program is busy the hourglass gives way to the normal pointer
// for as long as the box asks, and comes back after; when nothing is busy
// the pointer is left alone.
TEST(QtMessageBoxes, ShowTheNormalPointerOnlyWhileTheProgramIsBusy) {
    QtMessageBoxes boxes;
    OverrideCursorDisplay display;
    ScreenPointer pointer(display);
    for (const bool busy : {true, false}) {
        SCOPED_TRACE(busy ? "busy" : "idle");
        if (busy)
            pointer.PushPointer(POINTER_HOURGLASS);
        std::optional<Qt::CursorShape> shapeWhileAsking;
        whenBoxShows([&](QMessageBox& box) {
            if (const QCursor* cursor = QGuiApplication::overrideCursor())
                shapeWhileAsking = cursor->shape();
            box.button(QMessageBox::Ok)->click();
        });
        boxes.show(u"Stop here?"_s, QString(), MbOk, MbExclamation);
        EXPECT_EQ(shapeWhileAsking, busy ? std::optional(Qt::ArrowCursor) : std::nullopt);
        if (busy) {
            ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            // The run's own pop clears the pointer: nothing was left behind.
            pointer.PopPointer();
        }
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

// Qt stacks override cursors: the display keeps a single one whatever the
// depth, so that the last pop, or the display going away with a pointer
// still shown, gives the normal pointer back.
TEST(OverrideCursorDisplay, FollowsThePointerStackWithOneOverrideCursor) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        OverrideCursorDisplay display;
        ScreenPointer pointer(display);
        for (int code : {POINTER_HOURGLASS, 3, POINTER_HOURGLASS, 2})
            pointer.PushPointer(code);
        for (const Qt::CursorShape shape : {Qt::CrossCursor, Qt::WaitCursor, Qt::IBeamCursor}) {
            ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), shape);
            pointer.PopPointer();
        }
        pointer.PopPointer();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        pointer.PopPointer();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        pointer.PushPointer(POINTER_HOURGLASS);
        pointer.PushPointer(3);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Counts the queued calls that have run.
int runQueuedCalls(support::QtEventPump& pump, int queued) {
    int ran = 0;
    for (int i = 0; i < queued; ++i)
        QMetaObject::invokeMethod(
            qApp, [&ran] { ++ran; }, Qt::QueuedConnection);
    pump.processPendingEvents();
    return ran;
}

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

} // namespace
