#include "engine/Zone.h"

#include "platform/LocalTime.h"

namespace engine {

SystemZone::SystemZone(Clock clock) : clock_(std::move(clock)) {}

std::optional<std::int32_t> SystemZone::OffsetNow() const {
    std::int32_t secondsEast = 0;
    const std::error_code error =
        clock_ ? platform::UtcOffsetAt(clock_(), secondsEast) : platform::UtcOffsetNow(secondsEast);
    if (error)
        return std::nullopt;
    return secondsEast;
}

const Zone& MachineZone() {
    static const SystemZone zone;
    return zone;
}

} // namespace engine
