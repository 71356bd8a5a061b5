#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace test {

/// A zone two hours east of UTC whose daylight-saving time (last Sunday of March to last Sunday
/// of October) is three hours east. Needs no time-zone database.
inline constexpr const char* kEasternEurope = "EET-2EEST,M3.5.0/3,M10.5.0/4";

/// Sets TZ for the lifetime of this object.
class ScopedTz {
public:
    explicit ScopedTz(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", tz, 1);
    }
    ScopedTz(const ScopedTz&) = delete;
    ScopedTz& operator=(const ScopedTz&) = delete;
    ~ScopedTz() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
    }

private:
    std::optional<std::string> old_;
};

} // namespace test
