# Sourced by every benchmark's run.sh with its arguments: [x64 build tree] [runs].
# Installs what is missing, builds the tree (build/x64 by default, as the README's
# commands do), and starts the Wine session of the tree's prefix, which ends with the
# calling script. Sets: root, build, runs (the caller's default when not given).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build/x64}")
runs=${2:-${runs:-3}}
"$root/scripts/setup.sh"
if [ "$build" = "$root/build/x64" ]; then
  "$root/scripts/build.sh" x64
else
  cmake --build "$build" -j "$(nproc)" -- --no-print-directory
fi
export NVATT_BUILD=$build
source "$root/scripts/wine-env.sh"
nvatt_wine_session
# The session's own clean-up plus the benchmark's (bench_cleanup, when it defines one).
trap 'declare -F bench_cleanup >/dev/null && bench_cleanup; wineserver -k >/dev/null 2>&1 || true' EXIT
