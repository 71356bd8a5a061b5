#!/bin/sh
# Installs Kronalo's MSI under Wine as a user would, in a throwaway Wine prefix, over an older
# version of it; checks what it put where (the programs, the user guide and their Start menu
# entries, Kronalo's icon), that the installed Stamplet.exe stamps a file, and that the installed
# Kronalo.exe runs a time copy through its window with it and keeps its settings in the user's
# configuration folder; then uninstalls it and checks that every trace has gone but the user's
# settings and the records of the user's runs.
#
#     scripts/msi-check.sh [build folder]
#
# The build folder (build-win unless given) is a cross build with the installer target `msi` and
# the tests' window_job, which are built first where they are not up to date.
set -eu
cd "$(dirname "$0")/.."
. scripts/wine-session.sh
. scripts/deps.sh
kronalo_need_packages cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 wixl msitools \
    xvfb xauth

build=${1:-build-win}
if [ ! -f "$build/CMakeCache.txt" ]; then
    [ "$build" = build-win ] || { echo "msi-check: $build is no configured build" >&2; exit 1; }
    cmake --preset windows
fi
cmake --build "$build" --target msi window_job
case $build in
/*) ;;
*) build="$(pwd)/$build" ;;
esac
version=$(sed -n 's/^project(Kronalo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
msi="$build/kronalo-$version-win64.msi"
[ -f "$msi" ] || { echo "msi-check: no $msi" >&2; exit 1; }

# A throwaway prefix, and a display for Kronalo.exe's window; both go when the script exits.
kronalo_wine_session
WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and a fresh prefix would offer to fetch them.
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG WINEDLLOVERRIDES

fail() {
    printf 'msi-check: %s\n' "$*" >&2
    exit 1
}

# The data of a registry value, the key's default value where no name is given; fails where
# the key or the value is missing.
registry_value() {
    if [ $# -ge 2 ]; then
        shown=$(wine reg query "$1" /v "$2" 2>/dev/null) || return 1
    else
        shown=$(wine reg query "$1" /ve 2>/dev/null) || return 1
    fi
    printf '%s\n' "$shown" | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -n 1
}

# Fails unless registry value $1 (a key, then a name where not the default) holds $2 exactly.
expect_value() {
    expected=$1
    shift
    actual=$(registry_value "$@") || fail "no registry value $*"
    [ "$actual" = "$expected" ] || fail "$*: \"$actual\" where \"$expected\" was expected"
}

key_exists() {
    wine reg query "$1" >/dev/null 2>&1
}

# The uninstall entry of a product code, which the list of installed apps shows: looked for in
# the user's part of the registry and the machine's, where Wine keeps it even for a per-user
# install.
uninstall_key() {
    for root in HKCU HKLM; do
        key="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"
        if key_exists "$key"; then
            printf '%s\n' "$key"
            return 0
        fi
    done
    return 1
}

# The value of column $3 (counted from 1) in the row of table $2 whose first column is $4.
table_value() {
    msiinfo export "$1" "$2" | tr -d '\r' | awk -F '\t' -v key="$4" -v column="$3" \
        'NR > 3 && $1 == key { print $column; exit }'
}

product_code() {
    table_value "$1" Property 2 ProductCode
}

# A path on C: as find names it from C:\ (./users/...).
below_c() {
    printf '%s\n' "$1" | sed -e 's/^[Cc]:\\/.\//' -e 's/\\/\//g'
}

wine_folder() {
    wine cmd /c "echo %$1%" | tr -d '\r'
}

# The same package as an older version: another product code, the same UpgradeCode.
older_version=0.0.1
older_folder=$(mktemp -d "$WINEPREFIX/older.XXXXXX")
cp "$build/msi/Kronalo.exe" "$build/msi/Stamplet.exe" "$build/msi/README.txt" \
    "$build/msi/kronalo.ico" "$older_folder/"
sed -e "s/<Product Id=\"[^\"]*\"/<Product Id=\"$(cat /proc/sys/kernel/random/uuid)\"/" \
    -e "s/Version=\"$version\"/Version=\"$older_version\"/" \
    "$build/msi/kronalo.wxs" >"$older_folder/kronalo.wxs"
(cd "$older_folder" && wixl --arch x64 --output older.msi kronalo.wxs 2>/dev/null) ||
    fail "the older version's MSI could not be built"
older_msi="$older_folder/older.msi"

WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || true

local_app_data=$(wine_folder LOCALAPPDATA)
app_data=$(wine_folder APPDATA)
[ -n "$local_app_data" ] && [ -n "$app_data" ] || fail "Wine names no user folders"
program_folder="$local_app_data\\Programs\\Kronalo"
program_folder_unix=$(winepath -u "$program_folder")
start_menu="$app_data\\Microsoft\\Windows\\Start Menu\\Programs"
shortcut_unix=$(winepath -u "$start_menu\\Kronalo.lnk")
guide_shortcut_unix=$(winepath -u "$start_menu\\Kronalo user guide.lnk")
kronalo_exe="$program_folder\\Kronalo.exe"
verb_key='HKCU\Software\Classes\Directory\shell\Kronalo'
background_key='HKCU\Software\Classes\Directory\Background\shell\Kronalo'
own_key='HKCU\Software\Kronalo'

# Kronalo's icon, as the list of installed apps and the Start menu entry show it.
[ "$(table_value "$msi" Property 2 ARPPRODUCTICON)" = kronalo.ico ] ||
    fail "$msi gives the list of installed apps no icon (ARPPRODUCTICON)"
[ "$(table_value "$msi" Shortcut 9 KronaloShortcut)" = kronalo.ico ] ||
    fail "the Start menu entry Kronalo has no icon"
(cd "$older_folder" && msiinfo extract "$msi" Icon.kronalo.ico >packed.ico) ||
    fail "$msi has no icon kronalo.ico"
cmp -s "$older_folder/packed.ico" data/kronalo.ico || fail "the icon in $msi is not data/kronalo.ico"

# The older version first, which the new one must replace.
wine msiexec /i "$(winepath -w "$older_msi")" /qn || fail "the older version did not install"
older_code=$(product_code "$older_msi")
uninstall_key "$older_code" >/dev/null || fail "the older version has no uninstall entry"

wine msiexec /i "$(winepath -w "$msi")" /qn || fail "msiexec /i failed"
code=$(product_code "$msi")
[ -n "$code" ] || fail "$msi names no product code"
if uninstall_key "$older_code" >/dev/null; then
    fail "the older version is still installed beside $version"
fi

# The programs and the user guide, side by side, as they are in the package.
extracted=$(mktemp -d "$WINEPREFIX/extracted.XXXXXX")
msiextract -C "$extracted" "$msi" >/dev/null
for file in Kronalo.exe Stamplet.exe README.txt; do
    packed=$(find "$extracted" -name "$file" -type f)
    [ -n "$packed" ] || fail "$file is not in $msi"
    [ -f "$program_folder_unix/$file" ] || fail "$file is not in $program_folder"
    cmp -s "$packed" "$program_folder_unix/$file" ||
        fail "the installed $file is not the packed one"
done

# The Start menu entry, to the installed Kronalo.exe.
[ -f "$shortcut_unix" ] || fail "no Start menu entry Kronalo"
grep -qaF "$kronalo_exe" "$shortcut_unix" ||
    fail "the Start menu entry does not start $kronalo_exe"
# And the user guide beside it.
[ -f "$guide_shortcut_unix" ] || fail "no Start menu entry Kronalo user guide"
grep -qaF "$program_folder\\README.txt" "$guide_shortcut_unix" ||
    fail "the Start menu entry Kronalo user guide does not open $program_folder\\README.txt"

# The entry in the list of installed apps.
entry=$(uninstall_key "$code") || fail "no uninstall entry for $code"
expect_value Kronalo "$entry" DisplayName
expect_value "$version" "$entry" DisplayVersion
expect_value "The Kronalo developers" "$entry" Publisher
expect_value "$program_folder\\" "$entry" InstallLocation

# "Avaa Kronalossa" on folders and on a folder's background.
expect_value "Avaa Kronalossa" "$verb_key"
expect_value "\"$kronalo_exe\" \"%1\"" "$verb_key\\command"
expect_value "Avaa Kronalossa" "$background_key"
expect_value "\"$kronalo_exe\" \"%V\"" "$background_key\\command"

# The installed Stamplet.exe stamps a file whose folder and name have letters beyond ASCII.
folder="$WINEPREFIX/drive_c/Leimattavat tiedostot ö"
mkdir -p "$folder"
echo video >"$folder/klippi é.wmv"
(cd "$folder" && wine "$program_folder\\Stamplet.exe" /W /D 02-17-2005 /T 14:03:09 'klippi é.wmv' \
    >/dev/null) || fail "the installed Stamplet.exe failed"
# Wine's local time is the system's, as date shows it.
stamped=$(date -r "$folder/klippi é.wmv" '+%m-%d-%Y %H:%M:%S')
[ "$stamped" = "02-17-2005 14:03:09" ] ||
    fail "the installed Stamplet.exe left the last-write time at $stamped"

# The installed Kronalo.exe, started from its folder as the Start menu starts it, runs a time copy
# through its window, and the installed Stamplet.exe stamps the targets: two sources and their
# targets in a folder of their own. window_job waits for each step and fails, saying which, where
# one does not come within 20 seconds.
job="$WINEPREFIX/drive_c/Kopioidut videot ö"
mkdir -p "$job"
for pair in "klippi 1:1105790407" "klippi 2:1121428807"; do
    echo video >"$job/${pair%%:*}.avi"
    touch -d "@${pair#*:}" "$job/${pair%%:*}.avi"
    echo converted >"$job/${pair%%:*}.wmv"
done
verdict=$(wine "$build/bin/window_job.exe" "$kronalo_exe" "$(winepath -w "$job/klippi 1.avi")") ||
    fail "the installed Kronalo.exe did not run the time copy: $verdict"
for stem in "klippi 1" "klippi 2"; do
    [ "$(stat -c %Y "$job/$stem.wmv")" = "$(stat -c %Y "$job/$stem.avi")" ] ||
        fail "the installed Kronalo.exe left $stem.wmv at $(date -r "$job/$stem.wmv")"
done
# Nothing of the run's is left beside the files, the script neither.
left=$(cd "$job" && ls -A | tr '\n' '/')
[ "$left" = "klippi 1.avi/klippi 1.wmv/klippi 2.avi/klippi 2.wmv/" ] ||
    fail "the time copy left in its folder: $left"
# An installed copy keeps its settings in the user's configuration folder, never beside itself.
settings="$app_data\\Kronalo\\Kronalo.dat"
settings_unix=$(winepath -u "$settings")
[ -s "$settings_unix" ] || fail "the installed Kronalo.exe saved no settings in $settings"
[ ! -e "$program_folder_unix/Kronalo.dat" ] ||
    fail "the installed Kronalo.exe saved its settings beside itself"

# The uninstall takes away everything the install made.
wine msiexec /x "$(winepath -w "$msi")" /qn || fail "msiexec /x failed"
[ ! -e "$program_folder_unix" ] || fail "$program_folder is left: $(ls -A "$program_folder_unix")"
[ ! -e "$shortcut_unix" ] || fail "the Start menu entry is left"
[ ! -e "$guide_shortcut_unix" ] || fail "the Start menu entry of the user guide is left"
for key in "$verb_key" "$background_key" "$own_key"; do
    if key_exists "$key"; then
        fail "the registry key $key is left"
    fi
done
if uninstall_key "$code" >/dev/null; then
    fail "the uninstall entry is left"
fi
# The user's own stay: the settings, and the records of the user's runs, which take them back;
# nothing else on C: bears Kronalo's name.
[ -s "$settings_unix" ] || fail "the uninstall took the settings $settings"
records="$local_app_data\\Kronalo"
ls "$(winepath -u "$records")"/*.kronalo-run >/dev/null 2>&1 ||
    fail "no record of the run in $records"
left=$(cd "$(winepath -u 'C:\')" &&
    find . -ipath '*kronalo*' ! -path "$(below_c "$records")/*.kronalo-run" | sort)
kept=$(for path in "$app_data\\Kronalo" "$settings" "$records"; do below_c "$path"; done | sort)
[ "$left" = "$kept" ] ||
    fail "the uninstall left $(echo $left) where only $(echo $kept) were to stay"
echo "installer checked: $msi"
