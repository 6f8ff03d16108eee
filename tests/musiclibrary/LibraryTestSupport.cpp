#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace testing_support {

QString makeSong(const TempFolder& folder, const QString& relative,
                 const musiclibrary::SongTags& tags, const QStringList& pictureSeeds,
                 const musiclibrary::AlbumTags* album) {
    const QString extension = QFileInfo(relative).suffix().toLower();
    const QString path = folder.copySeed(QStringLiteral("seed.") + extension, relative);
    QList<QByteArray> pictures;
    for (const QString& seed : pictureSeeds)
        pictures.append(readFile(seedPath(seed)));
    musiclibrary::writeSongTags(path, tags, pictures, album);
    return path;
}

QList<musiclibrary::TrackPtr> allTracks(musiclibrary::IiTunes& library) {
    QList<musiclibrary::TrackPtr> tracks;
    const auto collection = library.LibraryPlaylist()->Tracks();
    for (int i = 1; i <= collection->Count(); ++i)
        tracks.append(collection->Item(i));
    return tracks;
}

QStringList trackNames(musiclibrary::IiTunes& library) {
    QStringList names;
    for (const auto& track : allTracks(library))
        names.append(track->Name());
    return names;
}

quint64 persistentId(musiclibrary::IiTunes& library, const musiclibrary::TrackPtr& track) {
    int32_t high = 0;
    int32_t low = 0;
    library.GetITObjectPersistentIDs(track, high, low);
    return (quint64(quint32(high)) << 32) | quint32(low);
}

void replaceContentKeepingStamp(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat before;
    ASSERT_EQ(stat(name.constData(), &before), 0);
    writeFile(path, QByteArray(qsizetype(before.st_size), 'x'));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, name.constData(), times, 0), 0);
}

} // namespace testing_support
