# Sourced by the scripts that run Windows programs: one Wine prefix per build tree,
# Korean ANSI code page (949), no Wine debug noise, no Mono/Gecko installers.
: "${NVATT_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
: "${NVATT_BUILD:=$NVATT_ROOT/build/x64}"
# NVATT_WINE_DISPLAY=x11 gives a prefix of its own with Wine's X11 driver, for
# screenshots under Xvfb; every other run is headless with the null driver.
if [ "${NVATT_WINE_DISPLAY:-null}" = x11 ]; then
  export WINEPREFIX="${NVATT_WINEPREFIX_X11:-$NVATT_BUILD/wineprefix-x11}"
else
  export WINEPREFIX="${NVATT_WINEPREFIX:-$NVATT_BUILD/wineprefix}"
  unset DISPLAY WAYLAND_DISPLAY
fi
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ko_KR.UTF-8
unset LC_ALL

# Creates the prefix once. The null display driver must be in the registry before
# the wineserver that runs the programs starts, so the one that ran wineboot is
# stopped after the key is written.
nvatt_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  # The marker's number goes up whenever what a prefix is made with changes.
  if [ ! -f "$WINEPREFIX/.nvatt-ready-3" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    if [ "${NVATT_WINE_DISPLAY:-null}" != x11 ]; then
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    else
      # One virtual desktop window the size of the screen: it paints the background that
      # a closed window leaves behind, which a bare X server does not.
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    fi
    # The control obeys pages of the local test server's origin only, on any port.
    wine reg add 'HKLM\SOFTWARE\NVATT' /v AllowedOrigins /t REG_MULTI_SZ /d 'http://127.0.0.1:*' \
      /reg:64 /f >/dev/null
    # What opening attachments starts in tests: .nvto files and web pages go to a copy of
    # the recorder (C:\nvtest\Opener.exe, copied in by each session), .nvth pages to the
    # page host itself; .nvzz stays unregistered.
    local host="Z:${NVATT_BUILD//\//\\}\\tools\\pagehost\\PageHost.exe"
    wine reg add 'HKCR\.nvto' /ve /d NvTest.Opener /f >/dev/null
    wine reg add 'HKCR\.htm' /ve /d NvTest.Opener /f >/dev/null
    wine reg add 'HKCR\NvTest.Opener\shell\open\command' /ve /d '"C:\nvtest\Opener.exe" /assoc "%1"' /f >/dev/null
    wine reg add 'HKCR\.nvth' /ve /d NvTest.Page /f >/dev/null
    wine reg add 'HKCR\NvTest.Page\shell\open\command' /ve /d "\"$host\" --name ByAssociation \"%1\"" /f >/dev/null
    wineserver -w
    touch "$WINEPREFIX/.nvatt-ready-3"
  fi
  flock -u 9
  exec 9>&-
}

# Starts the one wineserver of a run (the prefix is made first when needed) and stops it,
# by its prefix, when the calling script exits, whatever happens.
nvatt_wine_session() {
  nvatt_wine_prefix
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  wineserver -p
  # The recorder the viewer and the test file types start, from this build.
  if [ -f "$NVATT_BUILD/tools/viewer/VelaV2.exe" ]; then
    mkdir -p "$WINEPREFIX/drive_c/nvtest"
    cp "$NVATT_BUILD/tools/viewer/VelaV2.exe" "$WINEPREFIX/drive_c/nvtest/Opener.exe"
    cp "$NVATT_BUILD/tools/viewer/VelaV2.exe" "$WINEPREFIX/drive_c/windows/system32/VelaV2.exe"
  fi
  # The first program of a prefix starts Wine's own services, which outlive it and keep
  # whatever output it had open: start them here with nothing to hold on to.
  wine wineboot </dev/null >/dev/null 2>&1
  # Wine's desktop process comes up with a program's first window and leaves a moment
  # after the last window closes. One that a test program brings up inherits that
  # program's output, and the test runner waits for its end as for the program's own. A
  # window that stays open for the whole run keeps a single desktop process up throughout.
  # It has to be up before the first test program starts, or that program brings up one
  # of its own and holds the run until its time-out.
  if [ "${NVATT_WINE_DISPLAY:-null}" = x11 ]; then
    # On a real screen it stays out of the pictures.
    wine start /min notepad </dev/null >/dev/null 2>&1 &
  else
    wine notepad </dev/null >/dev/null 2>&1 &
  fi
  local tries
  for tries in $(seq 600); do
    nvatt_wine_desktop_up && return 0
    sleep 0.1
  done
  echo "wine-env: Wine's desktop process did not come up within 60 s" >&2
  return 1
}

# True while this prefix's desktop process runs.
nvatt_wine_desktop_up() {
  local pid
  for pid in $(pgrep -f 'explorer\.exe /desktop'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
