#pragma once

// Typed settings operations with the semantics of the Windows registry calls
// the program was built around: a per-user store (read-write) and a
// per-machine store (read only). Failures never raise and are never
// reported: reads give the caller's default, writes are silently dropped.

#include <QDateTime>
#include <QString>

#include <optional>

namespace support {

enum class Hive { CurrentUser, LocalMachine };

// The registry's read buffer: a string whose UTF-8 form plus its terminating
// null does not fit reads as empty text rather than cut short.
inline constexpr int REG_STRING_MAX_BYTES = 1024;

// Text as a 32-bit integer: decimal, a fraction rounded half to even, as
// the settings have always read numbers. No value for anything else, also
// when out of range. The text is taken as it is: callers trim.
std::optional<int> ParseLong(const QString& text);

// The value's text when it is a string value, else empty text.
QString RegGetString(Hive hive, const QString& key, const QString& value,
                     int maxBytes = REG_STRING_MAX_BYTES);
// The trimmed string as a 32-bit integer (decimal; a fraction is rounded
// half to even), else defaultValue (also when out of range).
int RegGetLong(Hive hive, const QString& key, const QString& value, int defaultValue);
// "true" / "false" after trimming, in any case; anything else defaultValue.
bool RegGetBool(Hive hive, const QString& key, const QString& value, bool defaultValue);
// The trimmed string parsed by ParseRegDate, else defaultValue.
QDateTime RegGetDate(Hive hive, const QString& key, const QString& value,
                     const QDateTime& defaultValue);
// The value when it is a 32-bit number (its bits as a signed integer), else
// defaultValue.
int RegGetDword(Hive hive, const QString& key, const QString& value, int defaultValue);

// Stores text as a string value, creating the key. The machine store is read
// only: writes to it do nothing.
void RegSetString(Hive hive, const QString& key, const QString& value, const QString& text);
// Stores a 32-bit number value (for preparing stores; the program itself
// writes only strings).
void RegSetDword(Hive hive, const QString& key, const QString& value, quint32 number);
void RegDeleteValue(Hive hive, const QString& key, const QString& value);

// Date 0 of the settings: 30 December 1899, 00:00, local time.
QDateTime RegDateZero();
// The stored form of dates, "yyyy/mm/dd HH:MM:SS" on the 24-hour clock.
QString RegDateText(const QDateTime& when);
// Reads the stored form and other common forms (ISO 8601, dashes, US month
// first, without seconds or time); an invalid QDateTime when none matches.
QDateTime ParseRegDate(const QString& text);

// The files behind the hives. The defaults are
// <GenericConfigLocation>/Tarnwick/Quillmoth/registry.json for the user and
// /etc/xdg/Tarnwick/Quillmoth/registry.json for the machine.
struct RegistryFiles {
    QString currentUser;
    QString localMachine;
};
RegistryFiles DefaultRegistryFiles();
RegistryFiles CurrentRegistryFiles();
// For tests: points the hives at other files until ResetRegistryFiles().
void SetRegistryFiles(const RegistryFiles& files);
void ResetRegistryFiles();

} // namespace support
