#pragma once

// Finding the song files of a music folder, and the size and modification
// time that tell the index whether a file changed since it was last read.

#include <QList>
#include <QString>
#include <QStringView>

namespace musiclibrary {

struct FileStamp {
    qint64 size = -1;
    qint64 mtimeNs = 0;

    bool isValid() const { return size >= 0; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct FoundFile {
    QString path;
    FileStamp stamp;
};

// Whether a file name has the extension of an audio kind that players list:
// those that can hold pictures (mp3, m4a, aiff, wav, ...) and those that
// cannot (ogg, flac, wma, opus, ...).
bool isAudioFileName(QStringView fileName);

// The stamp of a regular file (symbolic links followed); invalid when the
// path is missing or not a regular file.
FileStamp statFile(const QString& path);

// Every audio file below root, depth first with each folder's entries sorted
// by name, so that two listings of an unchanged folder agree. Hidden files
// are listed like any other. A folder reached twice (through a symbolic-link
// loop or a second link) is walked once. Unreadable folders are skipped.
QList<FoundFile> listAudioFiles(const QString& root);

} // namespace musiclibrary
