#include "catalogue/ProgressPanel.h"

#include <algorithm>

namespace catalogue {

void RecordingProgressPanel::setValue(int32_t value) {
    m_value = std::max(int32_t{0}, std::min(value, m_max));
}

void RecordingProgressPanel::done() {
    ++doneCalls;
    setValue(m_max);
}

} // namespace catalogue
