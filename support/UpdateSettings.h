#pragma once

// The settings of the update check, typed, with their defaults and stored
// forms. They live in the user's store under KEY_WISER_UPDATE; the
// updater's own interval is read from the machine store.

#include <QDateTime>

namespace support {

inline constexpr int DEFAULT_UPDATE_CHECK_DAYS = 14;
// "LastWiseUpdateCheckDays" and the updater's "CheckDays" when absent.
inline constexpr int UPDATER_CHECK_DAYS_UNKNOWN = -1;

// "Enabled": the automatic check a few seconds after start; true when
// absent or unreadable. Written as the word True or False.
bool GetUpdateCheckEnabled();
void SetUpdateCheckEnabled(bool enabled);

// "CheckDays": days between automatic checks, 14 when absent or
// unreadable. Negative numbers are not written: the updater's interval is
// handed on through here, and it is −1 when the updater has none.
int GetUpdateCheckDays();
void SetUpdateCheckDays(int days);

// "LastWiserUpdateRunDateTime": when the updater was last started, date 0
// (30 December 1899) when absent or unreadable. Only instants after
// 1 January 2000 00:00 are written, as "yyyy/mm/dd HH:MM:SS", so that date 0
// or a clock that was never set is not stored as a real start.
QDateTime LoadLastUpdateRun();
void SaveLastUpdateRun(const QDateTime& when);

// "LastWiseUpdateCheckDays": the updater's interval as last seen, −1 when
// absent.
int GetLastWiseUpdateCheckDays();
void SetLastWiseUpdateCheckDays(int days);

// The updater's own "CheckDays" in the machine store (KEY_UPDATER_APP), a
// 32-bit number; −1 when absent or of another type.
int GetWiseCheckDays();

} // namespace support
