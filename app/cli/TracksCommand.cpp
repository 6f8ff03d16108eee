#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

// A dash when the track's artwork cannot be read (missing or unreadable file).
QString artworkCountText(const musiclibrary::TrackPtr& track) {
    try {
        return QString::number(track->Artwork()->Count());
    } catch (const musiclibrary::LibraryError&) {
        return u"-"_s;
    }
}

int listTracks(CliContext& context, const QStringList&) {
    musiclibrary::IiTunes& library = context.library();
    const musiclibrary::TrackCollectionPtr tracks = library.LibraryPlaylist()->Tracks();
    const int count = tracks->Count();
    for (int i = 1; i <= count; ++i) {
        const musiclibrary::TrackPtr track = tracks->Item(i);
        int32_t high = 0;
        int32_t low = 0;
        library.GetITObjectPersistentIDs(track, high, low);
        context.print({QString::number(i), QString::number(high), QString::number(low),
                       track->KindAsString(), artworkCountText(track), track->Name(),
                       track->Artist(), track->Album(), QString::number(track->TrackNumber()),
                       track->Location()});
    }
    return 0;
}

} // namespace

Command tracksCommand() {
    return {u"tracks"_s,
            {},
            u"list every track of the library"_s,
            0,
            0,
            listTracks,
            {},
            u"one line per track: index, persistent id high and low, kind, artwork count (- when "
            u"the file's tags cannot be read), name, artist, album, track number, location"_s};
}

} // namespace cli
