#!/bin/sh
# Kronalo.exe and Stamplet.exe carry what Windows and Explorer read from them: a version resource
# with the project's version and the copyright line of data/copyright, a well-formed manifest
# with the entries each program needs (each in the namespace Windows looks for it in), and
# Kronalo's icon in every size, as icon 1. Read on Linux with icoutils and libxml2-utils.
#
#     sh ProgramResources.sh <Kronalo.exe> <Stamplet.exe> <version> <source folder>
set -eu
kronalo=$1
stamplet=$2
version=$3
source=$4
for tool in wrestool icotool xmllint iconv; do
    command -v $tool >/dev/null || { echo "ProgramResources: $tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    printf 'ProgramResources: %s\n' "$*" >&2
    failures=$((failures + 1))
}

copyright=$(sed -n 's/^Copyright: /Copyright © /p' "$source/data/copyright" | head -n 1)
[ -n "$copyright" ] || fail "data/copyright has no Copyright: line"
holders=$(sed -n 's/^Copyright: [0-9, -]* //p' "$source/data/copyright" | head -n 1)

# The texts of a version resource, one a line: each name is followed by its value. The name's
# line begins with the binary lengths of its entry, so a name is matched at its line's end.
version_texts() {
    wrestool -x --raw --type=16 --name=1 "$1" | iconv -c -f UTF-16LE -t UTF-8 | tr '\000' '\n' |
        grep -v '^$'
}
version_text() {
    awk -v name="$2" 'found { print; exit }
        length($0) >= length(name) && substr($0, length($0) - length(name) + 1) == name { found = 1 }' \
        "$1"
}

# The numbers of the fixed part, after its signature 0xFEEF04BD: file version then product
# version, each as major.minor.patch.build.
fixed_versions() {
    # shellcheck disable=SC2046  # the bytes, one a word
    set -- $(wrestool -x --raw --type=16 --name=1 "$1" | od -An -v -tx1 | tr -d '\n' | tr -s ' ' |
        sed -n 's/.* bd 04 ef fe .. .. .. .. \(\(.. \)\{15\}..\).*/\1/p')
    [ $# -eq 16 ] || return 0
    printf '%d.%d.%d.%d %d.%d.%d.%d' "0x$4$3" "0x$2$1" "0x$8$7" "0x$6$5" \
        "0x${12}${11}" "0x${10}$9" "0x${16}${15}" "0x${14}${13}"
}

# Program, name, expected value.
check_version_resource() {
    program=$1
    exe=$2
    description=$3
    version_texts "$exe" >"$work/texts" || { fail "$program has no version resource"; return; }
    while IFS='|' read -r name expected; do
        actual=$(version_text "$work/texts" "$name")
        [ "$actual" = "$expected" ] || fail "$program's $name is \"$actual\", not \"$expected\""
    done <<EOF
ProductName|Kronalo
CompanyName|$holders
FileVersion|$version
ProductVersion|$version
FileDescription|$description
OriginalFilename|$program.exe
LegalCopyright|$copyright
EOF
    numbers=$(fixed_versions "$exe")
    [ "$numbers" = "$version.0 $version.0" ] ||
        fail "$program's version numbers are $numbers, not $version.0 twice"
}

# Each row: an XPath expression over the manifest and the text it must give.
check_manifest() {
    program=$1
    exe=$2
    rows=$3
    wrestool -x --raw --type=24 --name=1 "$exe" >"$work/manifest" ||
        { fail "$program has no manifest (RT_MANIFEST 1)"; return; }
    xmllint --noout "$work/manifest" 2>"$work/errors" ||
        { fail "$program's manifest is not well-formed: $(cat "$work/errors")"; return; }
    while IFS='|' read -r expression expected; do
        [ -n "$expression" ] || continue
        actual=$(xmllint --xpath "$expression" "$work/manifest" 2>/dev/null || true)
        [ "$actual" = "$expected" ] ||
            fail "$program's manifest: $expression is \"$actual\", not \"$expected\""
    done <<EOF
$rows
EOF
}

v1='urn:schemas-microsoft-com:asm.v1'
v3='urn:schemas-microsoft-com:asm.v3'
compatibility='urn:schemas-microsoft-com:compatibility.v1'
# Vista, 7, 8, 8.1, and 10 and 11.
supported_os_rows=$(for id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    echo "count(//*[namespace-uri()='$compatibility' and local-name()='supportedOS' and @Id='{$id}'])|1"
done)
common_rows="string(/*[namespace-uri()='$v1' and local-name()='assembly']/@manifestVersion)|1.0
string(//*[namespace-uri()='$v3' and local-name()='requestedExecutionLevel']/@level)|asInvoker
$supported_os_rows"
controls="//*[namespace-uri()='$v1' and local-name()='dependentAssembly']/*[local-name()='assemblyIdentity']"
settings_2005='http://schemas.microsoft.com/SMI/2005/WindowsSettings'
settings_2016='http://schemas.microsoft.com/SMI/2016/WindowsSettings'
dpi_aware="//*[namespace-uri()='$settings_2005' and local-name()='dpiAware']"
dpi_awareness="//*[namespace-uri()='$settings_2016' and local-name()='dpiAwareness']"
kronalo_rows="$common_rows
string($controls/@name)|Microsoft.Windows.Common-Controls
string($controls/@version)|6.0.0.0
string($controls/@publicKeyToken)|6595b64144ccf1df
normalize-space($dpi_aware)|true/pm
normalize-space($dpi_awareness)|PerMonitorV2, PerMonitor"
# A console program: no controls of its own to draw, nothing to scale.
stamplet_rows="$common_rows
count($controls)|0
count($dpi_awareness)|0"

check_version_resource Kronalo "$kronalo" \
    "Kronalo: gives converted or copied files the times of their originals"
check_version_resource Stamplet "$stamplet" \
    "Stamplet: sets the times of files to one local date and time"
check_manifest Kronalo "$kronalo" "$kronalo_rows"
check_manifest Stamplet "$stamplet" "$stamplet_rows"

# Kronalo's icon: group 1, the one Explorer shows, with every size.
if wrestool -x --type=14 --name=1 "$kronalo" >"$work/kronalo.ico" 2>/dev/null &&
    [ -s "$work/kronalo.ico" ]; then
    sizes=$(icotool -l "$work/kronalo.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' |
        tr '\n' ' ')
    [ "$sizes" = "16 24 32 48 64 128 256 " ] || fail "Kronalo's icon has the sizes $sizes"
else
    fail "Kronalo has no icon group 1"
fi

[ "$failures" -eq 0 ] || exit 1
echo "resources checked: $kronalo $stamplet"
