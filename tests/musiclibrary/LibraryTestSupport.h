#pragma once

// Helpers for the library-layer tests: songs with chosen tags made from the
// seed files, opening libraries with a private data folder, and changing a
// file behind the index's back.

#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"
#include "musiclibrary/demo/SongTagWriter.h"
#include "tests/common/TestFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

namespace testing_support {

// Copies the seed for relative's extension into folder and writes tags and
// pictures (seed image names) into it, and the album facts when given.
QString makeSong(const TempFolder& folder, const QString& relative,
                 const musiclibrary::SongTags& tags, const QStringList& pictureSeeds = {},
                 const musiclibrary::AlbumTags* album = nullptr);

QList<musiclibrary::TrackPtr> allTracks(musiclibrary::IiTunes& library);
QStringList trackNames(musiclibrary::IiTunes& library);

// The persistent id as one 64-bit value.
quint64 persistentId(musiclibrary::IiTunes& library, const musiclibrary::TrackPtr& track);

// Overwrites a file with the same number of other bytes and puts its
// modification time back, so that only reading the file can tell.
void replaceContentKeepingStamp(const QString& path);

// Runs call and returns the LibraryError it throws (number 0 when it throws
// nothing, which the caller's expectations then reject).
template <typename Call> musiclibrary::LibraryError libraryErrorOf(Call call) {
    try {
        call();
    } catch (const musiclibrary::LibraryError& error) {
        return error;
    }
    return musiclibrary::LibraryError(0, QString());
}

class LibraryTest : public ::testing::Test {
protected:
    musiclibrary::LibraryOptions options() const {
        return {m_data.path() + QStringLiteral("/data")};
    }
    musiclibrary::ITunesPtr open(const QString& path) const {
        return musiclibrary::openLibrary(path, options());
    }
    musiclibrary::ITunesPtr openMusic() const { return open(m_music.path()); }
    const TempFolder& music() const { return m_music; }
    QString dataFolder() const { return options().dataFolder; }

private:
    TempFolder m_music;
    TempFolder m_data;
};

} // namespace testing_support
