#pragma once

// The busy mouse-pointer stack that long list operations bracket themselves
// with: PushPointer(POINTER_HOURGLASS) ... PopPointer(). Pushes and pops may
// be unbalanced; an extra pop sets the default pointer.

#include <QList>

namespace support {

inline constexpr int POINTER_DEFAULT = 0;
inline constexpr int POINTER_HOURGLASS = 11;

// What the stack drives: the pointer shown over the program's windows, by
// pointer code (0 default, 11 hourglass, ...).
class PointerDisplay {
public:
    virtual ~PointerDisplay() = default;
    virtual int current() const = 0;
    virtual void show(int code) = 0;
};

// A display that only remembers the code: the default until the GUI installs
// its own, and what the command-line tool and the tests run with.
class RememberedPointer : public PointerDisplay {
public:
    int current() const override { return m_code; }
    void show(int code) override { m_code = code; }

private:
    int m_code = POINTER_DEFAULT;
};

class ScreenPointer {
public:
    explicit ScreenPointer(PointerDisplay& display) : m_display(&display) {}

    // Saves the current pointer one level deeper and shows code; the saved
    // codes only ever grow by one entry at a time and are never shrunk.
    void PushPointer(int code);
    // Shows the code saved at the current depth and goes one level up; at
    // depth 0 shows the default pointer.
    void PopPointer();

    int depth() const { return m_depth; }
    int capacity() const { return static_cast<int>(m_saved.size()); }
    void setDisplay(PointerDisplay& display) { m_display = &display; }

private:
    PointerDisplay* m_display;
    QList<int> m_saved; // position depth - 1 holds the code saved at depth
    int m_depth = 0;
};

// The program's one stack and the display it drives. InstallPointerDisplay
// switches the display (the GUI installs the override cursor at start-up;
// nullptr returns to a remembered pointer).
ScreenPointer& TheScreenPointer();
void InstallPointerDisplay(PointerDisplay* display);
void PushPointer(int code);
void PopPointer();

} // namespace support
