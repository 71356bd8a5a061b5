#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace engine {

/// Where the engine learns the offset of local time from UTC in force at the moment of the run.
/// Tests hand in a zone of their own.
class Zone {
public:
    virtual ~Zone() = default;

    /// Seconds east of UTC in force now, or nothing when the zone cannot be asked.
    virtual std::optional<std::int32_t> OffsetNow() const = 0;
};

/// The machine's time zone, asked at the moment its clock gives.
class SystemZone final : public Zone {
public:
    /// Seconds since 1970-01-01 UTC.
    using Clock = std::function<std::int64_t()>;

    /// A zone asked at the moment `clock` gives; at the real current moment without one.
    explicit SystemZone(Clock clock = {});

    std::optional<std::int32_t> OffsetNow() const override;

private:
    Clock clock_;
};

/// A zone whose offset was taken once and does not change.
class FixedZone final : public Zone {
public:
    explicit FixedZone(std::optional<std::int32_t> secondsEast) : secondsEast_(secondsEast) {}
    std::optional<std::int32_t> OffsetNow() const override { return secondsEast_; }

private:
    std::optional<std::int32_t> secondsEast_;
};

/// The machine's zone at the real current moment.
const Zone& MachineZone();

} // namespace engine
