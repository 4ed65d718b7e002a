# Sourced: the build's own 32-bit Wine prefix, headless, and a persistent wineserver.
# Usage: source scripts/wine-env.sh BUILD_DIR; wine_start; ...; wine_stop
# Tests that need windows: wine_x_start; ...; wine_x_stop (a virtual display, see below).
# Headless there is no desktop: explorer.exe is disabled, as in cmake/wine-run.
export WINEPREFIX="$1/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;explorer.exe=d"
QUILLABY_X_PREFIX="$1/wineprefix-x"
unset DISPLAY WAYLAND_DISPLAY

wine_start() {
  mkdir -p "$WINEPREFIX"
  wineserver -p
  # The first command of a new prefix leaves helpers holding its output open.
  wine wineboot </dev/null >/dev/null 2>&1
}

wine_stop() {
  wineserver -k 2>/dev/null || true
}

# Under Wine a program has windows only when its wineserver started on an X display: a
# virtual one (Xvfb, with openbox so that message boxes appear at once), a second prefix
# and its own wineserver started there. cmake/wine-run-x reads the display from
# $QUILLABY_X_PREFIX.display; without Xvfb that file stays absent and those tests say why.
wine_x_start() {
  local prefix=$QUILLABY_X_PREFIX number="" i
  rm -f "$prefix.display" "$prefix.pids"
  if ! command -v Xvfb >/dev/null || ! command -v openbox >/dev/null; then
    echo "wine_x_start: Xvfb or openbox missing; run scripts/setup.sh" >&2
    return 0
  fi
  mkdir -p "$prefix"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$prefix.number" </dev/null >/dev/null 2>&1 &
  echo $! >"$prefix.pids"
  for i in $(seq 100); do
    # Xvfb may not have created the file yet: not an error (test.sh runs with set -e).
    number=$(tr -dc 0-9 2>/dev/null <"$prefix.number" || true)
    [ -n "$number" ] && break
    sleep 0.1
  done
  rm -f "$prefix.number"
  if [ -z "$number" ]; then
    echo "wine_x_start: Xvfb did not start" >&2
    wine_x_stop
    return 0
  fi
  DISPLAY=":$number" openbox --sm-disable </dev/null >/dev/null 2>&1 &
  echo $! >>"$prefix.pids"
  # The display's desktop needs explorer.exe, which the headless settings disable.
  DISPLAY=":$number" WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" wineserver -p
  DISPLAY=":$number" WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" \
    wine wineboot </dev/null >/dev/null 2>&1
  echo ":$number" >"$prefix.display"
}

wine_x_stop() {
  local prefix=$QUILLABY_X_PREFIX pid i
  rm -f "$prefix.display"
  [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  if [ -f "$prefix.pids" ]; then
    for pid in $(cat "$prefix.pids"); do
      kill "$pid" 2>/dev/null || true
      for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    done
    rm -f "$prefix.pids"
  fi
}
