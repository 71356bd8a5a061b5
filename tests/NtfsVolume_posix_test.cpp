// On a real NTFS volume through ntfs-3g, where the machine allows mounting one: Stamplet's /C
// must really set the creation time, and Kronalo's engine must read it back.

#include "engine/FileInfo.h"
#include "engine/StampFormat.h"
#include "engine/StampScript.h"
#include "platform/FileTimes.h"
#include "platform/Process.h"

#include "ScriptRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

struct ShellResult {
    int status = -1;
    std::string out;
};

ShellResult Shell(const std::string& command) {
    platform::ProgramRun run;
    if (platform::RunProgram("/bin/sh", {"-c", command}, "", {}, run))
        return {};
    return {run.exitStatus, run.out};
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

/// A small NTFS image mounted through ntfs-3g, on a loop device where one can be had.
class NtfsVolume {
public:
    explicit NtfsVolume(const test::TempFolder& folder)
        : image_((folder.path() / "volume.img").string()),
          mountPoint_((folder.path() / "mnt").string()) {}

    ~NtfsVolume() {
        if (mounted_)
            Shell("umount '" + mountPoint_ + "'");
        if (!loop_.empty())
            Shell("losetup -d '" + loop_ + "'");
    }

    /// Mounts the volume; the reason it cannot be had otherwise.
    std::string Mount() {
        if (Shell("[ \"$(id -u)\" = 0 ]").status != 0)
            return "mounting needs root";
        if (Shell("[ -c /dev/fuse ]").status != 0)
            return "no /dev/fuse";
        if (Shell("command -v mkntfs && command -v ntfs-3g").status != 0)
            return "ntfs-3g is not installed (apt-get install ntfs-3g)";
        std::filesystem::create_directory(mountPoint_);
        if (Shell("truncate -s 8M '" + image_ + "' && mkntfs -q -F -f '" + image_ + "'").status !=
            0)
            return "mkntfs failed";
        const ShellResult loop = Shell("losetup -f --show '" + image_ + "' 2>/dev/null");
        if (loop.status == 0)
            loop_ = Trimmed(loop.out);
        const std::string device = loop_.empty() ? image_ : loop_;
        if (Shell("ntfs-3g '" + device + "' '" + mountPoint_ + "'").status != 0)
            return "ntfs-3g could not mount the image";
        mounted_ = true;
        return {};
    }

    const std::string& mountPoint() const { return mountPoint_; }

private:
    std::string image_;
    std::string mountPoint_;
    std::string loop_;
    bool mounted_ = false;
};

// Guards the whole creation-time road on NTFS: a /C that only seemed to work would leave every
// copied file with the wrong creation time.
TEST(NtfsVolumeTest, CreationTimeIsSetAndReadBack) {
    test::TempFolder folder;
    NtfsVolume volume(folder);
    if (const std::string reason = volume.Mount(); !reason.empty())
        GTEST_SKIP() << reason;

    const std::filesystem::path target = std::filesystem::path(volume.mountPoint()) / "clip01.wmv";
    std::ofstream(target) << "video";
    platform::ProgramRun run;
    ASSERT_FALSE(platform::RunProgram(KRONALO_STAMPLET,
                                      {"/C", "/D", "03-07-2006", "/T", "14:05:09", "clip01.wmv"},
                                      volume.mountPoint(), {{"TZ", "UTC"}}, run));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.out.find("File clip01.wmv date/time changed succesfully"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "") << "NTFS keeps a creation time";
    ASSERT_FALSE(platform::RunProgram(KRONALO_STAMPLET,
                                      {"/W", "/D", "03-07-2006", "/T", "14:52:40", "clip01.wmv"},
                                      volume.mountPoint(), {{"TZ", "UTC"}}, run));

    const engine::FixedZone utc(0);
    engine::TDateTime creation, access, write;
    ASSERT_TRUE(engine::TFileInfo(target.string(), utc).ReadFileTimes(creation, access, write));
    EXPECT_EQ(engine::FormatStampDate(creation) + " " + engine::FormatStampTime(creation),
              "03-07-2006 14:05:09");
    EXPECT_EQ(engine::FormatStampDate(write) + " " + engine::FormatStampTime(write),
              "03-07-2006 14:52:40");
}

} // namespace

namespace {

// Guards the product's promise where Linux can keep it whole: on NTFS each target gets both the
// creation and the last-write time of its source.
TEST(NtfsVolumeTest, TimeCopyRunCopiesCreationTimes) {
    test::TempFolder folder;
    NtfsVolume volume(folder);
    if (const std::string reason = volume.Mount(); !reason.empty())
        GTEST_SKIP() << reason;
    const std::filesystem::path list(volume.mountPoint());

    constexpr platform::FileTime kSecond = platform::kFileTimeTicksPerSecond;
    const platform::FileTime created = platform::kUnixEpochFileTime + 1105790407ULL * kSecond;
    const platform::FileTime written = platform::kUnixEpochFileTime + 1121428807ULL * kSecond;
    std::ofstream(list / "clip01.avi") << "source";
    std::ofstream(list / "clip01.wmv") << "target";
    platform::FileTimeChange source;
    source.creation = created;
    source.lastWrite = written;
    bool creationNotKept = false;
    ASSERT_FALSE(platform::SetFileTimes((list / "clip01.avi").string(), source, creationNotKept));
    ASSERT_FALSE(creationNotKept);

    test::CurrentFolder here(list);
    test::ScriptRunSurroundings surroundings(list.string(), "*.wmv");
    const auto script = engine::MakeShellScript();
    const std::string programFolder =
        std::filesystem::path(KRONALO_STAMPLET).parent_path().string() + "/";
    ASSERT_EQ(engine::RunTimeCopy(surroundings, {programFolder, *script}), engine::RunEnd::Started);
    EXPECT_EQ(surroundings.script.err, "");

    platform::FileTimeSet target;
    ASSERT_FALSE(platform::GetFileTimes((list / "clip01.wmv").string(), target));
    EXPECT_EQ(target.creation, created);
    EXPECT_EQ(target.lastWrite, written);
}

} // namespace
