#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"
#include "app/cli/RunCommand.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

const QString RUN_OPTION = u"--run"_s;
const QString TRACKS_OPTION = u"--tracks"_s;

std::optional<qint64> runOption(const OptionReader& options) {
    if (!options.isSet(RUN_OPTION))
        return std::nullopt;
    return options.number(RUN_OPTION, 1, std::numeric_limits<int>::max(), 0);
}

QString persistentIdText(quint64 id) {
    return u"%1"_s.arg(id, 16, 16, QChar(u'0')).toUpper();
}

int listRemoved(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments, {RUN_OPTION}, {});
    for (const musiclibrary::RemovedChange& change :
         context.library().RemovedArtwork(runOption(options))) {
        qint64 bytes = 0;
        int downloaded = 0;
        for (const musiclibrary::RemovedPicture& picture : change.pictures) {
            bytes += picture.data.size();
            downloaded += picture.downloaded ? 1 : 0;
        }
        context.print(
            {QString::number(change.id), QString::number(change.run),
             change.time.toLocalTime().toString(Qt::ISODate),
             change.runDescription.isEmpty() ? u"(single change)"_s : change.runDescription,
             persistentIdText(change.persistentId),
             QString::number(change.pictures.size() - downloaded), QString::number(downloaded),
             QString::number(bytes), change.path});
    }
    return 0;
}

// The 1-based index of every library track by its persistent id.
QHash<quint64, int> trackIndexesById(musiclibrary::IiTunes& library) {
    QHash<quint64, int> indexes;
    const musiclibrary::TrackCollectionPtr tracks = library.LibraryPlaylist()->Tracks();
    const int count = tracks->Count();
    for (int i = 1; i <= count; ++i) {
        int32_t high = 0;
        int32_t low = 0;
        library.GetITObjectPersistentIDs(tracks->Item(i), high, low);
        indexes.insert(quint64(quint32(high)) << 32 | quint32(low), i);
    }
    return indexes;
}

int restoreRemoved(CliContext& context, const QStringList& arguments) {
    const OptionReader options(arguments, {RUN_OPTION, TRACKS_OPTION}, {});
    musiclibrary::IiTunes& library = context.library();
    QList<musiclibrary::RemovedChange> changes = library.RemovedArtwork(runOption(options));
    if (!options.isSet(RUN_OPTION) && !changes.isEmpty()) {
        // Without --run the latest run is undone, as an undo would.
        const qint64 latest = changes.last().run;
        changes.removeIf([latest](const auto& change) { return change.run != latest; });
    }
    const QHash<quint64, int> indexes = trackIndexesById(library);
    if (options.isSet(TRACKS_OPTION)) {
        const QList<int> wanted =
            options.numbers(TRACKS_OPTION, 1, std::numeric_limits<int>::max());
        for (const int index : wanted)
            context.track(QString::number(index)); // a UsageError names a track not there
        changes.removeIf([&](const auto& change) {
            return !wanted.contains(indexes.value(change.persistentId, 0));
        });
    }
    if (changes.isEmpty()) {
        context.printText(u"No removed artwork is kept for these songs."_s);
        return 0;
    }

    // Newest first: a song changed twice in a run gets the older change
    // undone last, onto the pictures it left.
    bool refused = false;
    std::for_each(changes.crbegin(), changes.crend(), [&](const auto& change) {
        const QString index = QString::number(indexes.value(change.persistentId, 0));
        try {
            const bool changed = library.RestoreRemovedArtwork(change.id);
            context.print({changed ? u"restored"_s : u"unchanged"_s, index, change.path,
                           changed ? QString() : u"the song has these pictures already"_s});
        } catch (const musiclibrary::LibraryError& error) {
            refused = true;
            context.print({u"refused"_s, index, change.path, error.description()});
        }
        context.flush();
    });
    return refused ? 1 : 0;
}

} // namespace

Command removedCommand() {
    return {u"removed"_s,
            u"[--run ID]"_s,
            u"list the removed artwork kept for restoring"_s,
            0,
            2,
            listRemoved,
            {{u"--run"_s, u"ID"_s, u"only what run ID removed"_s}},
            u"one line per changed song: change, run, time, run description, persistent id, "
            u"pictures, downloaded pictures, bytes, location"_s};
}

Command restoreCommand() {
    return {u"restore"_s,
            u"[--run ID] [--tracks LIST]"_s,
            u"put back what a run removed (the latest run without --run)"_s,
            0,
            4,
            restoreRemoved,
            {{u"--run"_s, u"ID"_s, u"the run to undo (the second field of removed)"_s},
             {u"--tracks"_s, u"LIST"_s,
              u"only the tracks of LIST, comma-separated track indexes (the first field of "
              u"tracks); default every song of the run"_s}},
            u"one line per song, newest change first: restored/unchanged/refused, track index, "
            u"location, detail; or a line saying nothing is kept for these songs"_s,
            {{1, u"a song was refused (it changed since the run), or the command failed"_s}}};
}

} // namespace cli
