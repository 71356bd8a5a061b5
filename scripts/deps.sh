# Sourced by the set-up commands: makes sure the Debian packages named as arguments are there.
# As root it installs the missing ones with apt-get; otherwise it prints the line to run.

kronalo_need_packages() {
    missing=""
    for package in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
        case "$status" in
        *" installed") ;;
        *) missing="$missing $package" ;;
        esac
    done
    [ -z "$missing" ] && return 0

    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q && apt-get install -y -q --no-install-recommends $missing
    else
        # A minimal system has no sudo; there the line is for a root shell (su -).
        as_root=""
        command -v sudo >/dev/null 2>&1 && as_root="sudo "
        echo "Missing Debian packages. Install them as root with:" >&2
        echo "  ${as_root}apt-get update && ${as_root}apt-get install -y --no-install-recommends$missing" >&2
        return 1
    fi
}

# Says why each test of the last ctest run in build folder $1 was skipped: ctest itself names
# the test only.
kronalo_tell_skipped() {
    log="$1/Testing/Temporary/LastTest.log"
    [ -f "$log" ] || return 0
    awk '/^\[ RUN      \]/ { name = $4 }
         /: Skipped$/ { getline reason; print "Skipped " name ": " reason }' "$log"
}

# Everything the build and the tests need.
# (Qt's configuration looks for libxkbcommon's headers and says so twice where they are missing.)
KRONALO_BUILD_PACKAGES="cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-qpa-plugins libgl-dev libxkbcommon-dev fonts-liberation"
# What the tests of Kronalo's real window need besides: a display of their own with a window
# manager, and hands on it.
KRONALO_TEST_PACKAGES="xvfb xauth openbox xdotool x11-utils"
# And for the times on real NTFS, FAT and ext4 volumes: their tools and FUSE drivers.
KRONALO_TEST_PACKAGES="$KRONALO_TEST_PACKAGES ntfs-3g dosfstools fusefat e2fsprogs"
# And the sans faces a fresh system may give the window, each tried by the layout tests.
KRONALO_TEST_PACKAGES="$KRONALO_TEST_PACKAGES fonts-dejavu-core fonts-urw-base35 fonts-noto-core"
