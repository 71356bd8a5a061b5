# Sourced by the scripts that run Kronalo's Windows programs under Wine.

# Wine takes its code pages and the encoding of file names from the locale: in the C locale, as
# where LANG and LC_ALL are unset, names with letters beyond ASCII come out garbled (Työkalut as
# TyÃ¶kalut). C.UTF-8 is there on every Debian system.
LANG=C.UTF-8
LC_ALL=C.UTF-8
export LANG LC_ALL

# A throwaway Wine prefix and a display of its own (Xvfb, with openbox, which gives the keyboard
# focus, where the first argument is "openbox"); both go when the script exits. Xvfb picks the
# display number itself and names it once it takes clients: a number another server holds, even
# one that only its abstract socket shows, is never driven, nor is the display of the caller.
kronalo_wine_session() {
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX
    kronalo_display_pid=""
    trap kronalo_wine_end EXIT
    mkfifo "$WINEPREFIX/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WINEPREFIX/display" >/dev/null 2>&1 &
    kronalo_display_pid=$!
    number=""
    read -r number <"$WINEPREFIX/display" || true
    rm -f "$WINEPREFIX/display"
    case "$number" in
    '' | *[!0-9]*)
        echo "Xvfb did not start a display of its own" >&2
        return 1
        ;;
    esac
    export DISPLAY=":$number"
    if [ "${1:-}" = openbox ]; then
        openbox >/dev/null 2>&1 &
    fi
}

kronalo_wine_end() {
    wineserver -k 2>/dev/null || true
    [ -z "$kronalo_display_pid" ] || kill "$kronalo_display_pid" 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
