#pragma once

// The progress panel on the toolbar row: a bar that shows a percentage of the
// running operation's logical range, and a "Stop" button. The panel only
// reports the click; stopping is up to the operation that polls the flag.

#include "catalogue/ProgressPanel.h"

#include <QWidget>

class QProgressBar;
class QPushButton;

namespace mainwindow {

class UcProgress : public QWidget, public catalogue::ProgressPanel {
    Q_OBJECT
public:
    explicit UcProgress(QWidget* parent = nullptr);

    int32_t max() const override { return m_max; }
    void setMax(int32_t max) override;
    int32_t value() const override { return m_value; }
    // Clamped to 0..max, never refused.
    void setValue(int32_t value) override;
    bool active() const override { return m_active; }
    // The Stop button is usable exactly while active; the bar's colour says so too.
    void setActive(bool active) override;

    void cancel();         // as a click on "Stop"
    void clear() override; // position to 0
    void done() override;  // position to max
    void takeFocus() override;

    // What the bar shows now (0..100), for callers that mirror it elsewhere.
    int barPercent() const;
    QProgressBar* bar() const { return m_bar; }
    QPushButton* stopButton() const { return m_butCancel; }

Q_SIGNALS:
    void CancelClicked();

private:
    void applyBarColour();

    QProgressBar* m_bar = nullptr;
    QPushButton* m_butCancel = nullptr;
    int32_t m_max = 100;
    int32_t m_value = 0;
    bool m_active = false;
};

} // namespace mainwindow
