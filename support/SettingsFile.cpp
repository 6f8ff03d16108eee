#include "support/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>

#include <cmath>

using namespace Qt::StringLiterals;

namespace support {

namespace {

const QString TypeField = u"type"_s;
const QString DataField = u"data"_s;
const QString StringType = u"REG_SZ"_s;
const QString DwordType = u"REG_DWORD"_s;

// The stored spelling of a name that matches without regard to case, or the
// name itself when nothing matches yet.
QString storedName(const QJsonObject& object, const QString& name) {
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return name;
}

std::optional<QJsonObject> findObject(const QJsonObject& object, const QString& name) {
    const auto it = object.constFind(storedName(object, name));
    if (it == object.constEnd() || !it->isObject())
        return std::nullopt;
    return it->toObject();
}

RegValue decode(const QJsonObject& stored) {
    const QString type = stored.value(TypeField).toString();
    const QJsonValue data = stored.value(DataField);
    if (type == StringType && data.isString())
        return RegValue::string(data.toString());
    if (type == DwordType && data.isDouble()) {
        const double number = data.toDouble();
        // Accept both the unsigned and the signed reading of 32 bits.
        if (std::isfinite(number) && number == std::floor(number) && number >= -2147483648.0 &&
            number <= 4294967295.0)
            return RegValue::dword(static_cast<quint32>(static_cast<qint64>(number)));
    }
    return {};
}

QJsonObject encode(const RegValue& value) {
    switch (value.type) {
    case RegValue::Type::String:
        return {{TypeField, StringType}, {DataField, value.text}};
    case RegValue::Type::Dword:
        return {{TypeField, DwordType}, {DataField, static_cast<qint64>(value.number)}};
    case RegValue::Type::Other:
        break;
    }
    return {};
}

} // namespace

QString NormalizedKeyPath(const QString& key) {
    return key.trimmed().split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

SettingsFile::LoadState SettingsFile::load(QJsonObject* keys) const {
    *keys = {};
    if (m_path.isEmpty())
        return LoadState::Missing;
    QFile file(m_path);
    if (!file.exists())
        return LoadState::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return LoadState::Unreadable;
    if (file.size() > MaxFileBytes)
        return LoadState::Corrupt;
    // What the file holds, not the largest store taken: every setting read
    // loads the file, and asking for 4 MB each time sets that much aside.
    const QByteArray bytes = file.read(file.size() + 1);
    if (bytes.size() > MaxFileBytes)
        return LoadState::Corrupt;
    if (file.error() != QFileDevice::NoError)
        return LoadState::Unreadable;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return LoadState::Corrupt;
    *keys = document.object();
    return LoadState::Loaded;
}

bool SettingsFile::save(const QJsonObject& keys) const {
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QJsonDocument(keys).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<RegValue> SettingsFile::value(const QString& key, const QString& name) const {
    QJsonObject keys;
    if (load(&keys) != LoadState::Loaded)
        return std::nullopt;
    const auto values = findObject(keys, NormalizedKeyPath(key));
    if (!values)
        return std::nullopt;
    const auto stored = findObject(*values, name);
    if (!stored)
        return std::nullopt;
    return decode(*stored);
}

bool SettingsFile::keyExists(const QString& key) const {
    QJsonObject keys;
    return load(&keys) == LoadState::Loaded && findObject(keys, NormalizedKeyPath(key)).has_value();
}

template <typename Change> bool SettingsFile::modify(Change change) {
    if (m_path.isEmpty() || !QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    // Two running copies of the program must not lose each other's changes.
    QLockFile lock(m_path + u".lock"_s);
    if (!lock.tryLock(2000))
        return false;
    QJsonObject keys;
    switch (load(&keys)) {
    case LoadState::Unreadable:
        // Never overwrite what could not be read: it may be perfectly good.
        return false;
    case LoadState::Corrupt: {
        const QString aside = m_path + u".corrupt"_s;
        QFile::remove(aside);
        QFile::rename(m_path, aside);
        keys = {};
        break;
    }
    case LoadState::Missing:
    case LoadState::Loaded:
        break;
    }
    bool changed = false;
    if (!change(keys, changed))
        return false;
    return !changed || save(keys);
}

bool SettingsFile::setValue(const QString& key, const QString& name, const RegValue& value) {
    const QString keyPath = NormalizedKeyPath(key);
    if (keyPath.isEmpty() || value.type == RegValue::Type::Other)
        return false;
    return modify([&](QJsonObject& keys, bool& changed) {
        const QString keyName = storedName(keys, keyPath);
        QJsonObject values = findObject(keys, keyName).value_or(QJsonObject());
        values.insert(storedName(values, name), encode(value));
        keys.insert(keyName, values);
        changed = true;
        return true;
    });
}

bool SettingsFile::removeValue(const QString& key, const QString& name) {
    // Nothing to remove, and no reason to create folders or a lock file.
    if (!QFileInfo::exists(m_path))
        return true;
    const QString keyPath = NormalizedKeyPath(key);
    return modify([&](QJsonObject& keys, bool& changed) {
        const QString keyName = storedName(keys, keyPath);
        auto values = findObject(keys, keyName);
        if (!values)
            return true;
        const QString valueName = storedName(*values, name);
        if (!values->contains(valueName))
            return true;
        values->remove(valueName);
        keys.insert(keyName, *values);
        changed = true;
        return true;
    });
}

} // namespace support
