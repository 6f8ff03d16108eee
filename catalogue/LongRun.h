#pragma once

// The frame that every long run shares: the progress panel counts the
// items, the cancel flag is cleared at the start and polled after each item,
// window events run between items (that is how the Stop button and repaints
// get through), and the panel ends full unless the run was stopped.

#include "support/UiServices.h"

#include <cstdint>

namespace catalogue {

class ProgressPanel;

class LongRun {
public:
    LongRun(ProgressPanel& progress, bool& cancelRequested, support::EventPump* events)
        : m_progress(progress), m_cancelRequested(cancelRequested), m_events(events) {}

    // Panel active with max items at 0, the cancel flag cleared.
    void begin(int32_t max);
    // After an item: the panel shows done items, events run; true when the
    // user asked to stop.
    bool itemDone(int32_t done);
    void letEventsRun();
    bool cancelRequested() const { return m_cancelRequested; }
    // The panel is full when success and not stopped; then inactive.
    void end(bool success);

private:
    ProgressPanel& m_progress;
    bool& m_cancelRequested;
    support::EventPump* m_events;
};

} // namespace catalogue
