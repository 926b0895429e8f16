#!/usr/bin/env bash
# The main job: installs what is missing, builds the optimised native build, runs dd7r-demo
# (software DirectDraw) and prints where the frames and the contact sheet are.
#
#   scripts/demo.sh [--windows [--window]] [demo options...]
#
# --windows  also builds the Windows build and runs the same demo under Wine, against Wine's
#            real DirectDraw 7 (headless).
# --window   with --windows: runs the Windows demo on a virtual display (Xvfb) instead, where it
#            also shows every frame in a window through a DirectDraw primary surface with a
#            clipper and saves a screenshot of the window per mode (window-*.png).
# Other arguments go to the demo (see dd7r-demo --help). Without --out the pictures go to
# build/demo-output/linux and build/demo-output/windows.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

windows=0
window=0
has_out=0
demo_args=()
for argument in "$@"; do
  case "$argument" in
    --windows) windows=1 ;;
    --window) window=1 ;;
    --out|--out=*) has_out=1; demo_args+=("$argument") ;;
    *) demo_args+=("$argument") ;;
  esac
done
if [ "$window" -eq 1 ] && [ "$windows" -eq 0 ]; then
  echo "demo.sh: --window needs --windows (only the Windows demo can show a window)" >&2
  exit 2
fi
jobs="$(nproc)"
[ "$jobs" -gt 2 ] && jobs=2

phase() { printf '\n==== %s (%s)\n' "$1" "$(date +%T)"; }

# Installs Debian packages that are missing (the same way scripts/install-deps.sh does).
install_missing() {
  local missing=() sudo=""
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

phase "dependencies"
scripts/install-deps.sh
[ "$window" -eq 1 ] && install_missing xvfb xauth

phase "native build (linux-release preset)"
cmake --preset linux-release >/dev/null
cmake --build build/linux-release -j "$jobs" --target dd7r-demo dd7r dll_logger

phase "native demo (software DirectDraw)"
native_out=()
[ "$has_out" -eq 1 ] || native_out=(--out "$root/build/demo-output/linux")
build/linux-release/bin/dd7r-demo "${native_out[@]+"${native_out[@]}"}" "${demo_args[@]+"${demo_args[@]}"}"

if [ "$windows" -eq 1 ]; then
  phase "windows build (windows-x86 preset)"
  scripts/build-windows-deps.sh
  cmake --preset windows-x86 >/dev/null
  cmake --build build/windows-x86 -j "$jobs" --target dd7r-demo dd7r dll_logger

  windows_args=()
  # Wine maps Z: to /, so an absolute Unix path works as an output folder.
  [ "$has_out" -eq 1 ] || windows_args=(--out "Z:$root/build/demo-output/windows")
  demo_exe=build/windows-x86/bin/dd7r-demo.exe
  if [ "$window" -eq 1 ]; then
    phase "windows demo under Wine on a virtual display (Xvfb), with a window"
    export WINEPREFIX="${WINEPREFIX:-$root/build/windows-x86/wineprefix}" WINEDEBUG=-all \
           WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
      'wine "$@"; status=$?; wineserver -k 2>/dev/null; exit $status' wine-demo \
      "$demo_exe" --window "${windows_args[@]+"${windows_args[@]}"}" "${demo_args[@]+"${demo_args[@]}"}"
  else
    phase "windows demo under Wine (Wine's DirectDraw 7)"
    scripts/wine-session.sh wine "$demo_exe" \
      "${windows_args[@]+"${windows_args[@]}"}" "${demo_args[@]+"${demo_args[@]}"}"
  fi
fi

phase "done"
