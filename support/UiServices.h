#pragma once

// The few ways in which program logic reaches the user or the event loop.
// The GUI supplies Qt-backed implementations; tests and the command-line tool
// supply scripted or silent ones, so every algorithm runs without a window.

#include <QDateTime>
#include <QString>

namespace support {

// Message-box codes, kept as the numbers that callers store and compare.
enum MsgButtons : int { MbOk = 0, MbOkCancel = 1, MbYesNo = 4 };
enum MsgIcon : int { MbNoIcon = 0, MbCritical = 16, MbExclamation = 48, MbInformation = 64 };
enum MsgResult : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message and returns the MsgResult of the button pressed.
    virtual int show(const QString& text, const QString& title, int buttons, int icon) = 0;
    // Like show(), with a "Do not show this message again" check box whose
    // final state is written to *dontShowAgain.
    virtual int showWithCheckBox(const QString& text, const QString& title, int buttons, int icon,
                                 bool* dontShowAgain) = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Lets pending window events run (repaints, the Stop button, ...).
    virtual void processPendingEvents() = 0;
};

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The bundle handed to the parts of the program that need any of them.
struct UiServices {
    MessageBoxes* messages = nullptr;
    EventPump* events = nullptr;
    Beeper* beeper = nullptr;
    Clock* clock = nullptr;
};

} // namespace support
