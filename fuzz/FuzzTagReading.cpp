// Song files as they come: the bytes are a song file named with one
// container's extension, read the way indexing a library reads it (tags
// and picture facts), then its pictures listed, then one picture put in
// front (and the old first one taken out), as the embedding runs do. The
// engine's own parsers of ID3v2 frames, MP4 item atoms, RIFF chunks, FLAC
// metadata blocks and Ogg pages also
// get the bytes directly, as they would a tag or file cut from anywhere.
//
// Built once per container kind: QUILLMOTH_FUZZ_SUFFIXES names the
// extensions the file is tried under.

#include "fuzz/FuzzSupport.h"

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/tagio/Id3v2FrameWalk.h"
#include "musiclibrary/tagio/Mp4ItemAtoms.h"
#include "musiclibrary/tagio/RiffChunks.h"
#include "musiclibrary/tagio/XiphStreams.h"

#include <QStringList>

#include <algorithm>

using namespace musiclibrary;
using namespace Qt::StringLiterals;

namespace {

// The smallest bytes the engine takes for a JPEG: its signature.
const QByteArray newPicture("\xFF\xD8\xFF\xE0 fuzz cover \xFF\xD9", 18);

QByteArray rangeOf(const QByteArray& bytes, qint64 offset, qint64 length) {
    if (offset < 0 || length <= 0 || offset >= bytes.size())
        return {};
    return bytes.mid(offset, std::min<qint64>(length, bytes.size() - offset));
}

// A movie atom laid out anew with one cover must be as long as the old
// one, and walk back to exactly that cover.
void checkMovieRewrite(const QByteArray& bytes, const tagio::ByteRangeReader& read) {
    const auto movie = tagio::mp4MovieTag(bytes.size(), read);
    if (!movie)
        return;
    const QByteArray entry = tagio::mp4CoverEntry(13, newPicture);
    const auto region = tagio::mp4MovieWithCovers(*movie, {entry});
    if (!region)
        return;
    if (movie->moov.offset + region->size() > bytes.size())
        fuzzing::fail("a movie atom laid out anew reaches past the end of the file");
    QByteArray written = bytes;
    written.replace(movie->moov.offset, region->size(), *region);
    const auto after = tagio::mp4MovieTag(written.size(), [&written](qint64 offset, qint64 length) {
        return rangeOf(written, offset, length);
    });
    if (!after || after->covers != QList<QByteArray>{entry})
        fuzzing::fail("a movie atom laid out anew does not walk back to its cover");
}

void parseDirectly(const QByteArray& bytes) {
    const auto read = [&bytes](qint64 offset, qint64 length) {
        return rangeOf(bytes, offset, length);
    };
    const tagio::Id3v2Walk walk = tagio::walkId3v2Tag(bytes);
    if (walk.intact() && (walk.completeSize > bytes.size() || walk.framesEnd > walk.completeSize))
        fuzzing::fail("an intact ID3v2 walk ends outside its tag");
    tagio::id3v2CompleteSize(bytes.left(10));
    tagio::mp4ItemNames(bytes.size(), read);
    checkMovieRewrite(bytes, read);
    for (const bool bigEndian : {false, true}) {
        const tagio::RiffLayout layout = tagio::readRiffLayout(read, bytes.size(), bigEndian);
        for (const tagio::RiffChunk& chunk : layout.chunks)
            if (chunk.dataOffset + chunk.size > bytes.size())
                fuzzing::fail("a RIFF chunk reaches past the end of the file");
        tagio::chunksBesideId3(layout);
    }
    QString error;
    const tagio::FlacLayout flac = tagio::walkFlac(bytes.size(), read, error);
    if (error.isEmpty()) {
        for (const tagio::FlacBlock& block : flac.blocks)
            if (block.offset + 4 + block.length > flac.audioStart)
                fuzzing::fail("a FLAC block reaches past the start of the audio");
        if (flac.audioStart >= bytes.size())
            fuzzing::fail("a FLAC stream's audio starts past the end of the file");
    }
    error.clear();
    qint64 covered = 0;
    for (const tagio::OggPage& page : tagio::walkOgg(bytes.size(), read, error))
        covered += page.length;
    if (error.isEmpty() && covered != bytes.size())
        fuzzing::fail("the Ogg pages walked do not cover the file");
}

void readAndChange(const QString& suffix, const QByteArray& bytes) {
    const QString path = fuzzing::writeScratchFile(u"song."_s + suffix, bytes);
    const AudioFileFacts facts = readAudioFileFacts(path);
    QList<Picture> pictures;
    try {
        pictures = readPictures(path);
    } catch (const LibraryError&) {
        return; // refused cleanly: nothing to change either
    }
    if (!facts.picturesSupported)
        return;
    PictureChange change;
    if (!pictures.isEmpty())
        change.remove = {0};
    change.insert = {{0, newPicture}};
    try {
        changePictures(path, change);
    } catch (const LibraryError&) {
        return;
    }
    // The write checked its copy before keeping it; a file that reads back
    // otherwise means that check let a wrong write through.
    QList<Picture> after;
    try {
        after = readPictures(path);
    } catch (const LibraryError&) {
        fuzzing::fail("a written file cannot be read back");
    }
    if (after.size() != pictures.size() + (pictures.isEmpty() ? 1 : 0) || after.isEmpty() ||
        after.first().data != newPicture)
        fuzzing::fail("a written file does not hold the pictures intended");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::ensureCoreApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    parseDirectly(bytes);
    static const QStringList suffixes =
        QString::fromLatin1(QUILLMOTH_FUZZ_SUFFIXES).split(u' ', Qt::SkipEmptyParts);
    for (const QString& suffix : suffixes) {
        readAndChange(suffix, bytes);
        fuzzing::clearScratchFolder();
    }
    return 0;
}
