#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building, testing, the demo and the
# benchmarks (Debian packages only), generates the Korean locale that Wine needs for code
# page 949, and then checks that every program the scripts run is there and is Debian's.
set -euo pipefail

# Every program the scripts, the build and the tests run, with the package it must come
# from. A name is looked up on PATH; an absolute path is used as it stands (the scripts
# call those by path, because a PATH of this machine may find another one first).
programs=(
  cmake:cmake ctest:cmake make:make gcc:gcc g++:g++ clang:clang clang++:clang
  x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
  i686-w64-mingw32-gcc-posix:gcc-mingw-w64-i686-posix
  i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix
  x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64
  i686-w64-mingw32-windres:binutils-mingw-w64-i686
  widl:wine64-tools wine:wine wineboot:wine winepath:wine wineserver:libwine
  /usr/bin/python3:python3-minimal perl:perl-base curl:curl
  xvfb-run:xvfb Xvfb:xvfb xauth:xauth
  /usr/bin/convert:imagemagick-6.q16 /usr/bin/compare:imagemagick-6.q16
  /usr/bin/time:time pgrep:procps flock:util-linux locale-gen:locales
)
# Libraries, headers, fonts and modules that no program stands for.
packages=(
  googletest libclang-rt-14-dev mingw-w64 libwine-dev wine64 python3 python3-olefile
  libole-storage-lite-perl imagemagick fonts-nanum
)
for entry in "${programs[@]}"; do packages+=("${entry##*:}"); done

wanted=$(printf '%s\n' "${packages[@]}" | sort -u)
installed=$(dpkg-query -W -f='${Package} ${Status}\n' $wanted 2>/dev/null | awk '/ install ok installed$/ { print $1 }' || true)
missing=($(comm -23 <(echo "$wanted") <(echo "$installed" | sort -u)))
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  echo "setup: generating ko_KR.UTF-8"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO sed -i 's/^# *ko_KR.UTF-8 UTF-8/ko_KR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# A program that is missing, or that PATH finds outside the package it should come from
# (installed by hand, or a wrapper of the machine's), would hide a missing install step.
failed=0
paths=()
for entry in "${programs[@]}"; do
  program=${entry%:*}
  path=$(command -v "$program" 2>/dev/null || true)
  if [ -z "$path" ] || [ ! -x "$path" ]; then
    echo "setup: $program is missing (package ${entry##*:})" >&2
    failed=1
  else
    # Alternatives and Wine's launchers are links: the file they end at is the package's.
    paths+=("$path" "$(readlink -f "$path")")
  fi
done
# One query for all of them: dpkg-query reads its whole database on every call.
owners=$(dpkg-query -S "${paths[@]}" 2>/dev/null || true)
for entry in "${programs[@]}"; do
  program=${entry%:*} package=${entry##*:}
  path=$(command -v "$program" 2>/dev/null) || continue
  real=$(readlink -f "$path")
  if ! printf '%s\n' "$owners" | awk -F': ' -v p="$path" -v r="$real" -v k="$package" '
      $2 == p || $2 == r { n = split($1, pk, ", "); for (i = 1; i <= n; i++) { sub(/:.*/, "", pk[i]); if (pk[i] == k) found = 1 } }
      END { exit !found }'; then
    echo "setup: $program is $path, which does not come from the package $package" >&2
    failed=1
  fi
done
/usr/bin/python3 -c 'import olefile' 2>/dev/null || { echo "setup: python3-olefile does not import in /usr/bin/python3" >&2; failed=1; }
perl -MOLE::Storage_Lite -e 1 2>/dev/null || { echo "setup: OLE::Storage_Lite (libole-storage-lite-perl) is missing" >&2; failed=1; }
locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$' || { echo "setup: the ko_KR.UTF-8 locale is missing" >&2; failed=1; }
[ "$failed" = 0 ] || { echo "setup: the machine lacks what the scripts need (see above)" >&2; exit 1; }
