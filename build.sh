#!/usr/bin/env bash
# Sets up a Debian 12 machine for Audiolume and builds it.
#   ./build.sh run    install the missing Debian packages, build, start the jukebox
#   ./build.sh test   install the missing Debian packages, build, run every test, then
#                     run them again in a build with AddressSanitizer and UBSan
#   ./build.sh install PREFIX
#                     install the missing Debian packages, build, and install the programs,
#                     their shipped files, desktop entry, icons and metainfo under PREFIX
# Packages are installed as root, or through sudo when run by another user.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
  libmpg123-dev libsndfile1-dev libmp3lame-dev libcdio-dev libcdio-paranoia-dev
  libgtest-dev libgmock-dev libtag1-dev libdiscid-dev libebur128-dev libflac-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
  mpg123 lame flac ffmpeg loudgain whipper python3-libdiscid python3-mutagen
  dbus-daemon dbus-bin desktop-file-utils appstream
)
jobs=$(nproc)

install_missing() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

build() {  # build DIR [cmake options...]
  local dir=$1
  shift
  # Where ccache is installed, rebuilds of unchanged files come from its cache.
  local launcher=()
  command -v ccache >/dev/null &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Sources are compiled in batches of 16: most of a file's compile time goes to Qt's
  # headers, and a batch reads them once. Two builds then fit CI's two cores.
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON \
    -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
  run)
    install_missing
    build build
    exec build/bin/audiolume
    ;;
  test)
    install_missing
    build build
    ctest --test-dir build --output-on-failure -j "$jobs"
    build build-asan -DAUDIOLUME_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
  install)
    [ $# -eq 2 ] || { echo "usage: $0 install PREFIX" >&2; exit 2; }
    install_missing
    build build
    cmake --install build --prefix "$2"
    ;;
  *)
    echo "usage: $0 run|test|install PREFIX" >&2
    exit 2
    ;;
esac
