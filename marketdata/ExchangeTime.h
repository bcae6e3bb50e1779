#pragma once

#include "storage/FileTime.h"

namespace strikeline {

// A calendar moment on the exchange's clock (Sydney time).
struct CExchangeMoment {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Converts exchange time to universal time with the New South Wales rules: ten hours
// ahead, eleven during daylight saving, which runs from the first Sunday of October to
// the first Sunday of April since 2008 and from the last Sunday of October to the last
// Sunday of March before. Both changes are taken at 02:00 on the exchange's clock.
// Pure arithmetic, so any thread may call it. False for a moment that does not exist
// (month 13, 30 February, hour 24, a year before 1601 or after 30827).
bool ExchangeTimeToUniversal(const CExchangeMoment& moment, FileTime& universal);

} // namespace strikeline
