#include "musiclibrary/tagio/PictureContainer.h"

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

const QList<const PictureContainer*>& pictureContainers() {
    static const QList<const PictureContainer*> containers{&mpegContainer(), &mp4Container(),
                                                           &aiffContainer(), &wavContainer()};
    return containers;
}

QList<QByteArray> picturesAfter(const QList<QByteArray>& before, const PictureEdit& edit) {
    QList<QByteArray> after = before;
    if (edit.action == PictureEdit::Action::Append)
        after.append(edit.imageData);
    else if (edit.index >= 0 && edit.index < after.size())
        after.removeAt(edit.index);
    return after;
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
