#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Quillop, then starts it or runs
# every test:
#   tools/setup.sh run    install what is missing, build, start the launcher
#   tools/setup.sh test   install what is missing, build, run every test (the
#                         Windows program's too, cross-built and under Wine)
# Packages are installed with apt-get (through sudo when not run as root).
set -eu
mode=${1:-run}
case "$mode" in run|test) ;; *) echo "usage: $0 run|test" >&2; exit 2 ;; esac
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libglib2.0-dev libx11-dev libxtst-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix wine64 wine nsis
  xvfb xauth x11-utils x11-apps xdotool xclip openbox trayer xfce4-panel imagemagick
  dbus-daemon libglib2.0-bin at-spi2-core python3-pyatspi qt6-translations-l10n lintian
  fonts-ipafont-gothic adwaita-icon-theme hicolor-icon-theme gtk-update-icon-cache shared-mime-info
  desktop-file-utils file python3 dpkg-dev man-db
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = run ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j"$(nproc)"
  exec build/src/quillop
fi

# The tests build everything, benchmarks included, with warnings as errors.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOP_WERROR=ON -DQUILLOP_BENCH=ON
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j"$(nproc)")

# The Windows program and its tests, cross-built with MinGW-w64 and run under
# Wine (a private prefix in ~/.cache, a Japanese locale so code page 932 holds).
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLOP_WERROR=ON
cmake --build build-win -j"$(nproc)"
(cd build-win && ctest --output-on-failure -j"$(nproc)")
