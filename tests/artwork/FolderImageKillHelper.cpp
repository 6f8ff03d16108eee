// Replaces the Folder.jpg of every folder named on the command line with
// IMAGE, saying "done" after each; the kill test stops it at a random moment.
// Usage: FolderImageKillHelper IMAGE FOLDER...

#include "artwork/FolderImageWrite.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    QFile image(QFile::decodeName(argv[1]));
    if (!image.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray data = image.readAll();
    std::printf("started\n");
    std::fflush(stdout);
    for (int i = 2; i < argc; ++i) {
        const QString target = QFile::decodeName(argv[i]) + QStringLiteral("/Folder.jpg");
        const QString failure = artwork::WriteFolderImage(target, data, {target, std::nullopt});
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
        std::printf("done %d\n", i - 1);
        std::fflush(stdout);
    }
    return 0;
}
