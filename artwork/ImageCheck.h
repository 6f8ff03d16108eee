#pragma once

// Whether an image file is fit to be put into a song: a complete JPEG, PNG
// or BMP of a sensible size. A song keeps what it is given for good, and
// every player that shows it decodes it: a cut-short download, a text file
// named .jpg or a header that declares a gigapixel picture must not get in.

#include <QByteArray>
#include <QString>

namespace artwork {

// The largest image file taken, as the engine takes it.
inline constexpr qint64 MaxImageFileBytes = 64 * 1024 * 1024;

// Why data is no such image (a sentence naming path), empty when it is one.
QString ImageDataProblem(const QString& path, const QByteArray& data);
// The same for a file, which is read.
QString ImageFileProblem(const QString& path);
// Reads the file and checks it: its bytes go to data when it is such an
// image (the answer is then empty), so that they need no second reading.
QString ReadImageFile(const QString& path, QByteArray& data);

} // namespace artwork
