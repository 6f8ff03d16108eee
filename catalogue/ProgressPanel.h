#pragma once

// What a long run needs of the progress panel. The main window's UcProgress
// implements it; the command-line tool and tests use RecordingProgressPanel.

#include <cstdint>

namespace catalogue {

class ProgressPanel {
public:
    virtual ~ProgressPanel() = default;
    virtual void setMax(int32_t max) = 0;
    virtual int32_t max() const = 0;
    // Values outside 0..max are clamped.
    virtual void setValue(int32_t value) = 0;
    virtual int32_t value() const = 0;
    virtual void setActive(bool active) = 0;
    virtual bool active() const = 0;
    // Value := max.
    virtual void done() = 0;
    // Value := 0.
    virtual void clear() = 0;
    virtual void takeFocus() = 0;
};

// A panel without a window that remembers what it was told.
class RecordingProgressPanel : public ProgressPanel {
public:
    void setMax(int32_t max) override { m_max = max; }
    int32_t max() const override { return m_max; }
    void setValue(int32_t value) override;
    int32_t value() const override { return m_value; }
    void setActive(bool active) override { m_active = active; }
    bool active() const override { return m_active; }
    void done() override;
    void clear() override { setValue(0); }
    void takeFocus() override { ++focusCalls; }

    int doneCalls = 0;
    int focusCalls = 0;

private:
    int32_t m_max = 100;
    int32_t m_value = 0;
    bool m_active = false;
};

} // namespace catalogue
