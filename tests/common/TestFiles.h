#pragma once

// Files for tests: a private temporary folder per test and copies of the
// small seed audio and image files kept in resources/seeds.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// Absolute path of a seed file, e.g. seedPath(u"seed.mp3").
QString seedPath(const QString& name);
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);
// CRC-32 as zlib computes it (PNG chunks, the earlier journal format).
quint32 crc32Of(const QByteArray& data);

// A temporary folder that is removed with the object.
class TempFolder {
public:
    TempFolder();
    // The folder's path without a trailing separator.
    QString path() const { return m_dir.path(); }
    // path() + "/" + relative; parent folders are created.
    QString file(const QString& relative) const;
    // Copies a seed file to relative (parents created) and returns the new path.
    QString copySeed(const QString& seedName, const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

} // namespace testing_support
