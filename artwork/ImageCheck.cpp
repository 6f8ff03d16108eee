#include "artwork/ImageCheck.h"

#include "artwork/ImageMeasure.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

enum class Kind { None, Jpeg, Png, Bmp };

Kind kindOf(const QByteArray& data) {
    if (data.startsWith("\xFF\xD8\xFF"))
        return Kind::Jpeg;
    if (data.startsWith("\x89PNG\r\n\x1A\n"))
        return Kind::Png;
    if (data.startsWith("BM") && data.size() >= 26)
        return Kind::Bmp;
    return Kind::None;
}

quint32 littleEndian32(const QByteArray& data, qsizetype at) {
    const auto byte = [&](qsizetype i) { return quint32(quint8(data[at + i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// Writers pad files after their last marker now and then; a missing end
// marker anywhere near the end means the file was cut short.
constexpr qsizetype TrailerWindow = 4096;

bool complete(Kind kind, const QByteArray& data) {
    const QByteArray tail = data.right(std::min<qsizetype>(data.size(), TrailerWindow));
    switch (kind) {
    case Kind::Jpeg:
        return data.size() > 4 && tail.lastIndexOf("\xFF\xD9") >= 0;
    case Kind::Png:
        return tail.lastIndexOf("IEND") >= 0;
    case Kind::Bmp:
        // The header states the file's length.
        return littleEndian32(data, 2) <= quint32(data.size()) &&
               littleEndian32(data, 10) < quint32(data.size());
    case Kind::None:
        break;
    }
    return false;
}

} // namespace

QString ImageDataProblem(const QString& path, const QByteArray& data) {
    if (data.isEmpty())
        return u"The image file \"%1\" is empty."_s.arg(path);
    const Kind kind = kindOf(data);
    if (kind == Kind::None)
        return u"The image file \"%1\" is not a JPEG, PNG or BMP image."_s.arg(path);
    if (GetArtworkXyprod(data) <= 0)
        return u"The image file \"%1\" cannot be read as an image, or it declares an impossible "
               u"size."_s.arg(path);
    if (!complete(kind, data))
        return u"The image file \"%1\" is cut short: it ends before the image does."_s.arg(path);
    return {};
}

QString ImageFileProblem(const QString& path) {
    QByteArray data;
    return ReadImageFile(path, data);
}

QString ReadImageFile(const QString& path, QByteArray& data) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return u"The image file \"%1\" does not exist."_s.arg(path);
    if (info.size() > MaxImageFileBytes)
        return u"The image file \"%1\" is too large to be used as artwork (%2 bytes)."_s.arg(
            path, QString::number(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return u"The image file \"%1\" cannot be read: %2."_s.arg(path, file.errorString());
    // Asking for the largest size taken would set aside 64 MB for every
    // small cover checked; asking for what the file holds (one byte more, to
    // notice a file that grew since) reads the same bytes.
    QByteArray bytes = file.read(std::min(file.size(), MaxImageFileBytes) + 1);
    if (bytes.size() > MaxImageFileBytes)
        return u"The image file \"%1\" is too large to be used as artwork (%2 bytes)."_s.arg(
            path, QString::number(file.size()));
    QString problem = ImageDataProblem(path, bytes);
    if (problem.isEmpty())
        data = std::move(bytes);
    return problem;
}

} // namespace artwork
