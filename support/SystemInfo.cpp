#include "support/SystemInfo.h"

#include <QRegularExpression>
#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace support {

namespace {

WindowsVersion parseVersion(const QString& text) {
    static const QRegularExpression leadingNumbers(u"^\\s*(\\d{1,4})(?:\\.(\\d{1,4}))?"_s);
    const QRegularExpressionMatch match = leadingNumbers.match(text);
    if (!match.hasMatch())
        return {};
    return {static_cast<qint16>(match.captured(1).toInt()),
            static_cast<qint16>(match.captured(2).toInt())};
}

} // namespace

WindowsVersion ParseSystemVersion(const QString& text) {
    return parseVersion(text);
}

WindowsVersion GetWindowsVersion() {
    return parseVersion(QSysInfo::kernelVersion());
}

bool MessageBeep(Beeper& beeper, int /*soundCode*/) {
    beeper.beep();
    return true;
}

int VersionMajor() {
    return parseVersion(QStringLiteral(QUILLMOTH_VERSION)).major;
}

int VersionMinor() {
    return parseVersion(QStringLiteral(QUILLMOTH_VERSION)).minor;
}

QString VersionText() {
    return u"Version "_s + QString::number(VersionMajor()) + u'.' + QString::number(VersionMinor());
}

} // namespace support
