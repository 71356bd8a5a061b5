#include "stamp/Clock.h"

#include "platform/LocalTime.h"

#include <chrono>

namespace stamp {
namespace {

void CopyFields(const platform::CalendarFields& f, SystemTime& time) {
    time.year = static_cast<std::uint16_t>(f.year);
    time.month = static_cast<std::uint16_t>(f.month);
    time.dayOfWeek = static_cast<std::uint16_t>(f.dayOfWeek);
    time.day = static_cast<std::uint16_t>(f.day);
    time.hour = static_cast<std::uint16_t>(f.hour);
    time.minute = static_cast<std::uint16_t>(f.minute);
    time.second = static_cast<std::uint16_t>(f.second);
    time.millisecond = static_cast<std::uint16_t>(f.millisecond);
}

bool LocalFields(std::int64_t unixMilliseconds, SystemTime& time) {
    platform::CalendarFields f;
    if (const std::error_code unknown = platform::LocalCalendarAt(unixMilliseconds, f))
        return false;
    CopyFields(f, time);
    return true;
}

} // namespace

SystemStampClock::SystemStampClock(Now nowMilliseconds) : now_(std::move(nowMilliseconds)) {}

bool SystemStampClock::LocalNow(SystemTime& now) const {
    if (now_)
        return LocalFields(now_(), now);
    platform::CalendarFields f;
    if (const std::error_code unknown = platform::LocalCalendarNow(f))
        return false;
    CopyFields(f, now);
    return true;
}

std::optional<std::int32_t> SystemStampClock::OffsetNow() const {
    using namespace std::chrono;
    std::int32_t secondsEast = 0;
    const std::error_code error =
        now_ ? platform::UtcOffsetAt(floor<seconds>(milliseconds(now_())).count(), secondsEast)
             : platform::UtcOffsetNow(secondsEast);
    if (error)
        return std::nullopt;
    return secondsEast;
}

bool SystemStampClock::UtcToLocal(platform::FileTime utc, SystemTime& local) const {
    const std::int64_t unixMs = static_cast<std::int64_t>(utc / 10000) -
                                static_cast<std::int64_t>(platform::kUnixEpochFileTime / 10000);
    return LocalFields(unixMs, local);
}

} // namespace stamp
