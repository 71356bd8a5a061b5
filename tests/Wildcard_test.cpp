#include "platform/Wildcard.h"

#include <gtest/gtest.h>

namespace {

// Guards the wildcard rules Windows users know, shared by Stamplet's search and Kronalo's list.
TEST(WildcardTest, Match) {
    const struct {
        const char* what;
        const char* mask;
        const char* name;
        bool matches;
    } rows[] = {
        {"star-dot-star matches a name with a dot", "*.*", "clip01.avi", true},
        {"star-dot-star matches a name without a dot", "*.*", "README", true},
        {"star-dot-star matches a dot file", "*.*", ".hidden", true},
        {"extension mask", "*.avi", "clip01.avi", true},
        {"extension mask refuses another extension", "*.avi", "clip01.wmv", false},
        {"letters ignore case", "*.AVI", "clip01.avi", true},
        {"letters ignore case both ways", "CLIP??.avi", "clip01.AVI", true},
        {"question mark is exactly one character", "clip?.avi", "clip01.avi", false},
        {"question mark needs a character", "clip0?", "clip0", false},
        {"trailing .* matches no extension", "clip01.*", "clip01", true},
        {"trailing .* matches any extension", "clip01.*", "clip01.avi", true},
        {"bracket stands for itself", "[a]*", "[a].txt", true},
        {"bracket is no character class", "[a]*", "a.txt", false},
        {"star in the middle", "k*_*.wmv", "kuva_01.wmv", true},
        {"star backtracks", "*a*b", "xaxxaxb", true},
        {"star backtracks and fails", "*a*b", "xaxxaxc", false},
        {"plain mask must match all", "clip", "clip01", false},
        {"empty mask matches only empty", "", "a", false},
        {"lone star", "*", "anything at all", true},
        {"non-ASCII bytes compare exactly", "kesä*", "kesäkuu.avi", true},
        {"many stars stay fast", "*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
         false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(platform::WildcardMatch(row.mask, row.name), row.matches) << row.what;
}

} // namespace
