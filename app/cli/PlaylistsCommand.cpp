#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int listPlaylists(CliContext& context, const QStringList&) {
    const musiclibrary::PlaylistCollectionPtr playlists =
        context.library().LibrarySource()->Playlists();
    const int count = playlists->Count();
    for (int i = 1; i <= count; ++i) {
        const musiclibrary::PlaylistPtr playlist = playlists->Item(i);
        context.print({playlist->Name(), QString::number(playlist->Tracks()->Count())});
    }
    return 0;
}

} // namespace

Command playlistsCommand() {
    return {u"playlists"_s,
            {},
            u"list the user's playlists"_s,
            0,
            0,
            listPlaylists,
            {},
            u"one line per playlist: name, track count"_s};
}

} // namespace cli
