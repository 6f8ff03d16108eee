#include "support/UpdateSettings.h"

#include "support/Registry.h"
#include "support/RegistryKeys.h"

using namespace Qt::StringLiterals;

namespace support {

namespace {

// The earliest start worth recording; anything before is a clock gone wrong.
QDateTime EarliestRecordedRun() {
    return QDateTime(QDate(2000, 1, 1), QTime(0, 0));
}

void StoreUpdateValue(const QString& value, const QString& text) {
    RegSetString(Hive::CurrentUser, KEY_WISER_UPDATE, value, text);
}

} // namespace

bool GetUpdateCheckEnabled() {
    return RegGetBool(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED, true);
}

void SetUpdateCheckEnabled(bool enabled) {
    StoreUpdateValue(VALUE_UPDATE_ENABLED, enabled ? u"True"_s : u"False"_s);
}

int GetUpdateCheckDays() {
    return RegGetLong(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS,
                      DEFAULT_UPDATE_CHECK_DAYS);
}

void SetUpdateCheckDays(int days) {
    if (days >= 0)
        StoreUpdateValue(VALUE_UPDATE_CHECK_DAYS, QString::number(days));
}

QDateTime LoadLastUpdateRun() {
    return RegGetDate(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN, RegDateZero());
}

void SaveLastUpdateRun(const QDateTime& when) {
    if (when.isValid() && when > EarliestRecordedRun())
        StoreUpdateValue(VALUE_LAST_UPDATE_RUN, RegDateText(when));
}

int GetLastWiseUpdateCheckDays() {
    return RegGetLong(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_LAST_UPDATER_CHECK_DAYS,
                      UPDATER_CHECK_DAYS_UNKNOWN);
}

void SetLastWiseUpdateCheckDays(int days) {
    StoreUpdateValue(VALUE_LAST_UPDATER_CHECK_DAYS, QString::number(days));
}

int GetWiseCheckDays() {
    return RegGetDword(Hive::LocalMachine, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS,
                       UPDATER_CHECK_DAYS_UNKNOWN);
}

} // namespace support
