# What a Windows user installs: the program's resources and the release archive.
set -u
scr=$1 zip=$2
failures=0
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The program needs nothing beyond Windows' own DLLs.
system_dlls=' advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msimg32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll winmm.dll '
for exe in "$scr" "$(dirname "$scr")/swfrender.exe"; do
  foreign=""
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }'); do
    case "$system_dlls" in *" $dll "*) ;; *) foreign="$foreign $dll" ;; esac
  done
  check "$(basename "$exe") imports only Windows' own DLLs${foreign:+ (also:$foreign)}" test -z "$foreign"
done

# What users download is stripped: the debug sections stay with the build tree's copy.
for exe in "$scr" "$(dirname "$scr")/swfrender.exe"; do
  check "$(basename "$exe") carries no debug sections" \
    test -z "$(x86_64-w64-mingw32-objdump -h "$exe" | grep -F ' .debug_')"
done
check "the archive's program is the stripped one" cmp -s <(unzip -p "$zip" NimbreScreen.scr) "$scr"

# String 1 is the name in Windows' screen-saver list (block 1 holds strings 0-15).
wrestool -x --raw --type=6 --name=1 "$scr" > "$work/strings" 2>/dev/null
string1=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
at = 0
for index in range(2):
    (length,) = struct.unpack_from("<H", data, at)
    text = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
    at += 2 + 2 * length
print(text)' "$work/strings" 2>/dev/null)
check "string 1 reads Nimbre Screen (got '$string1')" test "$string1" = "Nimbre Screen"

wrestool -x --raw --type=16 "$scr" > "$work/version" 2>/dev/null
version_text=$(tr -d '\0' < "$work/version")
check "version resource names the product" grep -q 'ProductNameNimbre Screen' <<<"$version_text"
check "version resource carries the project version ${NIMBRE_VERSION}" grep -q "FileVersion${NIMBRE_VERSION}" <<<"$version_text"
check "version resource has a description and a copyright" grep -q 'LegalCopyrightCopyright' <<<"$version_text"

wrestool -x --raw --type=24 "$scr" > "$work/manifest" 2>/dev/null
check "manifest asks for asInvoker" grep -q 'level="asInvoker"' "$work/manifest"
check "manifest names common controls 6" grep -q 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$work/manifest"
check "manifest lists Windows 10/11 support" grep -q '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' "$work/manifest"

wrestool -x --type=14 --name=MAINICON "$scr" > "$work/icon.ico" 2>/dev/null
sizes=$(icotool -l "$work/icon.ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/p' | sort -n | uniq | tr '\n' ' ')
check "MAINICON has 16, 32, 48 and 256 pixel images (got $sizes)" test "$sizes" = "16x16 32x32 48x48 256x256 "
first_icon=$(wrestool -l --type=14 "$scr" 2>/dev/null | head -n 1)
check "MAINICON is the file's first icon group, so Explorer shows it" grep -q -- '--name=.MAINICON' <<<"$first_icon"

listing=$(unzip -Z1 "$zip" 2>/dev/null | sort | tr '\n' ' ')
check "archive holds exactly the program, the movie, README.txt and swfrender.exe (got $listing)" \
  test "$listing" = "NimbreScreen.scr README.txt nimbre.s swfrender.exe "

if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all checks passed"
