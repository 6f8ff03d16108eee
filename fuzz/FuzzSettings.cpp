// A settings store as found on disk, hand-edited or damaged: every key and
// value name it holds is read through the store and through the typed
// registry calls, then a value is written and removed again. The text
// parsers of numbers and dates also get the bytes as text.

#include "fuzz/FuzzSupport.h"

#include "support/Registry.h"
#include "support/SettingsFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace support;
using namespace Qt::StringLiterals;

namespace {

// Far more than the seeds hold; keeps one input from taking seconds.
constexpr int MaxNamesTried = 64;

void readThrough(const SettingsFile& store, const QString& key, const QString& name) {
    const std::optional<RegValue> value = store.value(key, name);
    store.keyExists(key);
    if (value && value->type == RegValue::Type::String) {
        ParseLong(value->text);
        ParseRegDate(value->text);
    }
    for (const Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        const QString text = RegGetString(hive, key, name);
        if (text.toUtf8().size() + 1 > REG_STRING_MAX_BYTES)
            fuzzing::fail("a string longer than the read buffer was read");
        RegGetString(hive, key, name, 8);
        RegGetLong(hive, key, name, -1);
        RegGetBool(hive, key, name, false);
        RegGetDate(hive, key, name, RegDateZero());
        RegGetDword(hive, key, name, 7);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::ensureCoreApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    const QString asText = QString::fromUtf8(bytes.left(256));
    ParseLong(asText);
    const QDateTime date = ParseRegDate(asText);
    if (date.isValid())
        RegDateText(date);
    NormalizedKeyPath(asText);

    const QString userFile = fuzzing::writeScratchFile(u"user.json"_s, bytes);
    const QString machineFile = fuzzing::writeScratchFile(u"machine.json"_s, bytes);
    SetRegistryFiles({userFile, machineFile});
    const SettingsFile store(userFile);

    int tried = 0;
    readThrough(store, u"Software\\Tarnwick\\Quillmoth"_s, u"TargetSize"_s);
    const QJsonObject keys = QJsonDocument::fromJson(bytes).object();
    for (auto key = keys.begin(); key != keys.end() && tried < MaxNamesTried; ++key) {
        const QJsonObject values = key.value().toObject();
        readThrough(store, key.key(), {});
        for (auto value = values.begin(); value != values.end() && tried < MaxNamesTried;
             ++value, ++tried)
            readThrough(store, key.key(), value.key());
    }

    // A write keeps a corrupt store beside the new one and must leave a
    // store that reads back what was written.
    SettingsFile writable(userFile);
    const QString key = keys.isEmpty() ? u"Software\\Tarnwick\\Quillmoth"_s : keys.begin().key();
    if (writable.setValue(key, u"FuzzValue"_s, RegValue::string(u"written"_s))) {
        if (writable.value(key, u"FuzzValue"_s) != RegValue::string(u"written"_s))
            fuzzing::fail("a written value does not read back");
        if (!writable.removeValue(key, u"FuzzValue"_s) || writable.value(key, u"FuzzValue"_s))
            fuzzing::fail("a removed value is still there");
    }
    RegSetString(Hive::CurrentUser, key, u"Other"_s, u"text"_s);
    RegDeleteValue(Hive::CurrentUser, key, u"Other"_s);
    ResetRegistryFiles();
    fuzzing::clearScratchFolder();
    return 0;
}
