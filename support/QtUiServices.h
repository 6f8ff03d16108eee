#pragma once

// The real user interface behind support::UiServices: Qt message boxes, the
// application's event loop, the system beep and the wall clock.

#include "support/SystemClock.h"
#include "support/UiServices.h"

#include <QElapsedTimer>

class QWidget;

namespace support {

// Message boxes that take the Windows-style codes of UiServices.h: buttons
// 0 OK, 1 OK/Cancel, 4 Yes/No (other values show OK alone); icons 16
// critical, 32 question, 48 exclamation, 64 information. An empty title
// becomes "Quillmoth". The box is owned by the active modal dialog or the
// active window, so it stays in front of whatever the user is looking at.
class QtMessageBoxes : public MessageBoxes {
public:
    int show(const QString& text, const QString& title, int buttons, int icon) override;
    int showWithCheckBox(const QString& text, const QString& title, int buttons, int icon,
                         bool* dontShowAgain) override;
};

// Runs call this after every song. Letting the window repaint that often
// costs far more than the work itself on a large library, so events run at
// most once per interval: often enough for the Stop button and a smooth
// progress bar, rarely enough to stay out of the way.
class QtEventPump : public EventPump {
public:
    static constexpr int DefaultIntervalMs = 50;
    explicit QtEventPump(int minimumIntervalMs = DefaultIntervalMs)
        : m_minimumIntervalMs(minimumIntervalMs) {}
    void processPendingEvents() override;

private:
    int m_minimumIntervalMs;
    QElapsedTimer m_sinceLastRun;
};

class QtBeeper : public Beeper {
public:
    void beep() override;
};

// All four, wired into one UiServices; keep it alive as long as the services
// are handed out (the main window owns one).
class QtUiServices {
public:
    QtMessageBoxes messages;
    QtEventPump events;
    QtBeeper beeper;
    SystemClock clock;
    UiServices services() { return {&messages, &events, &beeper, &clock}; }
};

// The active form of the program, or nullptr: the owner of message boxes and
// of the dialogs that have no better parent.
QWidget* ActiveForm();

} // namespace support
