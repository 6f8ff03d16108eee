#include "artwork/OleDnd.h"

#include "artwork/ImageCheck.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

bool anyFormat(const QMimeData& data, std::initializer_list<const char16_t*> candidates) {
    const QStringList formats = data.formats();
    for (const QString& format : formats)
        for (const char16_t* candidate : candidates)
            if (format.contains(QString::fromUtf16(candidate), Qt::CaseInsensitive))
                return true;
    return false;
}

QStringList localFiles(const QMimeData& data) {
    QStringList files;
    if (!data.hasUrls())
        return files;
    const QList<QUrl> urls = data.urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url.toLocalFile());
    return files;
}

// A "data:image/...;base64," address, as browsers give for inline pictures.
QByteArray dataAddressBytes(const QString& text) {
    static const QRegularExpression address(u"data:image/[a-z+.-]+;base64,([A-Za-z0-9+/=\\s]+)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = address.match(text);
    if (!match.hasMatch() || match.capturedLength(1) > MaxDroppedImageBytes * 4 / 3 + 4)
        return {};
    return QByteArray::fromBase64(match.captured(1).toLatin1());
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8\xFF");
}

// Whether bytes begin as a picture file does; what a drag calls
// application/octet-stream is taken only then.
bool looksLikeImage(const QByteArray& bytes) {
    return isJpeg(bytes) || bytes.startsWith("\x89PNG\r\n\x1A\n") || bytes.startsWith("GIF8") ||
           bytes.startsWith("BM");
}

bool isJpegFormat(const QString& format) {
    return format.compare(u"image/jpeg"_s, Qt::CaseInsensitive) == 0 ||
           format.compare(u"image/jpg"_s, Qt::CaseInsensitive) == 0 ||
           format.compare(u"image/pjpeg"_s, Qt::CaseInsensitive) == 0;
}

// The formats that may hold the dragged picture, best first: the served
// file itself (Chromium hands it over as application/octet-stream), then a
// JPEG, then whatever image type the source lists (Firefox lists its own PNG
// encoding of the decoded pixels first).
QStringList imageFormatsByPreference(const QMimeData& data) {
    QStringList original, jpeg, other;
    const QStringList formats = data.formats();
    for (const QString& format : formats) {
        if (format.compare(u"application/octet-stream"_s, Qt::CaseInsensitive) == 0)
            original.append(format);
        else if (isJpegFormat(format))
            jpeg.append(format);
        else if (format.startsWith(u"image/"_s, Qt::CaseInsensitive))
            other.append(format);
    }
    return original + jpeg + other;
}

QByteArray imageBytesOf(const QMimeData& data, const QString& format) {
    const QByteArray bytes = data.data(format);
    if (bytes.isEmpty() || bytes.size() > MaxDroppedImageBytes)
        return {};
    if (!format.startsWith(u"image/"_s, Qt::CaseInsensitive) && !looksLikeImage(bytes))
        return {};
    return bytes;
}

} // namespace

QString DropKindNameOf(int32_t kind) {
    switch (kind) {
    case DropTextKind:
        return u"text"_s;
    case DropUrl:
        return u"url"_s;
    case DropWexlink:
        return u"wexlink"_s;
    case DropFilesKind:
        return u"files"_s;
    default:
        return u"unknown"_s;
    }
}

QString WexlinkPrefix() {
    // 46 characters, as links of the sister program begin.
    static const QString prefix = u"tarnwick-wexlink://quillmoth/link-of-playlist?"_s;
    return prefix;
}

bool ClaimsEveryFormat(const QMimeData& data) {
    // The nearest Qt formats of text, file list, palette, device-independent
    // bitmap, bitmap, enhanced metafile, metafile, rich text and link.
    return data.hasText() && data.hasUrls() && anyFormat(data, {u"palette"}) && data.hasImage() &&
           anyFormat(data, {u"image/bmp", u"image/x-bmp", u"bitmap"}) &&
           anyFormat(data, {u"image/x-emf", u"enhmetafile", u"enhanced"}) &&
           anyFormat(data, {u"image/x-wmf", u"metafile"}) &&
           anyFormat(data, {u"text/rtf", u"text/richtext", u"application/rtf"}) &&
           anyFormat(data, {u"text/x-moz-url", u"link"});
}

QByteArray DraggedImageBytes(const QMimeData& data) {
    for (const QString& format : imageFormatsByPreference(data)) {
        const QByteArray bytes = imageBytesOf(data, format);
        if (!bytes.isEmpty())
            return bytes;
    }
    for (const QString& text :
         {data.text(), data.html(), QString::fromUtf8(data.data(u"text/uri-list"_s))}) {
        const QByteArray bytes = dataAddressBytes(text);
        if (!bytes.isEmpty())
            return bytes;
    }
    return {};
}

QByteArray DraggedImageAsJpeg(const QMimeData& data) {
    const QByteArray bytes = DraggedImageBytes(data);
    if (bytes.isEmpty() || isJpeg(bytes))
        return bytes;
    // Only a picture that passes the checks of every dropped image is
    // decoded; anything else goes on as it came, to be refused with its
    // reason.
    if (!ImageDataProblem(u"the dragged picture"_s, bytes).isEmpty())
        return bytes;
    const QByteArray jpeg = BaselineJpeg(bytes);
    return jpeg.isEmpty() || jpeg.size() > MaxDroppedImageBytes ? bytes : jpeg;
}

QByteArray BaselineJpeg(const QByteArray& image) {
    QImage decoded;
    if (!decoded.loadFromData(image) || decoded.isNull())
        return {};
    // JPEG has no transparency: see-through parts become white, as they
    // show on a page.
    QImage flat(decoded.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, decoded);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(JpegQuality);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    return writer.write(flat) ? jpeg : QByteArray();
}

bool HasDraggedImage(const QMimeData& data) {
    // The same limits as the drop's own: a drag whose picture would be
    // refused there is judged by its address or text instead.
    return !DraggedImageBytes(data).isEmpty();
}

OleDnd::OleDnd(QString imageFolder) : m_imageFolder(std::move(imageFolder)) {}

int OleDnd::OleDragOver(const QMimeData* data, const QString& acceptTag, bool allowed) {
    return decode(data, acceptTag, allowed, false);
}

int OleDnd::OleDrop(const QMimeData* data, const QString& acceptTag, bool* startTimer,
                    bool allowed) {
    const int effect = decode(data, acceptTag, allowed, true);
    if (startTimer)
        *startTimer = effect != EffectNone && DropAccepted;
    return effect;
}

int OleDnd::decode(const QMimeData* data, const QString& acceptTag, bool allowed, bool dropping) {
    if (!data || !allowed)
        return EffectNone;
    if (ClaimsEveryFormat(*data)) {
        DropKind = DropUnknown;
        DropKindName = DropKindNameOf(DropUnknown);
        DropAccepted = false;
        return EffectNone;
    }
    const QStringList files = localFiles(*data);
    QString text;
    if (!files.isEmpty() || HasDraggedImage(*data)) {
        DropKind = DropFilesKind;
    } else if (data->hasText()) {
        text = data->text().trimmed();
        const qsizetype colon = text.indexOf(u':');
        const QString scheme = colon >= 0 ? text.left(colon + 1).toLower() : QString();
        if (text.toLower().startsWith(WexlinkPrefix().toLower()))
            DropKind = DropWexlink;
        else if (scheme == u"http:"_s || scheme == u"https:"_s || scheme == u"ftp:"_s ||
                 scheme == u"mailto:"_s)
            DropKind = DropUrl;
        else
            DropKind = DropTextKind;
    } else {
        DropKind = DropUnknown;
    }
    DropKindName = DropKindNameOf(DropKind);
    DropAccepted = acceptTag.toLower().contains(DropKindName);
    if (!DropAccepted)
        return EffectNone;

    DropText.clear();
    DropLinkNumber = 0;
    switch (DropKind) {
    case DropTextKind:
    case DropUrl:
        DropText = data->text();
        break;
    case DropWexlink: {
        QString rest = text.mid(WexlinkPrefix().size());
        if (rest.size() >= 2) {
            if (!rest.contains(u','))
                rest += u',';
            const qsizetype comma = rest.indexOf(u',');
            DropLinkNumber = rest.left(comma).trimmed().toInt();
            DropText = rest.mid(comma + 1);
        }
        break;
    }
    case DropFilesKind:
        DropText = files.value(0);
        if (dropping) {
            DropFiles = files;
            if (files.isEmpty()) {
                const QString written = writeDraggedImage(data);
                if (!written.isEmpty())
                    DropFiles = {written};
                DropText = written;
            }
        }
        break;
    default:
        break;
    }
    return EffectCopyAndLink;
}

QString OleDnd::writeDraggedImage(const QMimeData* data) {
    // Folder.jpg is always a JPEG file, and the size the confirmation shows
    // is the size written.
    const QByteArray image = DraggedImageAsJpeg(*data);
    if (image.isEmpty() || m_imageFolder.isEmpty())
        return {};
    QDir().mkpath(m_imageFolder);
    const QString path =
        QDir(m_imageFolder).filePath(u"Temp-Dropped."_s + (isJpeg(image) ? u"JPG"_s : u"IMG"_s));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit())
        return {};
    return path;
}

} // namespace artwork
