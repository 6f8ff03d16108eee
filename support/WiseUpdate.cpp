#include "support/WiseUpdate.h"

#include "support/MsgBoxMaybe.h"
#include "support/ProcessStarter.h"
#include "support/RegistryKeys.h"
#include "support/SystemInfo.h"
#include "support/UpdateSettings.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace support {

namespace {

constexpr double MsecsPerDay = 24.0 * 60 * 60 * 1000;

// A start refused at the permission prompt: the user has just said no, and
// the next automatic check simply asks again.
bool DeclinedByUser(const ProcessStart& start) {
    return start.errorNumber == START_DECLINED_BY_USER && start.processId == 0 && IsVistaOrLater();
}

void ShowExclamation(MessageBoxes& messages, const QString& text) {
    messages.show(text, QString(), MbOk, MbExclamation);
}

} // namespace

QString UpdaterPath(const QString& folder) {
    QString path = folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
    if (!path.endsWith(u'/'))
        path += u'/';
    return path + UPDATER_FILE_NAME;
}

bool IsUpdateCheckDue(const Clock& clock) {
    const double daysSinceLastRun = LoadLastUpdateRun().msecsTo(clock.now()) / MsecsPerDay;
    return daysSinceLastRun >= GetUpdateCheckDays();
}

void SyncWiseCheckDays() {
    const int wise = GetWiseCheckDays();
    if (wise == GetLastWiseUpdateCheckDays())
        return;
    SetUpdateCheckDays(wise);
    SetLastWiseUpdateCheckDays(wise);
}

QString UpdaterNotFoundText(const QString& updaterPath) {
    return u"The WiseUpdate utility ("_s + updaterPath + u") could not be found."_s;
}

QString RunUpdaterPromptText() {
    return u"Quillmoth will now run the WiseUpdate utility to check if an updated version of "
           u"Quillmoth is available.\n\n(You may be prompted for permission to run "
           u"WiseUpdt.exe.)"_s;
}

QString UpdaterStartFailedText(const QString& description) {
    return u"The following error occurred while trying to run the WiseUpdate program:\n\n"_s +
           description;
}

void RunWiseUpdate(const UpdateCheckServices& services, bool showErrors, bool force) {
    SyncWiseCheckDays();
    if (!force && (!GetUpdateCheckEnabled() || !IsUpdateCheckDue(services.clock)))
        return;

    const QString updater = UpdaterPath(services.updaterFolder);
    if (!QFileInfo::exists(updater)) {
        if (showErrors)
            ShowExclamation(services.messages, UpdaterNotFoundText(updater));
        return;
    }
    if (IsVistaOrLater() && MsgBoxMaybe(services.messages, RunUpdaterPromptText(), MbOkCancel,
                                        MbExclamation, MSG_KEY_RUN_UPDATER, true) == IdCancel)
        return;

    const ProcessStart start = services.starter.startDetached(updater);
    if (start.failed()) {
        if (showErrors && !DeclinedByUser(start))
            ShowExclamation(services.messages, UpdaterStartFailedText(start.description));
        return;
    }
    SaveLastUpdateRun(services.clock.now());
}

} // namespace support
