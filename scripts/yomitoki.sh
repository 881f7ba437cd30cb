#!/usr/bin/env bash
# Sets up, builds, installs, runs and tests Yomitoki on Debian 12.
#
#   scripts/yomitoki.sh run        install what is missing, build, install, start the organizer
#   scripts/yomitoki.sh test       install what is missing, build, install, run the whole suite
#   scripts/yomitoki.sh sanitize   the suite built with AddressSanitizer + UBSan
#   scripts/yomitoki.sh fuzz [s]   build the fuzz targets with clang and run each for s seconds
#   scripts/yomitoki.sh builds     build Release with GCC and Debug with clang, warnings as errors
#
# The program folder goes to $YOMITOKI_HOME, by default $XDG_DATA_HOME/yomitoki
# (~/.local/share/yomitoki).  An existing data/ folder there is never written over.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
prefix=${YOMITOKI_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/yomitoki}
jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libjpeg62-turbo-dev
          libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev libcurl4-openssl-dev
          fonts-ipafont-gothic clang libclang-rt-14-dev libical-dev
          xvfb xauth imagemagick)  # imagemagick: tools/take_screenshots.sh

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

install_program() {
  cmake --install build --prefix "$prefix" >/dev/null
  echo "Yomitoki is installed in $prefix"
}

cmd=${1:-run}
case "$cmd" in
  run)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    install_program
    exec "$prefix/tavik-hpc2k"
    ;;
  test)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    install_program
    ctest --test-dir build --output-on-failure -j "$jobs"
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
    echo "usage: $0 run|test|sanitize|fuzz [seconds]|builds" >&2
    exit 2
    ;;
esac
