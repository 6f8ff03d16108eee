#pragma once

// Songs made by ffmpeg and read back by tools no one here wrote (mutagen,
// ffmpeg's decoder, ffprobe), for the tests of real files.

#include "tests/common/TestFiles.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace testing_support {

struct Tool {
    int exitCode = -1;
    QByteArray output;
};

// Runs program to its end (a minute at most), with its output and errors.
Tool run(const QString& program, const QStringList& arguments);

// Whether the programs are installed, and python3 with mutagen.
bool haveTools(const QStringList& programs);

// One second of a tone with a title and an artist, as ffmpeg encodes it for
// the extension of name; encoder adds ffmpeg output options (codec, flags).
QString makeSong(const TempFolder& folder, const QString& name, const QStringList& encoder = {});

// The pictures and comments (tags) of a song as mutagen reads them.
QJsonObject mutagenList(const QString& path);
QJsonArray mutagenPictures(const QString& path);
// The SHA-1 digests of the pictures' images in what mutagenList gave.
QStringList pictureDigests(const QJsonObject& listing);
void mutagenAdd(const QString& path, const QString& image, int type, const QString& description);

QString sha1(const QByteArray& bytes);

// The decoded audio, as a digest: what no change of pictures may alter.
QByteArray decodedAudio(const QString& path);

} // namespace testing_support
