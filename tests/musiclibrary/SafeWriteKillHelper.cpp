// Appends one picture to every song named on the command line, saying "done"
// after each; the kill test stops it at a random moment.
// Usage: SafeWriteKillHelper IMAGE SONG...
// Or, as a run through the library that keeps what it removes, takes the
// first picture out of every song of MUSIC:
//        SafeWriteKillHelper --remove-first DATA MUSIC

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"

#include <QFile>

#include <cstdio>

namespace {

int removeFirstPictures(const QString& dataFolder, const QString& music) {
    try {
        const musiclibrary::ITunesPtr library = musiclibrary::openLibrary(music, {dataFolder});
        const musiclibrary::TrackCollectionPtr tracks = library->LibraryPlaylist()->Tracks();
        library->StartArtworkRun(QStringLiteral("Delete artwork"));
        std::printf("started\n");
        std::fflush(stdout);
        for (int i = 1; i <= tracks->Count(); ++i) {
            tracks->Item(i)->EditArtwork({{1}, {}});
            std::printf("done %d\n", i);
            std::fflush(stdout);
        }
        library->EndArtworkRun();
    } catch (const musiclibrary::LibraryError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && QByteArray(argv[1]) == "--remove-first")
        return removeFirstPictures(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]));
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
