#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

#include <QFileInfo>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int saveArtwork(CliContext& context, const QStringList& arguments) {
    const musiclibrary::TrackPtr track = context.track(arguments[0]);
    const int position = positiveNumber(arguments[1], u"artwork position"_s);
    track->Artwork()->Item(position)->SaveArtworkToFile(arguments[2]);
    context.print({u"saved"_s, arguments[2], QString::number(QFileInfo(arguments[2]).size())});
    return 0;
}

} // namespace

Command saveArtworkCommand() {
    return {u"save-artwork"_s,
            u"INDEX POSITION PATH"_s,
            u"write the bytes of artwork POSITION of track INDEX to PATH"_s,
            3,
            3,
            saveArtwork,
            {},
            u"\"saved\", the path, the bytes written"_s};
}

} // namespace cli
