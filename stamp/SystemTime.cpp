#include "stamp/SystemTime.h"

#include <chrono>

namespace stamp {
namespace {

using namespace std::chrono;
using platform::FileTime;

constexpr sys_days kFileTimeDayZero = sys_days(year(1601) / January / 1);
constexpr FileTime kTicksPerMillisecond = 10000;
constexpr FileTime kTicksPerDay = 86400ULL * platform::kFileTimeTicksPerSecond;
/// The largest file time the calendar conversions accept (the year 30827).
constexpr FileTime kLastFileTime = 0x7FFFFFFFFFFFFFFFULL;

} // namespace

bool SystemTimeToFileTime(const SystemTime& f, FileTime& time) {
    const year_month_day date{year(f.year), month(f.month), day(f.day)};
    if (f.year < 1601 || f.year > 30827 || !date.ok() || f.hour > 23 || f.minute > 59 ||
        f.second > 59 || f.millisecond > 999)
        return false;
    const auto days = static_cast<FileTime>((sys_days(date) - kFileTimeDayZero).count());
    const FileTime ms = ((f.hour * 60ULL + f.minute) * 60 + f.second) * 1000 + f.millisecond;
    time = days * kTicksPerDay + ms * kTicksPerMillisecond;
    return true;
}

bool FileTimeToSystemTime(FileTime time, SystemTime& f) {
    if (time > kLastFileTime)
        return false;
    const FileTime days = time / kTicksPerDay;
    FileTime ms = (time % kTicksPerDay) / kTicksPerMillisecond;
    const sys_days date = kFileTimeDayZero + sys_days::duration(static_cast<int>(days));
    const year_month_day ymd(date);
    f.year = static_cast<std::uint16_t>(static_cast<int>(ymd.year()));
    f.month = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.month()));
    f.day = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.day()));
    f.dayOfWeek = static_cast<std::uint16_t>(weekday(date).c_encoding());
    f.millisecond = static_cast<std::uint16_t>(ms % 1000);
    ms /= 1000;
    f.second = static_cast<std::uint16_t>(ms % 60);
    ms /= 60;
    f.minute = static_cast<std::uint16_t>(ms % 60);
    f.hour = static_cast<std::uint16_t>(ms / 60);
    return true;
}

bool LocalFileTimeToFileTime(FileTime local, std::int32_t secondsEast, FileTime& utc) {
    const FileTime shift =
        static_cast<FileTime>(secondsEast < 0 ? -static_cast<std::int64_t>(secondsEast)
                                              : secondsEast) *
        platform::kFileTimeTicksPerSecond;
    if (secondsEast >= 0) {
        if (local < shift)
            return false;
        utc = local - shift;
    } else {
        if (local > kLastFileTime - shift)
            return false;
        utc = local + shift;
    }
    return true;
}

} // namespace stamp
