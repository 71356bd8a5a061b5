#include "engine/FileInfo.h"
#include "engine/StampFormat.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

using engine::FixedZone;
using engine::TDateTime;
using engine::TFileInfo;

constexpr long long kJan15_2005_12h = 1105790400; // 2005-01-15 12:00:00 UTC

// Guards the conversion of the last-write time: exact seconds stay exact, milliseconds are kept,
// the zone's offset is added.
TEST(FileInfoTest, ReadsLastWriteTimeInLocalTime) {
    test::TempFolder folder;
    const auto file = folder.Write("clip01.avi", "x");
    test::SetLastWrite(file, kJan15_2005_12h, 250);

    const FixedZone twoHoursEast(7200);
    TDateTime creation = -1, access = -1, write = -1;
    ASSERT_TRUE(TFileInfo(file.string(), twoHoursEast).ReadFileTimes(creation, access, write));
    EXPECT_EQ(engine::FormatStampDate(write), "01-15-2005");
    EXPECT_EQ(engine::FormatStampTime(write), "14:00:00");
    EXPECT_EQ(engine::DecodeDateTime(write).millisecond, 250);
    // Whatever the file system keeps as creation time, it is a real time of this file.
    EXPECT_GT(creation, 38000.0);
    EXPECT_GT(access, 38000.0);
}

// Guards the bare name: it is resolved against the current directory, as the run relies on.
TEST(FileInfoTest, BareNameIsFoundInCurrentFolder) {
    test::TempFolder folder;
    test::SetLastWrite(folder.Write("clip 02.avi"), kJan15_2005_12h);
    test::CurrentFolder here(folder.path());
    TDateTime creation, access, write;
    const FixedZone utc(0);
    ASSERT_TRUE(TFileInfo("clip 02.avi", utc).ReadFileTimes(creation, access, write));
    EXPECT_EQ(engine::FormatStampTime(write), "12:00:00");
}

// Guards the refusals: nothing is written to the out-parameters when the file cannot be read,
// nor when the zone cannot be asked (UTC in its place would stamp hours off).
TEST(FileInfoTest, RefusesWhatCannotBeOpened) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub.avi");
    const FixedZone utc(0);
    const FixedZone noZone(std::nullopt);
    const struct {
        const char* what;
        std::string path;
        const FixedZone& zone;
    } rows[] = {
        {"missing file", (folder.path() / "gone.avi").string(), utc},
        {"folder", (folder.path() / "sub.avi").string(), utc},
        {"empty name", "", utc},
        {"no zone", folder.Write("clip01.avi").string(), noZone},
    };
    for (const auto& row : rows) {
        TDateTime creation = 7, access = 8, write = 9;
        EXPECT_FALSE(TFileInfo(row.path, row.zone).ReadFileTimes(creation, access, write))
            << row.what;
        EXPECT_EQ(creation, 7) << row.what;
        EXPECT_EQ(access, 8) << row.what;
        EXPECT_EQ(write, 9) << row.what;
    }
}

} // namespace
