// What a drag brings along, from any program: the input is split into
// (format, payload) pairs that make up the drag's QMimeData, which then
// passes over and is dropped on the main window and the About box.
//
// Input layout, repeated until the bytes run out: one byte choosing the
// format (an index into the table below; 0xFF for a format named by the
// bytes up to the next newline), two bytes of payload length (big-endian,
// cut to what is left) and the payload.

#include "fuzz/FuzzSupport.h"

#include "artwork/OleDnd.h"

#include <QImage>
#include <QMimeData>

#include <algorithm>
#include <memory>

using namespace artwork;
using namespace Qt::StringLiterals;

namespace {

const char* const formats[] = {
    "text/uri-list",
    "text/plain",
    "text/plain;charset=utf-8",
    "text/html",
    "image/png",
    "image/jpeg",
    "image/bmp",
    "image/gif",
    "application/x-qt-image",
    "x-special/gnome-copied-files",
    "text/x-moz-url",
    "application/x-kde4-urilist",
    "text/rtf",
    "image/x-emf",
    "image/x-wmf",
    "application/octet-stream",
};
constexpr int formatCount = int(sizeof(formats) / sizeof(formats[0]));

// Qt's image conversions decode whatever they are given; large payloads
// only make the run slow.
constexpr qsizetype MaxDecodedImage = 16 * 1024;

std::unique_ptr<QMimeData> mimeDataOf(const QByteArray& bytes) {
    auto mime = std::make_unique<QMimeData>();
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const quint8 choice = quint8(bytes.at(pos++));
        QString format;
        if (choice == 0xFF) {
            const qsizetype end = bytes.indexOf('\n', pos);
            const qsizetype stop = end < 0 ? bytes.size() : end;
            format = QString::fromUtf8(bytes.mid(pos, stop - pos));
            pos = end < 0 ? bytes.size() : end + 1;
        } else {
            format = QString::fromLatin1(formats[choice % formatCount]);
        }
        qsizetype length = 0;
        if (pos + 2 <= bytes.size()) {
            length = quint8(bytes.at(pos)) << 8 | quint8(bytes.at(pos + 1));
            pos += 2;
        }
        length = std::min(length, bytes.size() - pos);
        const QByteArray payload = bytes.mid(pos, length);
        pos += length;
        if (format.isEmpty())
            continue;
        if (format == u"application/x-qt-image" && payload.size() <= MaxDecodedImage)
            mime->setImageData(QImage::fromData(payload));
        else
            mime->setData(format, payload);
    }
    return mime;
}

void dropOn(const QMimeData& mime, const QString& tag) {
    OleDnd dnd(fuzzing::scratchFolder() + u"/appdata"_s);
    dnd.OleDragOver(&mime, tag);
    dnd.OleDragOver(&mime, tag, false);
    bool startTimer = false;
    const int effect = dnd.OleDrop(&mime, tag, &startTimer);
    if (startTimer && (effect == EffectNone || !dnd.DropAccepted))
        fuzzing::fail("the drop timer starts for a refused drop");
    if (dnd.DropKindName != DropKindNameOf(dnd.DropKind))
        fuzzing::fail("the kind's name does not match the kind");
    if (dnd.DropKind == DropFilesKind && dnd.DropAccepted && !dnd.DropFiles.isEmpty() &&
        dnd.DropFiles.first().isEmpty())
        fuzzing::fail("an empty file name was dropped");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::ensureGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::unique_ptr<QMimeData> mime = mimeDataOf(fuzzing::bytesOf(data, size));
    ClaimsEveryFormat(*mime);
    if (DraggedImageBytes(*mime).size() > MaxDroppedImageBytes)
        fuzzing::fail("a dragged image above the limit was taken");
    dropOn(*mime, MainWindowDropTag);
    dropOn(*mime, AboutBoxDropTag);
    fuzzing::clearScratchFolder();
    return 0;
}
