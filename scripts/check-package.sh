#!/usr/bin/env bash
# Builds the Windows zip from a finished windows-x86 build and checks what its users rely on:
# it is small (runtime DLLs and dd7r.dll without debug information); it holds every file the
# integration guide names (paths in backquotes under bin/, include/, doc/, docs/ (shipped as
# doc/), examples/ and tests/abi/, and the pictures it shows), each listed; the DLLs for hosts
# built by Microsoft's compiler (bin/msvc/) import system DLLs only; and a crash report can
# still be symbolised: the shipped dd7r.dll names its debug file (.gnu_debuglink) with that
# file's checksum, and the file beside the zip turns the address of an export of the shipped
# module into a source line of the module.
#   scripts/check-package.sh [build dir]       (default build/windows-x86)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build/windows-x86}"
# The limit catches debug information or a stray build folder in the zip, not growth: what ships
# (two modules, two logging libraries, the demo and the replay that carries the module's code
# for --inspect, the runtime DLLs) is about 3.3 MB compressed.
limit=$((4 * 1024 * 1024))
tools=i686-w64-mingw32

fail() { echo "package check: $*" >&2; exit 1; }

rm -f "$build"/package/dd7r-*-win32.zip
cpack --config "$build/CPackConfig.cmake" >/dev/null
zip="$(ls "$build"/package/dd7r-*-win32.zip)"
debug="$build/package/dd7r.dll.debug"
size="$(stat -c %s "$zip")"
echo "$(basename "$zip"): $size bytes (limit $limit)"
[ "$size" -lt "$limit" ] || fail "the zip is $size bytes, over $limit"
[ -f "$debug" ] || fail "$debug is missing"

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$root/$zip")
module="$(find "$unpacked" -path '*/bin/dd7r.dll')"
[ -n "$module" ] || fail "the zip holds no bin/dd7r.dll"
[ -n "$(find "$unpacked" -path '*/bin/msvc/dd7r.dll')" ] ||
  fail "the zip holds no bin/msvc/dd7r.dll (the module for hosts built by Microsoft's compiler)"
package_root="$(dirname "$(dirname "$module")")"

# Every shipped file the guide names. Paths in backquotes, with `include/dd7r/` understood in
# front of `interface/...`; folder names end with a slash.
guide=docs/integration-guide.md
named="$( (grep -o '`[^` ]*`' "$guide" | tr -d '`' |
           grep -E '^(bin|include|doc|docs|examples|tests/abi|interface)/' | sed 's/[,.;:]$//'
           grep -oE '\]\([A-Za-z0-9_./-]+\.png\)' "$guide" | sed -E 's/^\]\((.*)\)$/doc\/\1/') |
         sed -E 's#^docs/#doc/#; s#^interface/#include/dd7r/interface/#' | sort -u)"
[ -n "$named" ] || fail "found no file named in $guide"
missing=0
while read -r path; do
  case "$path" in *'*'*|*'<'*|*'('*) continue ;; esac  # patterns and placeholders, not files
  if [ -e "$package_root/$path" ]; then
    echo "  shipped: $path"
  else
    echo "  MISSING: $path (named in $guide)" >&2
    missing=$((missing + 1))
  fi
done <<<"$named"
[ "$missing" -eq 0 ] || fail "$missing file(s) the guide names are not in the zip"

# The DLLs for hosts built by Microsoft's compiler ship without the mingw-w64 runtime DLLs.
for dll in "$package_root"/bin/msvc/*.dll; do
  imports="$("$tools-objdump" -p "$dll" | awk '/DLL Name:/ {print $3}' | tr '\n' ' ')"
  echo "  bin/msvc/$(basename "$dll") imports: $imports"
  ! grep -qiE 'libstdc|libgcc|libwinpthread' <<<"$imports" ||
    fail "bin/msvc/$(basename "$dll") needs a mingw-w64 runtime DLL"
done

for dll in "$(dirname "$module")"/*.dll; do
  ! "$tools-objdump" -h "$dll" | grep -q '\.debug_info' || fail "$(basename "$dll") ships debug information"
done

# .gnu_debuglink: the file name, NUL-padded to 4 bytes, then the file's CRC-32 (gzip's).
"$tools-objcopy" --dump-section .gnu_debuglink="$unpacked/debuglink" "$module" ||
  fail "the shipped dd7r.dll has no .gnu_debuglink"
linked_name="$(tr '\0' '\n' <"$unpacked/debuglink" | head -n 1)"
linked_crc="$(tail -c 4 "$unpacked/debuglink" | od -An -tx4 | tr -d ' ')"
debug_crc="$(gzip -c "$debug" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' ')"
[ "$linked_name" = "$(basename "$debug")" ] || fail "debuglink names '$linked_name'"
[ "$linked_crc" = "$debug_crc" ] || fail "debuglink checksum $linked_crc, debug file $debug_crc"

# The address of createRenderer in the shipped module, from its export table.
image_base="$("$tools-objdump" -p "$module" | awk '$1 == "ImageBase" {print $2}')"
export_rva="$("$tools-objdump" -p "$module" |
  awk '/Export RVA/ {rva[n++] = $(NF - 2)} $NF == "createRenderer" {i = $(NF - 1); gsub(/[][]/, "", i)}
       END {print rva[i]}')"
address="$(printf '0x%x' $((0x$image_base + 0x$export_rva)))"
line="$("$tools-addr2line" -e "$debug" "$address")"
echo "createRenderer at $address: $line"
[[ "$line" =~ exports/Exports\.cpp:[0-9]+$ ]] || fail "$address does not symbolise to a line of Exports.cpp"
echo "package check passed"
