#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12, only where something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang lld libclang-rt-14-dev pkg-config
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev nasm
  wine wine32:i386 libwine-dev:i386
  libpixman-1-dev libsdl2-dev
  zlib1g-dev libspng-dev libturbojpeg0-dev libstb-dev libpng-dev
  dpkg-dev valgrind time bc
  # The inspector's browser test (tests/capture_report/): headless Chromium driven from Node.js.
  chromium nodejs
  # The native 32-bit build (linux-i386 presets): i386 libraries beside the 64-bit ones.
  libc6-dev:i386 libstdc++-12-dev:i386 libgcc-12-dev:i386 libgtest-dev:i386
  zlib1g-dev:i386 libspng-dev:i386 libturbojpeg0-dev:i386 libpng-dev:i386
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
# npm comes with some builds of nodejs; Debian's own nodejs needs the npm package beside it.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -ne 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser test's node packages, as pinned by its package-lock.json (never a browser: the
# test drives Debian's chromium).
inspector="$(cd "$(dirname "$0")/.." && pwd)/tests/capture_report"
if [ ! -f "$inspector/node_modules/.package-lock.json" ] ||
   ! cmp -s <(sed -n '/"node_modules\/playwright-core"/,/}/p' "$inspector/package-lock.json") \
             <(sed -n '/"node_modules\/playwright-core"/,/}/p' "$inspector/node_modules/.package-lock.json"); then
  (cd "$inspector" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund >/dev/null)
fi
