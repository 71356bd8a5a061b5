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
        echo "Missing Debian packages. Install them with:" >&2
        echo "  sudo apt-get install -y$missing" >&2
        return 1
    fi
}

# Everything the build and the tests need.
KRONALO_BUILD_PACKAGES="cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-qpa-plugins libgl-dev fonts-liberation"
# What the tests of Kronalo's real window need besides: a display of their own with a window
# manager, and hands on it.
KRONALO_TEST_PACKAGES="xvfb xauth openbox xdotool x11-utils"
