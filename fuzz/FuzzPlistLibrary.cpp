// A library file exported by a desktop player, as copied from anywhere:
// read with the usual limits and with tight ones (so that every limit is
// reached), each location then mapped to a path of this machine.

#include "fuzz/FuzzSupport.h"

#include "musiclibrary/ITunes.h"
#include "musiclibrary/PlistLibrary.h"
#include "musiclibrary/TrackLocation.h"

using namespace musiclibrary;
using namespace Qt::StringLiterals;

namespace {

void readWith(const QString& path, const PlistLimits& limits) {
    PlistLibrary library;
    try {
        library = readPlistLibrary(path, limits);
    } catch (const LibraryError&) {
        return;
    }
    if (library.tracks.size() > limits.tracks || library.playlists.size() > limits.playlists)
        fuzzing::fail("a library beyond its limits was read");
    qsizetype entries = 0;
    for (const PlistPlaylist& playlist : library.playlists)
        entries += playlist.trackIds.size();
    if (entries > limits.playlistEntries)
        fuzzing::fail("more playlist entries than the limit were read");
    const LocationMapper mapper(path, library.musicFolder);
    for (const PlistTrack& track : library.tracks) {
        if (track.location.size() > limits.valueLength || track.name.size() > limits.valueLength)
            fuzzing::fail("a value longer than the limit was read");
        mapper.map(track.location);
        pathOfFileUrl(track.location);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::ensureCoreApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    looksLikePlist(bytes.left(64));
    const QString path = fuzzing::writeScratchFile(u"iTunes Music Library.xml"_s, bytes);
    readWith(path, PlistLimits{});
    PlistLimits tight;
    tight.valueLength = 40;
    tight.tracks = 3;
    tight.playlists = 2;
    tight.playlistEntries = 4;
    readWith(path, tight);
    fuzzing::clearScratchFolder();
    return 0;
}
