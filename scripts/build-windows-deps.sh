#!/usr/bin/env bash
# Builds the image decoders that the Windows module links statically (libspng and
# libjpeg-turbo), from Debian's source packages, with the mingw-w64 i686 toolchain. zlib comes
# from Debian's libz-mingw-w64-dev. Everything is cached under build/windows-deps/:
#   src/      unpacked source packages (also the PngSuite images the corona tests use)
#   build/    the CMake build folders
#   install/  headers and static libraries; the windows-x86 configure looks here
# A library whose install stamp exists is not built again. Quiet on success; on failure the
# log of the failing step is printed.
#
#   scripts/build-windows-deps.sh                 fetch sources, build and install both
#   scripts/build-windows-deps.sh --sources-only  fetch the sources only (the PngSuite fixture)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deps="${DD7R_WINDOWS_DEPS_DIR:-$root/build/windows-deps}"
src="$deps/src"
install="$deps/install"
logs="$deps/logs"
toolchain="$root/cmake/toolchain-mingw-i686.cmake"
mkdir -p "$src" "$install" "$logs"

# Several builds (native tests, the Windows build, other engineers' trees) may start this at
# once: one runs, the others wait for it and then find everything cached.
exec 9>"$deps/.lock"
flock 9

run_logged() { # name command...: runs quietly, prints the log when the command fails
  local name="$1"; shift
  if ! "$@" >"$logs/$name.log" 2>&1; then
    echo "build-windows-deps: step '$name' failed; log follows" >&2
    tail -n 60 "$logs/$name.log" >&2
    exit 1
  fi
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

has_deb_src_entry() {
  grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list &&
    return 0
  grep -qsE '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources
}

# Adds source entries mirroring the binary entries already configured (deb822 first, then the
# one-line format), in a file of its own.
add_deb_src_entry() {
  local deb822=/etc/apt/sources.list.d/debian.sources
  if [ -f "$deb822" ]; then
    sed -E 's/^Types:.*/Types: deb-src/' "$deb822" |
      as_root tee /etc/apt/sources.list.d/dd7r-deb-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list | sed -E 's/^([[:space:]]*)deb /\1deb-src /' |
      as_root tee /etc/apt/sources.list.d/dd7r-deb-src.list >/dev/null
  else
    echo "build-windows-deps: no apt source entry to mirror" >&2
    exit 1
  fi
}

ensure_source_index() {
  local stamp="$deps/.apt-source-ready"
  [ -f "$stamp" ] && return 0
  has_deb_src_entry || add_deb_src_entry
  run_logged apt-update as_root apt-get update -qq
  touch "$stamp"
}

# Unpacks Debian's source package $1 under src/ once; prints its folder.
fetch_source() {
  local package="$1" dir
  dir="$(find "$src" -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)"
  if [ -z "$dir" ]; then
    ensure_source_index
    (cd "$src" && run_logged "source-$package" apt-get source -qq "$package")
    dir="$(find "$src" -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)"
    [ -n "$dir" ] || { echo "build-windows-deps: source of $package not unpacked" >&2; exit 1; }
  fi
  echo "$dir"
}

# The PngSuite conformance images of libspng's test folder, copied to a fixed place.
publish_pngsuite() {
  local spng_dir="$1"
  [ -f "$src/pngsuite/.complete" ] && return 0
  rm -rf "$src/pngsuite"
  mkdir -p "$src/pngsuite"
  cp "$spng_dir"/tests/images/*.png "$src/pngsuite/"
  touch "$src/pngsuite/.complete"
}

cmake_build() { # name source-dir extra-cmake-args...
  local name="$1" source_dir="$2"; shift 2
  local build_dir="$deps/build/$name"
  [ -f "$install/.$name-installed" ] && return 0
  rm -rf "$build_dir"
  run_logged "$name-configure" cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$install" -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@"
  run_logged "$name-build" cmake --build "$build_dir" -j "${DD7R_DEPS_JOBS:-2}"
  run_logged "$name-install" cmake --install "$build_dir"
  touch "$install/.$name-installed"
}

spng_dir="$(fetch_source libspng)"
jpeg_dir="$(fetch_source libjpeg-turbo)"
publish_pngsuite "$spng_dir"
[ "${1:-}" = "--sources-only" ] && exit 0

[ -f /usr/i686-w64-mingw32/lib/libz.a ] ||
  { echo "build-windows-deps: libz-mingw-w64-dev is missing" >&2; exit 1; }

# libspng is one C file; its CMake project cannot build the static library alone, so it is
# compiled directly. Its SSE2 filters have no run-time processor check, and the module must
# run on any x86, so they stay off.
build_spng() {
  local spng_dir="$1" out="$deps/build/libspng"
  [ -f "$install/.libspng-installed" ] && return 0
  rm -rf "$out" && mkdir -p "$out" "$install/include" "$install/lib"
  run_logged libspng-compile i686-w64-mingw32-gcc-posix -std=c99 -O2 -DSPNG_STATIC \
    -DSPNG_DISABLE_OPT=1 -I/usr/i686-w64-mingw32/include -c "$spng_dir/spng/spng.c" -o "$out/spng.o"
  run_logged libspng-archive i686-w64-mingw32-ar rcs "$install/lib/libspng_static.a" "$out/spng.o"
  cp "$spng_dir/spng/spng.h" "$install/include/"
  touch "$install/.libspng-installed"
}
build_spng "$spng_dir"

cmake_build libjpeg-turbo "$jpeg_dir" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON \
  -DWITH_JAVA=OFF -DWITH_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm -DREQUIRE_SIMD=ON
