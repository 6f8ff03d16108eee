#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int deleteArtwork(CliContext& context, const QStringList& arguments) {
    const musiclibrary::TrackPtr track = context.track(arguments[0]);
    const int position = positiveNumber(arguments[1], u"artwork position"_s);
    const musiclibrary::ArtworkCollectionPtr artwork = track->Artwork();
    artwork->Item(position)->Delete();
    context.print(
        {u"deleted"_s, arguments[0], QString::number(position), QString::number(artwork->Count())});
    return 0;
}

} // namespace

Command deleteArtworkCommand() {
    return {u"delete-artwork"_s,
            u"INDEX POSITION"_s,
            u"remove artwork POSITION of track INDEX"_s,
            2,
            2,
            deleteArtwork,
            {},
            u"\"deleted\", the track index, the position, the artwork count left"_s};
}

} // namespace cli
