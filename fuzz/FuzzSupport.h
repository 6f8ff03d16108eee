#pragma once

// What the fuzz targets share: the libFuzzer entry points, a private scratch
// folder for readers that want a file, and the Qt application some of them
// need. The same target sources build against libFuzzer in the fuzzing
// build and against ReplayMain.cpp in the normal one, where ctest runs the
// saved inputs through them.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fuzzing {

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A folder of this process's own, on a memory file system where there is
// one: the readers and writers under test flush and rename as they would on
// disk, and nothing of another run gets in the way.
const QString& scratchFolder();

// Writes bytes to fileName in the scratch folder, returning its path; an
// empty path when the file could not be written (the run then aborts, since
// every later result would be meaningless).
QString writeScratchFile(const QString& fileName, const QByteArray& bytes);

// Removes everything the last input left in the scratch folder.
void clearScratchFolder();

// Creates the QGuiApplication on the offscreen platform once; the drop and
// image targets need one for image conversions and plugins.
void ensureGuiApplication(int* argc, char*** argv);
// A QCoreApplication for the targets that need no platform.
void ensureCoreApplication(int* argc, char*** argv);

// Stops the run with a message: an input broke a promise the code makes.
[[noreturn]] void fail(const char* what);

} // namespace fuzzing
