# Sourced: the build's own 32-bit Wine prefix, headless, and a persistent wineserver.
# Usage: source scripts/wine-env.sh BUILD_DIR; wine_start; ...; wine_stop
export WINEPREFIX="$1/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
