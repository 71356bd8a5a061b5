// On real NTFS and FAT volumes, where the machine allows mounting them: Stamplet's /C must
// really set the creation time on NTFS, a FAT volume's coarse times must count as set, and
// times a volume cannot hold must not.

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/StampScript.h"
#include "platform/FileTimes.h"
#include "tests/support/ProgramRun.h"

#include "TempFolder.h"
#include "tests/support/WholeRun.h"

#include <gtest/gtest.h>

namespace {

struct ShellResult {
    int status = -1;
    std::string out;
};

ShellResult Shell(const std::string& command) {
    test::ProgramRun run;
    if (test::RunProgram("/bin/sh", {"-c", command}, "", {}, run))
        return {};
    return {run.exitStatus, run.out};
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

/// A small volume image mounted where the machine allows it: NTFS through ntfs-3g (on a loop
/// device where one can be had), FAT through the kernel or, where the kernel has no FAT, through
/// fusefat, ext4 on a loop device.
class Volume {
public:
    enum class Kind { Ntfs, Fat, Ext4 };

    explicit Volume(const test::TempFolder& folder)
        : image_((folder.path() / "volume.img").string()),
          mountPoint_((folder.path() / "mnt").string()) {}

    ~Volume() {
        if (mounted_)
            Shell("umount '" + mountPoint_ + "'");
        if (!loop_.empty())
            Shell("losetup -d '" + loop_ + "'");
    }

    /// Mounts the volume; the reason it cannot be had otherwise.
    std::string Mount(Kind kind) {
        if (Shell("[ \"$(id -u)\" = 0 ]").status != 0)
            return "mounting needs root";
        std::filesystem::create_directory(mountPoint_);
        const std::string reason = kind == Kind::Ntfs  ? MountNtfs()
                                   : kind == Kind::Fat ? MountFat()
                                                       : MountExt4();
        mounted_ = reason.empty();
        return reason;
    }

    const std::string& mountPoint() const { return mountPoint_; }

    /// Mounts the NTFS volume anew, so that what is read is what reached the image.
    bool Remount() {
        const std::string device = loop_.empty() ? image_ : loop_;
        return Shell("umount '" + mountPoint_ + "' && ntfs-3g '" + device + "' '" + mountPoint_ +
                     "'")
                   .status == 0;
    }

private:
    std::string MountNtfs() {
        if (Shell("[ -c /dev/fuse ]").status != 0)
            return "no /dev/fuse";
        if (Shell("command -v mkntfs && command -v ntfs-3g").status != 0)
            return "ntfs-3g is not installed (apt-get install ntfs-3g)";
        if (Shell("truncate -s 8M '" + image_ + "' && mkntfs -q -F -f '" + image_ + "'").status !=
            0)
            return "mkntfs failed";
        const ShellResult loop = Shell("losetup -f --show '" + image_ + "' 2>/dev/null");
        if (loop.status == 0)
            loop_ = Trimmed(loop.out);
        const std::string device = loop_.empty() ? image_ : loop_;
        if (Shell("ntfs-3g '" + device + "' '" + mountPoint_ + "'").status != 0)
            return "ntfs-3g could not mount the image";
        return {};
    }

    std::string MountFat() {
        if (Shell("command -v mkfs.vfat").status != 0)
            return "mkfs.vfat is not installed (apt-get install dosfstools)";
        if (Shell("truncate -s 8M '" + image_ + "' && mkfs.vfat '" + image_ + "'").status != 0)
            return "mkfs.vfat failed";
        if (Shell("mount -o loop '" + image_ + "' '" + mountPoint_ + "' 2>/dev/null").status == 0)
            return {};
        if (Shell("[ -c /dev/fuse ] && command -v fusefat").status != 0)
            return "the kernel mounts no FAT and fusefat is not there (apt-get install fusefat)";
        if (Shell("fusefat -o rw+ '" + image_ + "' '" + mountPoint_ + "'").status != 0)
            return "fusefat could not mount the image";
        return {};
    }

    std::string MountExt4() {
        if (Shell("command -v mkfs.ext4").status != 0)
            return "mkfs.ext4 is not installed (apt-get install e2fsprogs)";
        if (Shell("truncate -s 8M '" + image_ + "' && mkfs.ext4 -q '" + image_ + "'").status != 0)
            return "mkfs.ext4 failed";
        if (Shell("mount -o loop '" + image_ + "' '" + mountPoint_ + "' 2>/dev/null").status != 0)
            return "no loop device for the ext4 image";
        return {};
    }

    std::string image_;
    std::string mountPoint_;
    std::string loop_;
    bool mounted_ = false;
};

// Guards the whole creation-time road on NTFS: a /C that only seemed to work would leave every
// copied file with the wrong creation time.
TEST(NtfsVolumeTest, CreationTimeIsSetAndReadBack) {
    test::TempFolder folder;
    Volume volume(folder);
    if (const std::string reason = volume.Mount(Volume::Kind::Ntfs); !reason.empty())
        GTEST_SKIP() << reason;

    const std::filesystem::path target = std::filesystem::path(volume.mountPoint()) / "clip01.wmv";
    std::ofstream(target) << "video";
    test::ProgramRun run;
    ASSERT_FALSE(test::RunProgram(KRONALO_STAMPLET,
                                  {"/C", "/D", "03-07-2006", "/T", "14:05:09", "clip01.wmv"},
                                  volume.mountPoint(), {{"TZ", "UTC"}}, run));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.out.find("File clip01.wmv date/time changed succesfully"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "") << "NTFS keeps a creation time";
    ASSERT_FALSE(test::RunProgram(KRONALO_STAMPLET,
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
    Volume volume(folder);
    if (const std::string reason = volume.Mount(Volume::Kind::Ntfs); !reason.empty())
        GTEST_SKIP() << reason;
    const std::filesystem::path list(volume.mountPoint());

    // Many targets in a fast script: ntfs-3g keeps a copy of a file's times that a change made
    // otherwise than through its own attribute could later be overwritten from.
    constexpr platform::FileTime kSecond = platform::kFileTimeTicksPerSecond;
    constexpr int kPairs = 40;
    const auto created = [](int i) {
        return platform::kUnixEpochFileTime + (1105790407ULL + i) * kSecond;
    };
    const auto written = [](int i) {
        return platform::kUnixEpochFileTime + (1121428807ULL + i) * kSecond;
    };
    const auto name = [](int i, const char* extension) {
        return "clip" + std::to_string(10 + i) + extension;
    };
    for (int i = 0; i < kPairs; ++i) {
        std::ofstream(list / name(i, ".avi")) << "source";
        std::ofstream(list / name(i, ".wmv")) << "target";
        platform::FileTimeChange source;
        source.creation = created(i);
        source.lastWrite = written(i);
        bool creationNotKept = false;
        ASSERT_FALSE(
            platform::SetFileTimes((list / name(i, ".avi")).string(), source, creationNotKept));
        ASSERT_FALSE(creationNotKept);
    }

    test::WholeRun whole;
    whole.ListFiles(list.string());
    const auto script = engine::MakeShellScript();
    const std::string programFolder =
        std::filesystem::path(KRONALO_STAMPLET).parent_path().string() + "/";
    ASSERT_EQ(whole.Run({programFolder, *script}), engine::RunEnd::Started);
    EXPECT_EQ(whole.script.err, "");
    EXPECT_EQ(whole.LastBox(), engine::messages::kDone) << "no note: NTFS keeps both";

    ASSERT_TRUE(volume.Remount());
    for (int i = 0; i < kPairs; ++i) {
        platform::FileTimeSet target;
        ASSERT_FALSE(platform::GetFileTimes((list / name(i, ".wmv")).string(), target));
        EXPECT_EQ(target.creation, created(i)) << name(i, ".wmv");
        EXPECT_EQ(target.lastWrite, written(i)) << name(i, ".wmv");
    }
}

} // namespace

namespace {

/// Stamps `clip01.wmv` on `volume` with each row's date: a time the volume keeps (FAT to two
/// seconds) is reported as changed; one it cannot hold is reported as ignored, and then the entry
/// keeps every time it had, to the nanosecond.
void StampRows(const Volume& volume, std::initializer_list<std::pair<const char*, bool>> rows) {
    const std::string target = volume.mountPoint() + "/clip01.wmv";
    std::ofstream(target) << "target";
    for (const auto& [date, kept] : rows) {
        platform::FileTimeSet before, after;
        ASSERT_FALSE(platform::StatFileTimes(target, before));
        test::ProgramRun run;
        ASSERT_FALSE(test::RunProgram(KRONALO_STAMPLET,
                                      {"/D", date, "/T", "14:03:09", "clip01.wmv"},
                                      volume.mountPoint(), {{"TZ", "UTC"}}, run));
        EXPECT_NE(run.out.find(kept ? "File clip01.wmv date/time changed succesfully"
                                    : "Cannot change date/time of clip01.wmv -- file ignored"),
                  std::string::npos)
            << date << "\n"
            << run.out;
        ASSERT_FALSE(platform::StatFileTimes(target, after));
        if (!kept) {
            EXPECT_EQ(after.lastWrite, before.lastWrite) << date << ": reported ignored";
            EXPECT_EQ(after.lastAccess, before.lastAccess) << date << ": reported ignored";
        }
    }
}

// Guards an entry reported as ignored on ext4, which clamps what it cannot hold (before 1901,
// after 2446) without a word: it keeps the times it had.
TEST(Ext4VolumeTest, TimesItCannotHoldAreLeftAsFound) {
    test::TempFolder folder;
    Volume volume(folder);
    if (const std::string reason = volume.Mount(Volume::Kind::Ext4); !reason.empty())
        GTEST_SKIP() << reason;
    StampRows(volume, {{"01-01-1601", false}, {"02-17-2005", true}, {"12-31-9999", false}});
}

// Guards the read-back on FAT: last-write times kept to 2 seconds count as set, a date before
// the volume's first year does not and leaves the entry as it was; a whole run into a FAT
// subfolder of the list folder ends in the success box although the stored seconds are even.
TEST(FatVolumeTest, CoarseTimesCountAsSet) {
    test::TempFolder folder;
    Volume volume(folder);
    if (const std::string reason = volume.Mount(Volume::Kind::Fat); !reason.empty())
        GTEST_SKIP() << reason;
    StampRows(volume, {{"02-17-2005", true}, {"01-01-1601", false}});

    test::SetLastWrite(folder.Write("clip01.avi", "source"), 1105790407); // an odd second
    test::WholeRun whole;
    whole.ListFiles(folder.str());
    whole.request.fields.targetPattern = "mnt/*.wmv";
    const auto script = engine::MakeShellScript();
    const std::string programFolder =
        std::filesystem::path(KRONALO_STAMPLET).parent_path().string() + "/";
    ASSERT_EQ(whole.Run({programFolder, *script}), engine::RunEnd::Started);
    EXPECT_EQ(whole.LastBox(),
              std::string(engine::messages::kDone) + "\r\r" + engine::messages::kCreationNotKept)
        << whole.script.out;
}

} // namespace
