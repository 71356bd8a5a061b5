// The zone seam against the machine's real zone rules, under a TZ the test sets.

#include "engine/FileInfo.h"
#include "engine/StampFormat.h"

#include "ScopedTz.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

using engine::TDateTime;
using engine::TFileInfo;

constexpr long long kJan15_2005_12h = 1105790400; // 2005-01-15 12:00:00 UTC
constexpr long long kJul15_2025_12h = 1752580800; // 2025-07-15 12:00:00 UTC

// Guards the daylight-saving mend: the offset in force at the moment of the run is used, so a
// run in summer hands Stamplet the same local time that Stamplet turns back with its summer
// offset. Under the standard bias alone the summer row would read 14:00.
TEST(FileInfoTest, UsesOffsetInForceAtMomentOfRun) {
    test::ScopedTz tz(test::kEasternEurope);
    test::TempFolder folder;
    const auto file = folder.Write("clip01.avi");
    test::SetLastWrite(file, kJan15_2005_12h);

    const struct {
        const char* what;
        long long now;
        const char* time;
    } rows[] = {
        {"run in standard time", kJan15_2005_12h, "14:00:00"},
        {"run in daylight-saving time", kJul15_2025_12h, "15:00:00"},
    };
    for (const auto& row : rows) {
        const engine::SystemZone zone([now = row.now] { return now; });
        TDateTime creation, access, write;
        ASSERT_TRUE(TFileInfo(file.string(), zone).ReadFileTimes(creation, access, write));
        EXPECT_EQ(engine::FormatStampTime(write), row.time) << row.what;
    }
}

} // namespace
