#pragma once

// The running system and the program's own version.

#include "support/UiServices.h"

#include <QString>

namespace support {

struct WindowsVersion {
    qint16 major = 0;
    qint16 minor = 0;
};

// The running system's version: the kernel's major and minor numbers, the
// nearest thing Linux has to a system version that is always present. Both
// 0 when it cannot be read.
WindowsVersion GetWindowsVersion();
// "6.1.0-18-amd64" gives 6 and 1; anything without a leading number 0 and 0.
WindowsVersion ParseSystemVersion(const QString& text);

// Whether the modern behaviours apply (bigger folder thumbnails, no beep
// before message boxes, the permission prompt before the updater): always
// here, whatever the kernel's numbering.
constexpr bool IsVistaOrLater() {
    return true;
}

// Plays the system sound; the sound code selects nothing on this platform.
bool MessageBeep(Beeper& beeper, int soundCode);

// The program's major and minor version and the About box's "Version 2.3".
int VersionMajor();
int VersionMinor();
QString VersionText();

} // namespace support
