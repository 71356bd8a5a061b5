#include "platform/LocalTime.h"

#include <cerrno>
#include <ctime>

namespace platform {

std::int64_t UnixNow() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::error_code UtcOffsetAt(std::int64_t unixSeconds, std::int32_t& secondsEast) {
    // localtime_r need not read TZ again by itself; tzset makes a changed TZ count.
    ::tzset();
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (::localtime_r(&t, &local) == nullptr)
        return {errno ? errno : EOVERFLOW, std::generic_category()};
    secondsEast = static_cast<std::int32_t>(local.tm_gmtoff);
    return {};
}

} // namespace platform
