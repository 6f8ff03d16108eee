#pragma once

// Where the toolbar, the Step menu and the Step 3 drop-down lead. While a
// command runs (the busy flag is set) toolbar and Step menu only beep, and so
// does every command of the window that would change the lists; a
// wizard is never started from inside the menu that chose it but from the
// deferred-start timer's tick.

#include <QObject>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace support {
class Beeper;
}

namespace mainwindow {

// BusyWizard marks a wizard and its run: a run lets window events through
// between songs, and a scan, a second wizard or closing the window in the
// middle of it would pull the lists and the library from under it.
enum BusyState : int { BusyIdle = 0, BusyScanning = 1, BusyEmbeddingChecked = 2, BusyWizard = 3 };

// What the window does for the commands; each may be left empty.
struct CommandActions {
    std::function<void()> scanLibrary;
    std::function<void()> embedChecked;
    std::function<void()> showStep2Help;
    // Receives the click counter that the hint's suppression rule keeps.
    std::function<void(int& step3ClickCount)> showStep3Hint;
    // Arms the one-shot timer whose tick calls wizardTimerTick().
    std::function<void()> armWizardTimer;
};

class CommandDispatch : public QObject {
    Q_OBJECT
public:
    using WizardOperation = std::function<void()>;

    CommandDispatch(support::Beeper& beeper, CommandActions actions, QObject* parent = nullptr);

    int busy() const { return m_busy; }
    const QString& pendingWizardKey() const { return m_pendingWizardKey; }
    int step3ClickCount() const { return m_step3ClickCount; }

    // The operation a wizard key starts. Keys outside the table are refused
    // (false): they can never start anything.
    bool setWizardOperation(const QString& key, WizardOperation operation);
    // The keys in the order in which the timer's tick compares them.
    QStringList wizardKeys() const;

    void toolbarButtonClicked(const QString& key);
    // A Step menu entry, by the key it carries (Step1, Step2 or a wizard's):
    // entries are known by key, so a new entry shifts nothing.
    void stepMenuClicked(const QString& key);
    // A drop-down entry of the Step 3 button; records the choice even while
    // busy (the menu is reachable during a run).
    void wizardChosen(const QString& key);
    // The deferred-start timer's tick (the timer has already stopped itself).
    // A tick that finds a command running only beeps: a wizard started in
    // the middle of another run would work on lists that run is changing.
    // The wizard runs with the busy flag at BusyWizard.
    void wizardTimerTick();

    // While a command runs, beeps, tells the listeners and answers true: the
    // caller then does nothing.
    bool refuseWhenBusy();

Q_SIGNALS:
    // A command arrived while busy and was turned into a beep.
    void refusedWhileBusy();
    // The tick found the pending key in the table while idle and runs its
    // operation; emitted before the operation runs.
    void wizardStarting(const QString& key);
    // A command that held the busy flag has ended (also when it threw).
    void runEnded();

private:
    void runBusy(BusyState state, const std::function<void()>& work);
    void recordWizardChoice(const QString& key);

    support::Beeper& m_beeper;
    CommandActions m_actions;
    std::vector<std::pair<QString, WizardOperation>> m_wizards;
    int m_busy = BusyIdle;
    QString m_pendingWizardKey;
    int m_step3ClickCount = 0;
};

} // namespace mainwindow
