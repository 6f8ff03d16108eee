#pragma once

// The shell helpers carried out on the desktop: default applications,
// the file manager and the mouse pointer.

#include "support/ScreenPointer.h"

#include <QString>

namespace support {

// Opens a web address or document with its default application (never
// through a command shell). Blank text does nothing; failures are silent.
void ShellOpen(const QString& target);

// Shows the file in the file manager with the file selected
// (org.freedesktop.FileManager1.ShowItems over the session bus), falling back
// to opening its folder when no file manager answers. An empty path opens the
// home folder. Failures are ignored.
void ShowInExplorer(const QString& path);

// The screen pointer as Qt's application override cursor. Qt keeps its own
// stack of override cursors; this keeps at most one of them set and changes
// it, so that the program's pointer stack alone decides what is shown.
class OverrideCursorDisplay : public PointerDisplay {
public:
    ~OverrideCursorDisplay() override;
    int current() const override { return m_code; }
    void show(int code) override;

private:
    int m_code = POINTER_DEFAULT;
    bool m_overriding = false;
};

} // namespace support
