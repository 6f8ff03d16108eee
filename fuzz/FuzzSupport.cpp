#include "fuzz/FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace fuzzing {

namespace {

// Never destroyed: the process ends with libFuzzer's exit, after which Qt's
// own globals may be gone already.
QCoreApplication* application = nullptr;

// Qt keeps pointers to argc and argv for the application's life.
int appArgc = 1;
char appName[] = "quillmoth-fuzz";
char* appArgv[] = {appName, nullptr};

} // namespace

const QString& scratchFolder() {
    static const QString folder = [] {
        const QString base = QDir(u"/dev/shm"_s).exists() ? u"/dev/shm"_s : QDir::tempPath();
        const QString path = base + u"/quillmoth-fuzz-"_s + QString::number(::getpid());
        QDir(path).removeRecursively();
        if (!QDir().mkpath(path))
            fail("cannot make the scratch folder");
        // Removed again at exit, so that long campaigns leave nothing behind.
        std::atexit([] {
            QDir(u"/dev/shm/quillmoth-fuzz-"_s + QString::number(::getpid())).removeRecursively();
            QDir(QDir::tempPath() + u"/quillmoth-fuzz-"_s + QString::number(::getpid()))
                .removeRecursively();
        });
        return path;
    }();
    return folder;
}

QString writeScratchFile(const QString& fileName, const QByteArray& bytes) {
    const QString path = scratchFolder() + u'/' + fileName;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write a scratch file");
    return path;
}

void clearScratchFolder() {
    QDir folder(scratchFolder());
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const QString path = folder.filePath(entry);
        if (!QFile::remove(path))
            QDir(path).removeRecursively();
    }
}

void ensureGuiApplication(int*, char***) {
    if (application)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QGuiApplication(appArgc, appArgv);
}

void ensureCoreApplication(int*, char***) {
    if (application)
        return;
    application = new QCoreApplication(appArgc, appArgv);
}

void fail(const char* what) {
    std::fprintf(stderr, "quillmoth fuzz target: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzzing
