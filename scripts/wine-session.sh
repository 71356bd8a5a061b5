# Sourced by the scripts that run Kronalo's Windows programs under Wine.

# Wine takes its code pages and the encoding of file names from the locale: in the C locale, as
# where LANG and LC_ALL are unset, names with letters beyond ASCII come out garbled (Työkalut as
# TyÃ¶kalut). C.UTF-8 is there on every Debian system.
LANG=C.UTF-8
LC_ALL=C.UTF-8
export LANG LC_ALL

# A throwaway Wine prefix, and a display of its own where none is given (Xvfb on the first free
# number, with openbox, which gives the keyboard focus, where the first argument is "openbox");
# both go when the script exits.
kronalo_wine_session() {
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX
    kronalo_display_pid=""
    trap kronalo_wine_end EXIT
    [ -z "${DISPLAY:-}" ] || return 0
    number=90
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    kronalo_display_pid=$!
    export DISPLAY=":$number"
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        [ -e "/tmp/.X11-unix/X$number" ] && break
        sleep 0.5
    done
    if [ "${1:-}" = openbox ]; then
        openbox >/dev/null 2>&1 &
    fi
}

kronalo_wine_end() {
    wineserver -k 2>/dev/null || true
    [ -z "$kronalo_display_pid" ] || kill "$kronalo_display_pid" 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
