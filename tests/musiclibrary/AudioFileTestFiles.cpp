#include "tests/musiclibrary/AudioFileTestFiles.h"

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/SafeFileWrite.h"
#include "musiclibrary/tagio/ByteOrder.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace testing_support {

namespace {

QByteArray syncSafe(quint32 value) {
    QByteArray out;
    for (int i = 3; i >= 0; --i)
        out.append(char((value >> (7 * i)) & 0x7F));
    return out;
}

} // namespace

QByteArray id3v2Frame(int version, const QByteArray& id, const QByteArray& payload) {
    const auto size = static_cast<quint32>(payload.size());
    if (version == 2)
        return id + bigEndianBytes(size, 3) + payload;
    const QByteArray sizeBytes = version == 4 ? syncSafe(size) : bigEndianBytes(size, 4);
    return id + sizeBytes + QByteArray(2, '\0') + payload;
}

QByteArray id3v2TextFrame(int version, const QByteArray& id, const QByteArray& text) {
    return id3v2Frame(version, id, QByteArray(1, '\0') + text);
}

QByteArray id3v2Tag(int version, const QByteArray& frames, int padding, unsigned char flags) {
    const QByteArray body = frames + QByteArray(padding, '\0');
    return QByteArray("ID3") + char(version) + '\0' + char(flags) +
           syncSafe(static_cast<quint32>(body.size())) + body;
}

QByteArray afterId3v2Tag(const QByteArray& file) {
    // The tag's size is sync-safe in bytes 6..9 and leaves out the header.
    qint64 size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (static_cast<unsigned char>(file.at(i)) & 0x7F);
    return file.mid(10 + size);
}

QByteArray mpegAudioOfSeed() {
    return afterId3v2Tag(seedBytes("seed.mp3"));
}

QStringList leftoverCopies(const QString& folder) {
    // A series of writes keeps its folder's journal until it ends: what is
    // left after the end is what counts.
    musiclibrary::SafeFileWrite::flushFolders();
    QStringList names;
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : all) {
        if (name.contains(musiclibrary::SafeFileWrite::copyNameMarker()))
            names.append(name);
    }
    return names;
}

QByteArray seedBytes(const char* name) {
    return readFile(seedPath(QString::fromLatin1(name)));
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_ino;
}

QByteArray bigEndianBytes(quint64 value, int bytes) {
    QByteArray out;
    if (bytes > 4)
        musiclibrary::tagio::appendBigEndian(out, quint32(value >> 32), bytes - 4);
    musiclibrary::tagio::appendBigEndian(out, quint32(value), qMin(bytes, 4));
    return out;
}

QList<QByteArray> pictureBytes(const QString& path) {
    QList<QByteArray> bytes;
    for (const musiclibrary::Picture& picture : musiclibrary::readPictures(path))
        bytes.append(picture.data);
    return bytes;
}

} // namespace testing_support
