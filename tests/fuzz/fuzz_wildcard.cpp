// The wildcard matcher: mask and name are the input split at its first NUL byte.

#include "platform/Wildcard.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string mask = input.substr(0, split);
    const std::string name = split == std::string::npos ? std::string() : input.substr(split + 1);

    const bool matches = platform::WildcardMatch(mask, name);
    if (!platform::WildcardMatch("*", name) || !platform::WildcardMatch("*.*", name))
        std::abort();
    if (platform::WildcardMatch(Lower(mask), Lower(name)) != matches)
        std::abort(); // Letters compare without regard to case.
    if (!platform::HasWildcards(mask) && matches != (Lower(mask) == Lower(name)) &&
        !(mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*"))
        std::abort(); // A plain mask names exactly one name.
    if (!platform::WildcardMatch(name, name) && !platform::HasWildcards(name))
        std::abort();
    return 0;
}
