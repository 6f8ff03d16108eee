#pragma once

// Scripted stand-ins for the user: message boxes answer from a queue and
// record what they were asked, events run a hook, the clock is set by hand,
// programs are started on paper.

#include "support/ProcessStarter.h"
#include "support/UiServices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace testing_support {

struct ShownMessage {
    QString text;
    QString title;
    int buttons = 0;
    int icon = 0;
    bool withCheckBox = false;
};

class ScriptedMessageBoxes : public support::MessageBoxes {
public:
    // Answers given in order; when the queue is empty, the first button
    // (OK or Yes) is pressed.
    std::deque<int> answers;
    // The check-box state reported by showWithCheckBox, in order; false when empty.
    std::deque<bool> checkBoxAnswers;
    QList<ShownMessage> shown;

    int show(const QString& text, const QString& title, int buttons, int icon) override;
    int showWithCheckBox(const QString& text, const QString& title, int buttons, int icon,
                         bool* dontShowAgain) override;
};

class ScriptedEventPump : public support::EventPump {
public:
    int calls = 0;
    // Runs at each call, e.g. to press Stop after a number of songs.
    std::function<void(int call)> onProcess;
    void processPendingEvents() override;
};

class CountingBeeper : public support::Beeper {
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

class ManualClock : public support::Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 1, 1), QTime(12, 0));
    QDateTime now() const override { return current; }
};

// Records every program it is asked to start and reports the start as told
// (by default a process and no error).
class ScriptedProcessStarter : public support::ProcessStarter {
public:
    support::ProcessStart answer{.processId = 4242, .errorNumber = 0, .description = {}};
    QStringList started;
    support::ProcessStart startDetached(const QString& program) override {
        started.append(program);
        return answer;
    }
};

// All four, wired into one UiServices.
struct ScriptedUi {
    ScriptedMessageBoxes messages;
    ScriptedEventPump events;
    CountingBeeper beeper;
    ManualClock clock;
    support::UiServices services() { return {&messages, &events, &beeper, &clock}; }
};

} // namespace testing_support
