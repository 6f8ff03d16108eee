#pragma once

// The update check. The program does not look for new versions itself: it
// starts an outside updater, "WiseUpdt.exe" beside the program, which does
// the checking, the downloading and the talking to the user. This decides
// when to start it, records when it was started and keeps the interval in
// step with the updater's own.

#include "support/UiServices.h"

#include <QString>

namespace support {

class ProcessStarter;

inline const QString UPDATER_FILE_NAME = QStringLiteral("WiseUpdt.exe");

struct UpdateCheckServices {
    MessageBoxes& messages;
    const Clock& clock;
    ProcessStarter& starter;
    // Where the updater is looked for; empty for the program's own folder.
    QString updaterFolder;
};

// folder with a trailing "/" and UPDATER_FILE_NAME; an empty folder stands
// for the program's own (QCoreApplication::applicationDirPath()).
QString UpdaterPath(const QString& folder = {});

// True when at least GetUpdateCheckDays() days (fractions count) have
// passed since LoadLastUpdateRun().
bool IsUpdateCheckDue(const Clock& clock);

// Adopts a changed updater interval once: when the updater's "CheckDays"
// differs from the one last seen, it becomes ours and is remembered as
// seen. An interval set in Options afterwards stays until the updater's
// changes again.
void SyncWiseCheckDays();

// The one entry point, for the start-up check (showErrors and force false)
// and the Web menu (both true). force skips the Enabled setting and the
// interval. A missing updater or a failed start is reported only when
// showErrors; the user is asked first (a don't-show-again box) and Cancel
// starts nothing. Only a successful start records the time.
void RunWiseUpdate(const UpdateCheckServices& services, bool showErrors, bool force);

// The messages, exactly as shown.
QString UpdaterNotFoundText(const QString& updaterPath);
QString RunUpdaterPromptText();
QString UpdaterStartFailedText(const QString& description);

} // namespace support
