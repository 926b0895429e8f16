#!/usr/bin/env bash
# Builds the example hosts from the installed Windows package, as a host developer would, and
# runs each under Wine in a folder holding only what it ships beside it:
#   - examples/mingw with CMake and mingw-w64 (dd7r.dll and its three runtime DLLs);
#   - examples/host in Microsoft's compiler's ABI: clang for i686-pc-windows-msvc and lld-link
#     against Wine's import libraries, with the stand-in C++ headers of that compiler's layout
#     (tests/msvc_abi/include), beside msvc/dd7r.dll alone.
# Both build with -Wall -Wextra -Werror (the guide's GetProcAddress casts included) and must end
# with "example host: OK". The Microsoft-ABI one runs a second time with the package's
# msvc/dll_logger.dll and a capture path that cannot be created: dd7r.log must say so.
#   scripts/wine-session.sh scripts/check-examples.sh [build dir]   (default build/windows-x86)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build/windows-x86}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "example check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/package" >/dev/null
package="$work/package"

run_example() {  # folder, name
  local output
  output="$(cd "$1" && wine example_host.exe 2>&1)" || { echo "$output"; fail "$2 example failed"; }
  echo "$output" | sed "s/^/  [$2] /"
  grep -q '^example host: OK' <<<"$output" || fail "$2 example did not report OK"
}

echo "example host, mingw-w64 (examples/mingw)"
cmake -S "$package/examples/mingw" -B "$work/mingw" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_CXX_COMPILER=i686-w64-mingw32-g++-posix \
  -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$work/mingw" >/dev/null
run_example "$work/mingw" mingw

echo "example host, Microsoft's compiler's ABI (examples/host with clang and lld-link)"
wine_headers=/usr/include/wine/wine
wine_libs=/usr/lib/i386-linux-gnu/wine/i386-windows
resources="$(clang -print-resource-dir)"
stl="$work/msvc-stl"
mkdir -p "$stl" "$work/msvc"
find tests/msvc_abi/include -type f ! -name windows.h -exec cp {} "$stl" \;
# Wine's winnt.h defines, as inline functions, eight intrinsics that clang has built in for
# that target; they are renamed out of the way (the example uses none of them).
renamed=()
for name in InterlockedAnd64 InterlockedCompareExchangePointer InterlockedExchangeAdd64 \
            InterlockedExchangePointer InterlockedIncrement64 InterlockedDecrement64 \
            InterlockedOr64 InterlockedXor64; do
  renamed+=("-D_$name=wine_$name")
done
common=(--target=i686-pc-windows-msvc -O1 -Wall -Wextra -Werror -nostdinc
        -isystem "$resources/include" -isystem "$wine_headers/msvcrt"
        -isystem "$wine_headers/windows" -D_MSVCR_VER=0)
clang "${common[@]}" -fms-extensions -fexceptions -fcxx-exceptions -std=c++17 -I"$stl" \
  -I"$package/include/dd7r" "${renamed[@]}" \
  -c "$package/examples/host/ExampleHost.cpp" -o "$work/msvc/ExampleHost.obj"
clang "${common[@]}" -fms-extensions -fexceptions -fcxx-exceptions -std=c++17 -I"$stl" \
  -c tests/msvc_abi/MsvcRuntime.cpp -o "$work/msvc/MsvcRuntime.obj"
clang "${common[@]}" -std=c11 -c tests/abi/MsvcStart.c -o "$work/msvc/MsvcStart.obj"
lld-link /nologo /safeseh:no /subsystem:console /entry:mainCRTStartup \
  /out:"$work/msvc/example_host.exe" "$work/msvc/ExampleHost.obj" "$work/msvc/MsvcRuntime.obj" \
  "$work/msvc/MsvcStart.obj" "$wine_libs/libmsvcrt.a" "$wine_libs/libkernel32.a" \
  "$wine_libs/libddraw.a" "$wine_libs/libdxguid.a"
rm "$work/msvc"/*.obj
cp "$package/bin/msvc/dd7r.dll" "$work/msvc/"
run_example "$work/msvc" msvc

# Again with the package's msvc/dll_logger.dll and a KelLogger.ini (level 1) beside it, and a
# capture file that cannot be created: the module draws as before, and dd7r.log says why there
# is no capture.
cp "$package/bin/msvc/dll_logger.dll" "$work/msvc/"
printf '[dd7r]\r\nLevel = 1\r\n' >"$work/msvc/KelLogger.ini"
DD7R_CAPTURE='C:\no-such-folder\ui.dd7rcap' run_example "$work/msvc" msvc+logger
grep -q 'L1 dd7r capture: cannot create the capture file' "$work/msvc/dd7r.log" ||
  fail "dd7r.log lacks the capture failure line; it holds: $(cat "$work/msvc/dd7r.log" 2>&1)"
echo "  [msvc+logger] dd7r.log: $(grep -c . "$work/msvc/dd7r.log") lines, the capture failure among them"
echo "example check passed"
