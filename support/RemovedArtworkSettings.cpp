#include "support/RemovedArtworkSettings.h"

#include "support/Registry.h"
#include "support/RegistryKeys.h"

namespace support {

namespace {
int rangedSetting(const QString& value, int defaultValue, int minimum, int maximum) {
    const int number = RegGetLong(Hive::CurrentUser, KEY_REMOVED_ARTWORK, value, defaultValue);
    return number >= minimum && number <= maximum ? number : defaultValue;
}
} // namespace

int GetRemovedArtworkKeepDays() {
    return rangedSetting(VALUE_REMOVED_KEEP_DAYS, DEFAULT_REMOVED_KEEP_DAYS, MIN_REMOVED_KEEP_DAYS,
                         MAX_REMOVED_KEEP_DAYS);
}

qint64 GetRemovedArtworkMaxBytes() {
    const int megabytes = rangedSetting(VALUE_REMOVED_MAX_MEGABYTES, DEFAULT_REMOVED_MAX_MEGABYTES,
                                        MIN_REMOVED_MAX_MEGABYTES, MAX_REMOVED_MAX_MEGABYTES);
    return qint64(megabytes) * 1024 * 1024;
}

} // namespace support
