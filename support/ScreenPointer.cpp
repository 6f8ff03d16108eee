#include "support/ScreenPointer.h"

namespace support {

void ScreenPointer::PushPointer(int code) {
    ++m_depth;
    if (m_depth > capacity())
        m_saved.append(POINTER_DEFAULT);
    m_saved[m_depth - 1] = m_display->current();
    m_display->show(code);
}

void ScreenPointer::PopPointer() {
    if (m_depth >= 1) {
        m_display->show(m_saved.at(m_depth - 1));
        --m_depth;
    } else {
        m_display->show(POINTER_DEFAULT);
    }
}

namespace {
RememberedPointer& fallbackDisplay() {
    static RememberedPointer display;
    return display;
}
} // namespace

ScreenPointer& TheScreenPointer() {
    static ScreenPointer pointer(fallbackDisplay());
    return pointer;
}

void InstallPointerDisplay(PointerDisplay* display) {
    TheScreenPointer().setDisplay(display ? *display : fallbackDisplay());
}

void PushPointer(int code) {
    TheScreenPointer().PushPointer(code);
}

void PopPointer() {
    TheScreenPointer().PopPointer();
}

} // namespace support
