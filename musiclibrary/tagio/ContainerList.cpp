#include "musiclibrary/tagio/PictureContainer.h"

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

const QList<const PictureContainer*>& pictureContainers() {
    static const QList<const PictureContainer*> containers{&mpegContainer(), &mp4Container(),
                                                           &flacContainer(), &oggContainer(),
                                                           &aiffContainer(), &wavContainer()};
    return containers;
}

bool containerClaims(const QString& suffix) {
    for (const PictureContainer* container : pictureContainers())
        if (container->claimsSuffix(suffix))
            return true;
    return false;
}

namespace {

// Far above any real cover; keeps a mistaken choice (a video, a disk image)
// out of the song file.
constexpr qsizetype MaxImageBytes = 64 * 1024 * 1024;

} // namespace

QString editProblem(const PictureEdit& edit, qsizetype count) {
    QList<int> seen;
    for (int index : edit.remove) {
        if (index < 0 || index >= count)
            return u"it has no picture number %1 (it holds %2)."_s.arg(index + 1).arg(count);
        if (seen.contains(index))
            return u"picture number %1 was to be removed twice."_s.arg(index + 1);
        seen.append(index);
    }
    for (const PictureInsertion& insertion : edit.insert) {
        if (insertion.imageData.isEmpty())
            return u"the image file is empty."_s;
        if (insertion.imageData.size() > MaxImageBytes)
            return u"the image file is larger than 64 MB."_s;
    }
    return {};
}

QList<int> orderAfter(qsizetype beforeCount, const PictureEdit& edit) {
    QList<int> order;
    for (int i = 0; i < beforeCount; ++i)
        if (!edit.remove.contains(i))
            order.append(i);
    for (qsizetype i = 0; i < edit.insert.size(); ++i) {
        const int position = edit.insert[i].position;
        const qsizetype at = position < 0 || position > order.size() ? order.size() : position;
        order.insert(at, int(-1 - i));
    }
    return order;
}

QList<QByteArray> picturesAfter(const QList<QByteArray>& before, const PictureEdit& edit) {
    QList<QByteArray> after;
    for (int entry : orderAfter(before.size(), edit))
        after.append(entry >= 0 ? before[entry] : edit.insert[-1 - entry].imageData);
    return after;
}

QByteArray paddedTag(const QByteArray& tag, qint64 size) {
    QByteArray padded = tag;
    if (size > padded.size())
        padded.append(QByteArray(size - padded.size(), '\0'));
    // The size after the 10-byte header, seven bits to a byte.
    quint32 body = quint32(padded.size() - 10);
    for (int i = 9; i >= 6; --i) {
        padded[i] = char(body & 0x7F);
        body >>= 7;
    }
    return padded;
}

QString newDescription(QStringList& taken) {
    QString description;
    for (int n = 2; taken.contains(description); ++n)
        description = u"Cover %1"_s.arg(n);
    taken.append(description);
    return description;
}

FileFailure savedCopyWrong(const QString& what) {
    return FileFailure{
        LibraryError::WriteFailed,
        u"the saved copy was not right (%1), so the file was left as it was."_s.arg(what)};
}

bool isGif(const QByteArray& imageData) {
    return imageData.startsWith("GIF8");
}

QString mimeTypeOf(const QByteArray& imageData) {
    switch (imageFormatOf(imageData)) {
    case ITArtworkFormatJPEG:
        return u"image/jpeg"_s;
    case ITArtworkFormatPNG:
        return u"image/png"_s;
    case ITArtworkFormatBMP:
        return u"image/bmp"_s;
    default:
        return isGif(imageData) ? u"image/gif"_s : u"application/octet-stream"_s;
    }
}

} // namespace musiclibrary::tagio
