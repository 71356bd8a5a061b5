// The file-system kinds kept by device, and the watch that tells when they may have gone stale.

#include "platform/FileSystemKind_posix.h"

#include "TempFolder.h"

#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include <gtest/gtest.h>

namespace {

using platform::FileSystemKind;

// Guards the cache: a kind is kept while the mount table stays as it is, forgotten once it
// changes (a device number passes to the next medium mounted), and not kept where it was learnt
// across a change that another lookup saw.
TEST(FileSystemKindTest, KindsLastWhileTheMountsStay) {
    platform::KindCache cache;
    bool changed = false;
    const auto mounts = [&changed] { return std::exchange(changed, false); };
    std::uint64_t generation = 0, before = 0;

    EXPECT_EQ(cache.Find(8, mounts, generation), std::nullopt);
    cache.Add(8, FileSystemKind::Fat, generation);
    EXPECT_EQ(cache.Find(8, mounts, generation), FileSystemKind::Fat) << "kept";
    changed = true;
    EXPECT_EQ(cache.Find(8, mounts, generation), std::nullopt) << "forgotten after a change";

    EXPECT_EQ(cache.Find(9, mounts, before), std::nullopt);
    changed = true;
    EXPECT_EQ(cache.Find(8, mounts, generation), std::nullopt);
    cache.Add(9, FileSystemKind::NtfsFuse, before);
    EXPECT_EQ(cache.Find(9, mounts, generation), std::nullopt) << "learnt across a change";
}

/// In a child process with a mount namespace of its own (and a user namespace where mounting
/// needs one): 0 where the watch saw a tmpfs mounted on `folder` and unmounted, each once; 2 where
/// no mount could be made here; another status where the watch failed.
int WatchAMount(const std::string& folder) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return 2;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    // Nothing mounted here reaches the namespace the tests run in; where the root is no mount of
    // its own (a chroot), root may still mount on the test's own folder, which it unmounts.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 && ::geteuid() != 0)
        return 2;
    platform::MountWatch watch;
    if (watch.Changed())
        return 3;
    if (::mount("none", folder.c_str(), "tmpfs", 0, nullptr) != 0)
        return 2;
    if (!watch.Changed() || watch.Changed())
        return 4;
    if (::umount(folder.c_str()) != 0 || !watch.Changed() || watch.Changed())
        return 5;
    return 0;
}

// Guards the watch on a real mount table: quiet while nothing is mounted, a mount and an unmount
// each seen once.
TEST(FileSystemKindTest, MountWatchSeesAMount) {
    test::TempFolder folder;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(WatchAMount(folder.str()));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "no mount namespace of the test's own here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: a change at the start, 4: the mount, 5: the unmount";
}

} // namespace
