#pragma once

#include "support/UiServices.h"

namespace support {

// The wall clock in local time, as the settings store their dates.
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace support
