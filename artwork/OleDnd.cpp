#include "artwork/OleDnd.h"

#include "artwork/ImageCheck.h"

#include <QDir>
#include <QMimeData>
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

QString extensionOf(const QByteArray& image) {
    if (image.startsWith("\x89PNG"))
        return u"png"_s;
    if (image.startsWith("BM"))
        return u"bmp"_s;
    if (image.startsWith("GIF8"))
        return u"gif"_s;
    return u"jpg"_s;
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
    const QStringList formats = data.formats();
    for (const QString& format : formats) {
        if (!format.startsWith(u"image/"_s, Qt::CaseInsensitive))
            continue;
        const QByteArray bytes = data.data(format);
        if (!bytes.isEmpty() && bytes.size() <= MaxDroppedImageBytes)
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
    if (!files.isEmpty() || !DraggedImageBytes(*data).isEmpty()) {
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
    const QByteArray image = DraggedImageBytes(*data);
    if (image.isEmpty() || m_imageFolder.isEmpty())
        return {};
    QDir().mkpath(m_imageFolder);
    const QString path =
        QDir(m_imageFolder).filePath(u"Temp-Dropped."_s + extensionOf(image).toUpper());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit())
        return {};
    return path;
}

} // namespace artwork
