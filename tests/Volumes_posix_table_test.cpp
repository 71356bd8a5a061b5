// The mount table as the folder tree's places read it.

#include "platform/Volumes_posix.h"

#include <gtest/gtest.h>

namespace {

// Guards which mounts are the user's volumes: what desktops mount under /media, network shares,
// and under /mnt only block devices and shares, not a tmpfs or any other mount made there.
TEST(MountTableTest, RemovableAndNetworkVolumes) {
    const char* table = ("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                         "40 22 0:35 / /mnt/python rw - tmpfs tmpfs rw,size=4k\n"
                         "41 22 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n"
                         "42 22 0:36 / /mnt/share rw - cifs //server/share rw\n"
                         "43 22 0:37 / /media/u/My\\040Stick rw - fuseblk /dev/sdc1 rw\n"
                         "44 22 0:38 / /srv/nfs rw - nfs4 server:/export rw\n"
                         "45 22 8:33 / /mnt/disk rw shared:7 master:2 - ext4 /dev/sdd1 rw\n");
    std::vector<std::string> places;
    for (const platform::Volume& volume : platform::VolumesOfMountTable(table))
        places.push_back(volume.root + (volume.removable ? " removable" : "") +
                         (volume.network ? " network" : ""));
    EXPECT_EQ(places, (std::vector<std::string>{"/", "/mnt/python", "/mnt/usb removable",
                                                "/mnt/share removable network",
                                                "/media/u/My Stick removable", "/srv/nfs network",
                                                "/mnt/disk removable"}));
}

} // namespace
