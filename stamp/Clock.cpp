#include "stamp/Clock.h"

#include "platform/LocalTime.h"

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
    if (platform::LocalCalendarAt(unixMilliseconds, f))
        return false;
    CopyFields(f, time);
    return true;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

SystemStampClock::SystemStampClock(Now nowMilliseconds) : now_(std::move(nowMilliseconds)) {}

SystemTime SystemStampClock::LocalNow() const {
    SystemTime now;
    if (now_) {
        LocalFields(now_(), now);
    } else {
        platform::CalendarFields f;
        if (!platform::LocalCalendarNow(f))
            CopyFields(f, now);
    }
    return now;
}

std::optional<std::int32_t> SystemStampClock::OffsetNow() const {
    std::int32_t secondsEast = 0;
    const std::error_code error = now_ ? platform::UtcOffsetAt(FloorDiv(now_(), 1000), secondsEast)
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
