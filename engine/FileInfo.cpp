#include "engine/FileInfo.h"

#include "platform/FileTimes.h"

#include <chrono>

namespace engine {
namespace {

using namespace std::chrono;

/// The first millisecond after the last day a date-time value is written for (9999-12-31).
constexpr std::int64_t kEndOfYear9999 =
    (sys_days(year(10000) / January / 1) - sys_days(year(1899) / December / 30)).count() *
    kMillisecondsPerDay;

bool ToLocalDateTime(platform::FileTime utc, std::int64_t offsetMs, TDateTime& value) {
    const std::int64_t ms =
        static_cast<std::int64_t>(utc / 10000) - kFileTimeToDayZeroMilliseconds + offsetMs;
    if (ms >= kEndOfYear9999)
        return false;
    value = DateTimeFromMilliseconds(ms);
    return true;
}

} // namespace

TFileInfo::TFileInfo(std::string fileName, const Zone& zone)
    : FileName(std::move(fileName)), zone_(zone) {}

bool TFileInfo::ReadFileTimes(TDateTime& creationTime, TDateTime& lastAccessTime,
                              TDateTime& lastWriteTime) const {
    // Without a zone there is no local time to give: UTC in its place would stamp hours off.
    const std::optional<std::int32_t> offset = zone_.OffsetNow();
    platform::FileTimeSet times;
    if (!offset || platform::GetFileTimes(FileName, times))
        return false;
    const std::int64_t offsetMs = static_cast<std::int64_t>(*offset) * 1000;
    TDateTime creation = 0, access = 0, write = 0;
    if (!ToLocalDateTime(times.creation, offsetMs, creation) ||
        !ToLocalDateTime(times.lastAccess, offsetMs, access) ||
        !ToLocalDateTime(times.lastWrite, offsetMs, write))
        return false;
    creationTime = creation;
    lastAccessTime = access;
    lastWriteTime = write;
    return true;
}

} // namespace engine
