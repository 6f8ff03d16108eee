#pragma once

// Return and Escape as the user presses them: on whichever control of a shown,
// active dialog has the focus. Header-only, for GUI tests that link Qt Test.

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QTest>
#include <QWidget>

namespace testing_support {

// Shows dialog and waits until it is the active window, as it is for a user
// once the window manager has given it the keyboard.
inline bool ShowActive(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    return QTest::qWaitForWindowActive(&dialog);
}

// The controls of dialog that the keyboard can reach, in tab order.
inline QList<QWidget*> FocusableControls(QWidget& dialog) {
    QList<QWidget*> controls;
    for (QWidget* widget = dialog.nextInFocusChain(); widget != &dialog;
         widget = widget->nextInFocusChain()) {
        if (widget->isWindow() || !dialog.isAncestorOf(widget))
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(&dialog))
            controls.append(widget);
    }
    return controls;
}

// Presses key on the control that has the focus (the dialog itself when none
// has).
inline void PressOnFocus(QWidget& dialog, Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && dialog.isAncestorOf(focus) ? focus : &dialog, key);
}

} // namespace testing_support
