#pragma once

// The drop decoder every window shares: what is being dragged (text, a web
// address, a link of a sister program, files), whether the window under the
// pointer takes that kind, and on a drop the data kept for the window's
// drop timer, so that the work runs after the drag is over.
//
// Browsers on Linux often hand a dragged picture over as image data, or as
// a data: address, rather than as a file: such a drag counts as files, and
// on the drop its image is written, as a JPEG file, to a file in the
// application-data folder that stands for the dropped file.

#include <QString>
#include <QStringList>

#include <cstdint>

class QMimeData;

namespace artwork {

enum DropKind : int32_t {
    DropUnknown = 0,
    DropTextKind = 1,
    DropUrl = 2,
    DropWexlink = 3,
    DropFilesKind = 4
};

// Drop effects told to the drag source.
enum DropEffect : int { EffectNone = 0, EffectCopyAndLink = 5 };

// "unknown", "text", "url", "wexlink", "files".
QString DropKindNameOf(int32_t kind);

// The acceptance tags of the windows' drop timers.
inline const QString MainWindowDropTag = QStringLiteral("T~ext Files U~rl");
inline const QString AboutBoxDropTag = QStringLiteral("teX~t");

// The link prefix of the sister program's drags.
QString WexlinkPrefix();

// The largest dragged image taken.
inline constexpr qsizetype MaxDroppedImageBytes = 64 * 1024 * 1024;

class OleDnd {
public:
    // Where dragged image data becomes a file: the application-data folder.
    explicit OleDnd(QString imageFolder = {});

    // A drag over a window whose drop timer has acceptTag. Returns the
    // effect; allowed false refuses everything.
    int OleDragOver(const QMimeData* data, const QString& acceptTag, bool allowed = true);
    // The drop. Returns the effect; true in *startTimer when the window's
    // drop timer is to be started.
    int OleDrop(const QMimeData* data, const QString& acceptTag, bool* startTimer,
                bool allowed = true);

    int32_t DropKind = DropUnknown;
    QString DropKindName = DropKindNameOf(DropUnknown);
    QString DropText;
    QStringList DropFiles;
    bool DropAccepted = false;
    int32_t DropLinkNumber = 0;

private:
    int decode(const QMimeData* data, const QString& acceptTag, bool allowed, bool dropping);
    QString writeDraggedImage(const QMimeData* data);

    QString m_imageFolder;
};

// Whether data claims every one of the nine formats the test asks for (a
// source that says it has everything is not believed).
bool ClaimsEveryFormat(const QMimeData& data);
// The bytes of a dragged image that holds no local file (image data, or a
// data: address), empty when there is none. The original file's bytes are
// preferred to a browser's re-encoding of the decoded picture.
QByteArray DraggedImageBytes(const QMimeData& data);
// Whether the drag holds such an image within the size limit, without
// decoding it: for drag-over.
bool HasDraggedImage(const QMimeData& data);
// DraggedImageBytes as a JPEG file: a JPEG as it came, any other picture
// that passes the dropped-image checks decoded and written as a baseline
// JPEG. A picture that fails them is returned as it came, to be refused.
QByteArray DraggedImageAsJpeg(const QMimeData& data);
// The picture as a baseline JPEG (see-through parts white), empty when it
// cannot be decoded.
QByteArray BaselineJpeg(const QByteArray& image);
inline constexpr int JpegQuality = 92;

} // namespace artwork
