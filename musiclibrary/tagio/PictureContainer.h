#pragma once

// One kind of container that can hold pictures (ID3v2 in MPEG, AIFF or WAV;
// MP4 "covr"; FLAC picture blocks; the Vorbis comment of Ogg Vorbis and Opus). The public functions
// of AudioFileIO try the containers in turn and talk to the chosen one only through this interface.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/FileFailure.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace TagLib {
class IOStream;
}

namespace musiclibrary::tagio {

// The change one write makes to the list of pictures.
using PictureEdit = PictureChange;

// Why edit cannot be applied to a file holding count pictures (a position
// it does not have, a picture removed twice, an empty or oversized image);
// empty when it can.
QString editProblem(const PictureEdit& edit, qsizetype count);

// The pictures the edit leaves of before, for checking the written copy.
// Assumes editProblem() found nothing.
QList<QByteArray> picturesAfter(const QList<QByteArray>& before, const PictureEdit& edit);

// The same order in terms of the pictures kept: each entry is a position in
// before, or -1 - i for the picture of insertion i.
QList<int> orderAfter(qsizetype beforeCount, const PictureEdit& edit);

// The first bytes of a file, read when a container first asks for them: a
// file whose extension settles its container is not read an extra time.
class FileHead {
public:
    explicit FileHead(std::function<QByteArray()> read) : m_read(std::move(read)) {}
    const QByteArray& bytes() {
        if (m_read) {
            m_bytes = m_read();
            m_read = nullptr;
        }
        return m_bytes;
    }

private:
    std::function<QByteArray()> m_read;
    QByteArray m_bytes;
};

// What a save must leave alone, in a form that compares: where the audio
// lies and how long it is, described differently by each container.
struct AudioLayout {
    QList<qint64> values;
    bool operator==(const AudioLayout&) const = default;
};

// Checks the written copy; throws FileFailure when it does not hold what was
// intended. Returns the copy's facts, read in the same pass, so that the
// index learns them without opening the file once more.
using Verifier = std::function<AudioFileFacts()>;

// A change written as a new ID3v2 tag in place of the one at the start of
// the file, everything after it staying byte for byte: the cheap way to
// write, whether the new tag fits where the old one was or the file is
// written anew.
struct HeadRewrite {
    // Where the rewritten region starts; oldHeadSize is its length. A region
    // that does not start the file is only ever written in place.
    qint64 offset = 0;
    // The old tag's complete size (header, frames, padding), 0 for none.
    qint64 oldHeadSize = 0;
    // The new tag: header and frames, no padding (its header says so).
    QByteArray tag;
    // Checks a file written this way; throws FileFailure when it does not
    // hold what was intended.
    std::function<AudioFileFacts(const QString& writtenPath)> verify;
    // Fills tag to exactly size bytes with the container's own padding, or
    // answers empty when it cannot; unset: ID3v2 padding (paddedTag).
    std::function<QByteArray(const QByteArray& tag, qint64 size)> pad;
    // The padding a tag written anew gets for the next change; 0: room for
    // a picture as large as the largest ID3v2 frame (generousPadding).
    qint64 roomForNextChange = 0;
};

// Pads a tag made for HeadRewrite to size bytes (at least its own), with its
// header's size field to match.
QByteArray paddedTag(const QByteArray& tag, qint64 size);

class PictureContainer {
public:
    virtual ~PictureContainer() = default;

    // Whether this container takes files with this lower-case extension.
    virtual bool claimsSuffix(const QString& suffix) const = 0;
    // Whether the first bytes of a file fit; byName says whether the extension
    // already chose this container (then only a contradiction refuses).
    virtual bool acceptsContent(const QString& suffix, FileHead& head, bool byName) const = 0;

    // stream is the file opened read-only, or null when it cannot be opened;
    // the caller opens it once for the content check and the tags alike.
    virtual AudioFileFacts readFacts(const QString& path, TagLib::IOStream* stream) const = 0;
    // Throws FileFailure.
    virtual QList<Picture> readPictures(const QString& path) const = 0;
    // Changes the pictures of a private copy of a song file and saves it.
    // Throws FileFailure when the file cannot be changed safely; returns the
    // check that the caller runs on the saved copy.
    // path is the original, whose name the facts go by.
    virtual Verifier applyEdit(const QString& path, const QString& copyPath,
                               const PictureEdit& edit) const = 0;
    // The edit as a new tag for the start of the file, where the container
    // keeps its tag there and nothing else needs to move, or as the same
    // number of bytes for a region written where it lies (MP4's movie atom);
    // none otherwise.
    // Reads path only. Throws FileFailure as applyEdit does.
    virtual std::optional<HeadRewrite> planHeadRewrite(const QString& /*path*/,
                                                       const PictureEdit& /*edit*/) const {
        return std::nullopt;
    }
};

// The containers in the order they are tried.
const QList<const PictureContainer*>& pictureContainers();
// Whether a container takes files with this lower-case extension.
bool containerClaims(const QString& suffix);

const PictureContainer& mpegContainer();
const PictureContainer& aiffContainer();
const PictureContainer& wavContainer();
const PictureContainer& mp4Container();
const PictureContainer& flacContainer();
const PictureContainer& oggContainer();

// The failure for a saved copy that does not hold what was intended.
FileFailure savedCopyWrong(const QString& what);

// A description for a new picture that none of taken has (ID3v2 frames and
// Vorbis comment pictures are told apart by it): empty, else "Cover 2", ...;
// it is added to taken.
QString newDescription(QStringList& taken);

// The MIME type written for a new picture, from its first bytes.
QString mimeTypeOf(const QByteArray& imageData);
bool isGif(const QByteArray& imageData);

} // namespace musiclibrary::tagio
