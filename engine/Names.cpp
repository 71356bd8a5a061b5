#include "engine/Names.h"

namespace engine {
namespace {

/// Position (0-based) of the last character of `text` that is one of `wanted`, looking at the
/// last character only when it is the only one; npos without a hit.
std::size_t FindLastBeforeEnd(std::string_view text, std::string_view wanted) {
    if (text.size() == 1)
        return wanted.find(text[0]) != std::string_view::npos ? 0 : std::string_view::npos;
    if (text.size() < 2)
        return std::string_view::npos;
    return text.substr(0, text.size() - 1).find_last_of(wanted);
}

} // namespace

std::string LastPathComponent(std::string_view path) {
    const std::size_t p = FindLastBeforeEnd(path, "\\/");
    if (p == std::string_view::npos)
        return {};
    // A lone separator is its own last component.
    return std::string(path.size() == 1 ? path : path.substr(p + 1));
}

std::string StripExtension(std::string_view name) {
    const std::size_t p = FindLastBeforeEnd(name, ".");
    return std::string(p == std::string_view::npos ? name : name.substr(0, p));
}

std::string MakeTargetName(std::string_view sourceName, std::string_view pattern) {
    const std::string stem = StripExtension(sourceName);
    std::string target;
    for (const char c : pattern) {
        if (c == '*')
            target += stem;
        else
            target += c;
    }
    return target;
}

} // namespace engine
