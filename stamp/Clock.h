#pragma once

#include "stamp/SystemTime.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace stamp {

/// The clock and zone Stamplet asks. Tests give a "now" of their own.
class StampClock {
public:
    virtual ~StampClock() = default;

    /// The local date and time now, with milliseconds; false when the clock cannot be read.
    virtual bool LocalNow(SystemTime& now) const = 0;

    /// Seconds east of UTC in force now, or nothing when the zone cannot be asked.
    virtual std::optional<std::int32_t> OffsetNow() const = 0;

    /// The local calendar time of a UTC file time by the zone's rules for that date.
    virtual bool UtcToLocal(platform::FileTime utc, SystemTime& local) const = 0;
};

/// The machine's clock and zone; "now" comes from `nowMilliseconds` (Unix milliseconds) where a
/// test gives it, from the system's clock otherwise.
class SystemStampClock final : public StampClock {
public:
    using Now = std::function<std::int64_t()>;
    explicit SystemStampClock(Now nowMilliseconds = {});

    bool LocalNow(SystemTime& now) const override;
    std::optional<std::int32_t> OffsetNow() const override;
    bool UtcToLocal(platform::FileTime utc, SystemTime& local) const override;

private:
    Now now_;
};

} // namespace stamp
