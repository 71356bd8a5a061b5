#include "platform/AtPath_posix.h"

#include <gtest/gtest.h>

namespace {

// Guards the reading of a held folder's paths: only a whole descriptor number followed by a name
// or by nothing becomes a descriptor; anything else stays a path.
TEST(AtPathTest, HeldFolderPaths) {
    const struct {
        const char* what;
        std::string path;
        int folder;
        std::string name;
    } rows[] = {
        {"a name inside", "/proc/self/fd/12/clip01.wmv", 12, "clip01.wmv"},
        {"a name in a subfolder", "/proc/self/fd/7/sub/clip.wmv", 7, "sub/clip.wmv"},
        {"the folder itself", "/proc/self/fd/12", 12, "."},
        {"no number", "/proc/self/fd/", AT_FDCWD, "/proc/self/fd/"},
        {"not a number", "/proc/self/fd/12x/clip", AT_FDCWD, "/proc/self/fd/12x/clip"},
        {"a trailing separator alone", "/proc/self/fd/12/", AT_FDCWD, "/proc/self/fd/12/"},
        {"another process's", "/proc/1/fd/12/clip", AT_FDCWD, "/proc/1/fd/12/clip"},
        {"a relative name", "clip01.wmv", AT_FDCWD, "clip01.wmv"},
    };
    for (const auto& row : rows) {
        const platform::AtPath at = platform::AtPathOf(row.path);
        EXPECT_EQ(at.folder, row.folder) << row.what;
        EXPECT_EQ(std::string(at.name), row.name) << row.what;
    }
}

} // namespace
