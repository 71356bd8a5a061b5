#include "platform/Wildcard.h"

#include "platform/AsciiCase.h"

namespace platform {
namespace {

/// Plain "*" and "?" matching; backtracks to the last star only, so it runs in
/// O(mask × name) at worst and never recurses.
bool Match(std::string_view mask, std::string_view name) {
    std::size_t m = 0, n = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() &&
                   (mask[m] == '?' || AsciiLower(mask[m]) == AsciiLower(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

bool HasWildcards(std::string_view mask) {
    return mask.find_first_of("*?") != std::string_view::npos;
}

bool WildcardMatch(std::string_view mask, std::string_view name) {
    if (Match(mask, name))
        return true;
    // "name.*" also matches "name": the extension may be missing altogether.
    return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
           Match(mask.substr(0, mask.size() - 2), name);
}

} // namespace platform
