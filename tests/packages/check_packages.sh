#!/usr/bin/env bash
# The packages as a user gets them: the .deb unpacked into a scratch root (nothing is installed
# on this machine) and the .zip into a scratch folder; their files, the .deb's fields and
# dependencies, the Windows programs' imports, and the packed program run. One line per
# check, then "packages: N passed, M failed".
#
#   check_packages.sh DEB ZIP NATIVE_PROGRAM SOURCE_DIR
set -uo pipefail
deb=$1
zip=$2
native=$3
source_dir=$4

passed=0
failed=0
# check NAME COMMAND...: one check, passed when COMMAND succeeds; its output shows on failure.
check() {
    local name=$1 output
    shift
    if output=$("$@" 2>&1); then
        echo "ok    $name"
        passed=$((passed + 1))
    else
        echo "FAIL  $name"
        [ -z "$output" ] || head -n 20 <<<"$output" | sed 's/^/      /'
        failed=$((failed + 1))
    fi
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/brevikon-packages.XXXXXX") || exit 1
trap 'rm -rf -- "$scratch"' EXIT
root=$scratch/root
version_line=$("$native" --version)
version=$(sed -nE 's/^brevikon-rtf ([0-9][0-9.]*)( .*)?$/\1/p' <<<"$version_line")
if [ -z "$version" ]; then
    echo "FAIL  the native program tells no version: '$version_line'"
    echo "packages: 0 passed, 1 failed"
    exit 1
fi

# Passes when the listed names (second argument) are the expected ones (first); else prints
# each one missing or unexpected.
same_names() {
    local diff
    diff=$(diff <(sort <<<"$1") <(sort <<<"$2") | sed -nE 's/^< /missing    /p; s/^> /unexpected /p')
    [ -z "$diff" ] || { echo "$diff"; return 1; }
}

# --- The .deb ---

check "deb: holds the program, its manual page, README and two licence texts, nothing else" \
    same_names "./usr/bin/brevikon-rtf
./usr/share/man/man1/brevikon-rtf.1.gz
./usr/share/doc/brevikon-rtf/README.md
./usr/share/doc/brevikon-rtf/licenses/gcc-runtime-libstdc++.txt
./usr/share/doc/brevikon-rtf/licenses/nlohmann-json.txt" "$(dpkg-deb --fsys-tarfile "$deb" | tar -tf - | grep -v '/$')"

fields_are_right() {
    [ "$(dpkg-deb -f "$deb" Package Version Architecture)" = "$(printf \
        'Package: brevikon-rtf\nVersion: %s\nArchitecture: %s' "$version" \
        "$(dpkg --print-architecture)")" ] || { dpkg-deb -f "$deb"; return 1; }
}
check "deb: Package, Version (the program's), Architecture" fields_are_right

mkdir -p "$root"
dpkg-deb -x "$deb" "$root" || echo "      dpkg-deb -x failed"
program=$root/usr/bin/brevikon-rtf

# The Debian package that holds a shared library at PATH, in one query for every spelling:
# Debian 12 records some under /lib and others under /usr/lib, whichever path ldd shows.
owner_of() {
    local path=$1 real
    real=$(readlink -f "$path")
    dpkg-query -S "$path" "${path#/usr}" "/usr$path" "$real" "${real#/usr}" "/usr$real" 2>/dev/null |
        sed -nE '1s/^([^:, ]+)(:[a-z0-9]+)?: .*/\1/p'
}
depends_fit_needed() {
    local needed soname path package owners="" named
    needed=$(objdump -p "$program" | sed -nE 's/^ *NEEDED +//p')
    [ -n "$needed" ] || { echo "no NEEDED entries in $program"; return 1; }
    for soname in $needed; do
        # The dynamic loader is listed by its path alone, without "=>".
        path=$(ldd "$program" | awk -v name="$soname" '
            $1 == name && $2 == "=>" { print $3 }
            $2 != "=>" && substr($1, length($1) - length(name)) == "/" name { print $1 }')
        package=$([ -n "$path" ] && owner_of "$path")
        owners+="${package:-($soname: no package)}"$'\n'
    done
    named=$(dpkg-deb -f "$deb" Depends | sed -e 's/, */\n/g' | sed 's/ .*//')
    same_names "$(sort -u <<<"${owners%$'\n'}")" "$named"
}
check "deb: Depends names the package of every library the program needs, and no other" \
    depends_fit_needed
check "deb: Recommends names the packages of the PDF's fonts and colour profile" \
    same_names "fonts-liberation
fonts-dejavu-core
icc-profiles-free" "$(dpkg-deb -f "$deb" Recommends | sed -e 's/, */\n/g')"

deb_licences_are_theirs() {
    local licences=$root/usr/share/doc/brevikon-rtf/licenses
    grep -qF "GCC RUNTIME LIBRARY EXCEPTION" "$licences/gcc-runtime-libstdc++.txt" &&
        grep -qF "Niels Lohmann" "$licences/nlohmann-json.txt"
}
check "deb: each licence text is its library's" deb_licences_are_theirs

converts_like_native() {
    "$program" -o "$scratch/packaged.rtf" "$source_dir/samples/BRIEF.TXT" &&
        cmp "$scratch/packaged.rtf" "$source_dir/samples/BRIEF.rtf"
}
check "deb: the program converts samples/BRIEF.TXT to its RTF" converts_like_native

# --- The .zip ---

top=brevikon-reader-$version-win64
check "zip: both programs, README and the four licence texts in $top/, nothing else" \
    same_names "$top/brevikon-reader.exe
$top/brevikon-rtf.exe
$top/README.md
$top/licenses/gcc-runtime-libstdc++.txt
$top/licenses/mingw-w64-runtime-winpthreads.txt
$top/licenses/nlohmann-json.txt
$top/licenses/zlib.txt" "$(unzip -Z1 "$zip" | grep -v '/$')"
unzip -q "$zip" -d "$scratch/zip" || echo "      unzip failed"
unpacked=$scratch/zip/$top

# Each text is the licence of its library, not some other copyright file.
licences_are_theirs() {
    local file marker wrong=0
    while IFS='|' read -r file marker; do
        grep -qF "$marker" "$unpacked/licenses/$file" || { echo "$file lacks '$marker'"; wrong=1; }
    done <<'EOF'
gcc-runtime-libstdc++.txt|GCC RUNTIME LIBRARY EXCEPTION
mingw-w64-runtime-winpthreads.txt|mingw-w64-libraries/winpthreads
nlohmann-json.txt|Niels Lohmann
zlib.txt|Jean-loup Gailly
EOF
    return $wrong
}
check "zip: each licence text is its library's" licences_are_theirs

for exe in brevikon-reader.exe brevikon-rtf.exe; do
    check "zip: $exe imports only DLLs of Windows" bash "$source_dir/tests/e2e/check_imports.sh" \
        "$(command -v x86_64-w64-mingw32-objdump)" "$unpacked/$exe"
done

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
