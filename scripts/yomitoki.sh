#!/usr/bin/env bash
# Sets up, builds, installs, runs, tests and packages Yomitoki on Debian 12.
#
#   scripts/yomitoki.sh run        install what is missing, build, start the organizer
#   scripts/yomitoki.sh test       install what is missing, build, run the whole suite
#   scripts/yomitoki.sh package    the Debian package build/yomitoki_<version>_amd64.deb
#   scripts/yomitoki.sh sanitize   the suite built with AddressSanitizer + UBSan
#   scripts/yomitoki.sh fuzz [s]   build the fuzz targets with clang and run each for s seconds
#   scripts/yomitoki.sh builds     build Release with GCC and Debug with clang, warnings as errors
#
# `run` lays the build out as the package would (build/stage/usr/lib/yomitoki, the program
# folder, and build/stage/usr/bin/yomitoki, the launcher) and starts the launcher, which
# gives you a program folder of your own: $YOMITOKI_HOME, by default
# $XDG_DATA_HOME/yomitoki (~/.local/share/yomitoki), holding links to the program's files and
# your data/ folder, which is never written over.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
stage=$top/build/stage
jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libjpeg62-turbo-dev
          libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev libcurl4-openssl-dev
          fonts-ipafont-gothic clang libclang-rt-14-dev libical-dev qt6-translations-l10n
          dpkg-dev file lintian
          xvfb xauth imagemagick)  # xvfb, xauth: tests without a window manager;
                                   # imagemagick: tools/take_screenshots.sh

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

build() {  # build DIR [cmake options...]; our scripts treat warnings as errors
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DYK_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# The package's tree from the build: the program folder and the launcher with the desktop
# files (component "desktop") under $stage/usr.
stage_program() {
  cmake --install build --prefix "$stage/usr/lib/yomitoki" >/dev/null
  cmake --install build --prefix "$stage/usr/lib/yomitoki" --component desktop >/dev/null
}

cmd=${1:-run}
case "$cmd" in
  run)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    stage_program
    exec "$stage/usr/bin/yomitoki"
    ;;
  test)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    stage_program
    ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
  package)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    (cd build && cpack -G DEB >/dev/null)
    ls build/yomitoki_*_amd64.deb
    ;;
  sanitize)
    install_missing
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DYK_SANITIZE=ON -DYK_BENCH=OFF
    UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
  fuzz)
    install_missing
    seconds=${2:-30}
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYK_WERROR=ON \
      -DYK_FUZZ=ON -DYK_GUI=OFF -DYK_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs" --target fuzzers
    # Each module registers its fuzz targets in its own folder of the build tree.
    for f in $(find build-fuzz -path '*/CMakeFiles' -prune -o -type f -name 'fuzz_*' -perm -u+x -print | sort); do
      name=$(basename "$f")
      corpus="fuzz/corpus/$name"
      mkdir -p "build-fuzz/corpus/$name"
      echo "== $name for ${seconds}s"
      "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        "build-fuzz/corpus/$name" $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 3
    done
    ;;
  builds)
    install_missing
    build build-release -DCMAKE_BUILD_TYPE=Release -DYK_BENCH=ON
    CC=clang CXX=clang++ build build-clang -DCMAKE_BUILD_TYPE=Debug -DYK_BENCH=ON
    ;;
  *)
    echo "usage: $0 run|test|package|sanitize|fuzz [seconds]|builds" >&2
    exit 2
    ;;
esac
