#include "catalogue/LongRun.h"

#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"

namespace catalogue {

void LongRun::begin(int32_t max) {
    m_progress.setActive(true);
    m_progress.setMax(max);
    m_progress.setValue(0);
    m_cancelRequested = false;
}

bool LongRun::itemDone(int32_t done) {
    m_progress.setValue(done);
    letEventsRun();
    return m_cancelRequested;
}

void LongRun::letEventsRun() {
    if (m_events)
        m_events->processPendingEvents();
}

void LongRun::end(bool success) {
    EndProgress(m_progress, success, m_cancelRequested);
}

} // namespace catalogue
