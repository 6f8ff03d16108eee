#pragma once

// Walks the frame headers of a raw ID3v2 tag without TagLib. TagLib stops
// parsing at the first frame it cannot take (a frame of size 0, for one) and a
// later save silently drops every frame after it; this walk finds such tags so
// that they are refused instead of damaged.

#include <QByteArray>
#include <QString>

namespace musiclibrary::tagio {

struct Id3v2Walk {
    bool present = false;    // the bytes begin with an ID3v2 header
    int majorVersion = 0;    // 2, 3 or 4
    qint64 completeSize = 0; // header, frames, padding and footer
    int frames = 0;          // frames before the walk stopped
    // Frames that TagLib merges into the recording date when it reads the tag
    // (TDAT and TIME; TDA and TIM in v2.2), so that it may hold fewer frames.
    int mergedOnRead = 0;
    // Where the frames end and the padding begins, from the tag's first
    // byte; -1 when the tag is unsynchronised (the offset would be of the
    // decoded bytes) or was not walked to its end.
    qint64 framesEnd = -1;
    // Empty when the whole frame area was walked; else why saving the tag
    // would lose data.
    QString problem;

    bool intact() const { return present && problem.isEmpty(); }
};

// tag holds the bytes from the tag's first byte on; it may be cut short by the
// end of the file, which counts as a problem. Never reads outside tag.
Id3v2Walk walkId3v2Tag(const QByteArray& tag);

// The complete size an ID3v2 header announces (10-byte header, body, footer),
// or -1 when header is not a valid ID3v2 header.
qint64 id3v2CompleteSize(const QByteArray& header);

} // namespace musiclibrary::tagio
