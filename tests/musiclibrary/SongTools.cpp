#include "tests/musiclibrary/SongTools.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace testing_support {

const QString Mutagen = QStringLiteral(QUILLMOTH_PICTURES_TOOL);

Tool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Tool tool;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        tool.exitCode = process.exitCode();
        tool.output = process.readAll();
    }
    return tool;
}

bool haveTools(const QStringList& programs) {
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            return false;
    return QFile::exists(u"/usr/bin/python3"_s) &&
           run(u"/usr/bin/python3"_s, {u"-c"_s, u"import mutagen"_s}).exitCode == 0;
}

QString makeSong(const TempFolder& folder, const QString& name, const QStringList& encoder) {
    const QString path = folder.file(name);
    QStringList arguments{u"-v"_s,    u"error"_s, u"-f"_s,
                          u"lavfi"_s, u"-i"_s,    u"sine=frequency=440:duration=1"_s};
    if (name.endsWith(u".ogg"_s))
        arguments << u"-c:a"_s << u"libvorbis"_s;
    else if (name.endsWith(u".opus"_s))
        arguments << u"-c:a"_s << u"libopus"_s;
    arguments << encoder;
    arguments << u"-metadata"_s << u"TITLE=Tone"_s << u"-metadata"_s << u"ARTIST=Tester"_s << path;
    EXPECT_EQ(run(u"ffmpeg"_s, arguments).exitCode, 0) << name.toStdString();
    return path;
}

QJsonObject mutagenList(const QString& path) {
    const Tool tool = run(u"/usr/bin/python3"_s, {Mutagen, u"list"_s, path});
    EXPECT_EQ(tool.exitCode, 0) << tool.output.toStdString();
    return QJsonDocument::fromJson(tool.output).object();
}

QJsonArray mutagenPictures(const QString& path) {
    return mutagenList(path).value(u"pictures"_s).toArray();
}

QStringList pictureDigests(const QJsonObject& listing) {
    QStringList digests;
    for (const QJsonValue& picture : listing.value(u"pictures"_s).toArray())
        digests.append(picture.toObject().value(u"sha1"_s).toString());
    return digests;
}

void mutagenAdd(const QString& path, const QString& image, int type, const QString& description) {
    const Tool tool = run(u"/usr/bin/python3"_s,
                          {Mutagen, u"add"_s, path, image, QString::number(type), description});
    ASSERT_EQ(tool.exitCode, 0) << tool.output.toStdString();
}

QString sha1(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

QByteArray decodedAudio(const QString& path) {
    const Tool tool = run(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, path, u"-map"_s, u"0:a"_s,
                                        u"-f"_s, u"md5"_s, u"-"_s});
    EXPECT_EQ(tool.exitCode, 0) << tool.output.toStdString();
    return tool.output;
}

} // namespace testing_support
