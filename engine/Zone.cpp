#include "engine/Zone.h"

#include "platform/LocalTime.h"

namespace engine {

SystemZone::SystemZone(Clock clock) : clock_(clock ? std::move(clock) : Clock(platform::UnixNow)) {}

std::optional<std::int32_t> SystemZone::OffsetNow() const {
    std::int32_t secondsEast = 0;
    if (platform::UtcOffsetAt(clock_(), secondsEast))
        return std::nullopt;
    return secondsEast;
}

const Zone& MachineZone() {
    static const SystemZone zone;
    return zone;
}

} // namespace engine
