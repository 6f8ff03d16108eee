// Appends one picture to every song named on the command line, saying "done"
// after each; the kill test stops it at a random moment.
// Usage: SafeWriteKillHelper IMAGE SONG...

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    QFile image(QFile::decodeName(argv[1]));
    if (!image.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray data = image.readAll();
    std::printf("started\n");
    std::fflush(stdout);
    for (int i = 2; i < argc; ++i) {
        try {
            musiclibrary::appendPicture(QFile::decodeName(argv[i]), data);
        } catch (const musiclibrary::LibraryError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        std::printf("done %d\n", i - 1);
        std::fflush(stdout);
    }
    return 0;
}
