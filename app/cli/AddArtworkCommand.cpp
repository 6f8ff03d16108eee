#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int addArtwork(CliContext& context, const QStringList& arguments) {
    const musiclibrary::TrackPtr track = context.track(arguments[0]);
    const musiclibrary::ArtworkPtr added = track->AddArtworkFromFile(arguments[1]);
    context.print({u"added"_s, arguments[0], QString::number(added->Format())});
    return 0;
}

} // namespace

Command addArtworkCommand() {
    return {u"add-artwork"_s,
            u"INDEX IMAGE"_s,
            u"embed the image file as one more artwork of track INDEX"_s,
            2,
            2,
            addArtwork,
            {},
            u"\"added\", the track index, the artwork count now"_s};
}

} // namespace cli
