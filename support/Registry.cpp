#include "support/Registry.h"

#include "support/SettingsFile.h"

#include <QStandardPaths>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace support {

namespace {

std::optional<RegistryFiles>& overriddenFiles() {
    static std::optional<RegistryFiles> files;
    return files;
}

SettingsFile storeOf(Hive hive) {
    const RegistryFiles files = CurrentRegistryFiles();
    return SettingsFile(hive == Hive::CurrentUser ? files.currentUser : files.localMachine);
}

std::optional<RegValue> readValue(Hive hive, const QString& key, const QString& value) {
    return storeOf(hive).value(key, value);
}

} // namespace

std::optional<int> ParseLong(const QString& text) {
    bool ok = false;
    const int whole = text.toInt(&ok);
    if (ok)
        return whole;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    // Banker's rounding, as the conversion of the original settings code did.
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

QString RegGetString(Hive hive, const QString& key, const QString& value, int maxBytes) {
    const auto stored = readValue(hive, key, value);
    if (!stored || stored->type != RegValue::Type::String)
        return {};
    if (stored->text.toUtf8().size() + 1 > maxBytes)
        return {};
    return stored->text;
}

int RegGetLong(Hive hive, const QString& key, const QString& value, int defaultValue) {
    const QString text = RegGetString(hive, key, value).trimmed();
    if (text.isEmpty())
        return defaultValue;
    return ParseLong(text).value_or(defaultValue);
}

bool RegGetBool(Hive hive, const QString& key, const QString& value, bool defaultValue) {
    const QString text = RegGetString(hive, key, value).trimmed().toLower();
    if (text == u"true"_s)
        return true;
    if (text == u"false"_s)
        return false;
    return defaultValue;
}

QDateTime RegGetDate(Hive hive, const QString& key, const QString& value,
                     const QDateTime& defaultValue) {
    const QString text = RegGetString(hive, key, value).trimmed();
    if (text.isEmpty())
        return defaultValue;
    const QDateTime parsed = ParseRegDate(text);
    return parsed.isValid() ? parsed : defaultValue;
}

int RegGetDword(Hive hive, const QString& key, const QString& value, int defaultValue) {
    const auto stored = readValue(hive, key, value);
    if (!stored || stored->type != RegValue::Type::Dword)
        return defaultValue;
    return static_cast<int>(stored->number);
}

void RegSetString(Hive hive, const QString& key, const QString& value, const QString& text) {
    if (hive == Hive::CurrentUser)
        storeOf(hive).setValue(key, value, RegValue::string(text));
}

void RegSetDword(Hive hive, const QString& key, const QString& value, quint32 number) {
    if (hive == Hive::CurrentUser)
        storeOf(hive).setValue(key, value, RegValue::dword(number));
}

void RegDeleteValue(Hive hive, const QString& key, const QString& value) {
    if (hive == Hive::CurrentUser)
        storeOf(hive).removeValue(key, value);
}

QDateTime RegDateZero() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

QString RegDateText(const QDateTime& when) {
    return when.toLocalTime().toString(u"yyyy/MM/dd HH:mm:ss"_s);
}

QDateTime ParseRegDate(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    // Single letters accept one or two digits, so "2024/3/7 9:05:00" reads too.
    static const QStringList dateTimeForms = {
        u"yyyy/M/d H:m:s"_s,    u"yyyy-M-d H:m:s"_s,  u"yyyy/M/d H:m"_s,   u"yyyy-M-d H:m"_s,
        u"M/d/yyyy h:m:s AP"_s, u"M/d/yyyy h:m AP"_s, u"M/d/yyyy H:m:s"_s, u"M/d/yyyy H:m"_s};
    for (const QString& form : dateTimeForms) {
        const QDateTime parsed = QDateTime::fromString(trimmed, form);
        if (parsed.isValid())
            return parsed;
    }
    static const QStringList dateForms = {u"yyyy/M/d"_s, u"yyyy-M-d"_s, u"M/d/yyyy"_s};
    for (const QString& form : dateForms) {
        const QDate parsed = QDate::fromString(trimmed, form);
        if (parsed.isValid())
            return QDateTime(parsed, QTime(0, 0));
    }
    const QDateTime iso = QDateTime::fromString(trimmed, Qt::ISODate);
    return iso.isValid() ? iso.toLocalTime() : QDateTime();
}

RegistryFiles DefaultRegistryFiles() {
    const QString relative = u"/Tarnwick/Quillmoth/registry.json"_s;
    const QString userConfig =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Without a home there is no per-user store, rather than one in "/".
    return {userConfig.isEmpty() ? QString() : userConfig + relative, u"/etc/xdg"_s + relative};
}

RegistryFiles CurrentRegistryFiles() {
    return overriddenFiles().value_or(DefaultRegistryFiles());
}

void SetRegistryFiles(const RegistryFiles& files) {
    overriddenFiles() = files;
}

void ResetRegistryFiles() {
    overriddenFiles().reset();
}

} // namespace support
