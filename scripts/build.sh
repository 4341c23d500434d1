#!/usr/bin/env bash
# Configures and builds one or more trees: native (portable code and its tests),
# fuzz (libFuzzer targets), x64 (the control, host and Windows tests), i686 (compile check).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

build_tree() {
  local name=$1; shift
  local dir=$root/build/$name
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
  cmake --build "$dir" -j "$jobs" -- --no-print-directory
}

for tree in "${@:-native x64}"; do
  for t in $tree; do
    case $t in
      native) build_tree native -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc ;;
      fuzz)   build_tree fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DNVATT_FUZZ=ON \
                -DCMAKE_BUILD_TYPE=Debug ;;
      x64)    build_tree x64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" ;;
      i686)   build_tree i686 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" ;;
      *) echo "build.sh: unknown tree $t" >&2; exit 2 ;;
    esac
  done
done
