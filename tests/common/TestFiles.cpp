#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace testing_support {

QString seedPath(const QString& name) {
    return QStringLiteral(QUILLMOTH_SEEDS_DIR) + u'/' + name;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

TempFolder::TempFolder() {
    if (!m_dir.isValid())
        ADD_FAILURE() << "cannot create a temporary folder";
}

QString TempFolder::file(const QString& relative) const {
    const QString full = m_dir.path() + u'/' + relative;
    QDir().mkpath(QFileInfo(full).absolutePath());
    return full;
}

QString TempFolder::copySeed(const QString& seedName, const QString& relative) const {
    const QString target = file(relative);
    QFile::remove(target);
    if (!QFile::copy(seedPath(seedName), target))
        ADD_FAILURE() << "cannot copy seed " << seedName.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
    return target;
}

quint32 crc32Of(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace testing_support
