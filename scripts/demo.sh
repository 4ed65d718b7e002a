#!/usr/bin/env bash
# The whole update as an end user meets it, in one command: an example installation whose
# managed library reports 1.0.12, a local web server offering 1.1.3, an expert program's two
# calls (XCheckForUpdates, XLaunchUpdater), the updater's message boxes answered OK, and a
# screenshot of each box. BUILD_DIR chooses the build folder (default: build).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bin=$build/bin

say() { printf '%s\n' "$*"; }
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

say "== Preparing (setup and build, quiet when done before)"
bash "$root/scripts/setup.sh" >/dev/null
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target Quillaby Norvadel expert_standin answer_dialogs library_version \
  example_managed_1_0_12 example_managed_1_1_3 >/dev/null

work=$(mktemp -d /tmp/quillaby-demo.XXXXXX)
terminal=$work/terminal
libraries=$terminal/MQL4/Libraries
site=$work/update-server
output=$work/output
mkdir -p "$libraries" "$site" "$output"

server_pid="" shots_pid=""
source "$root/scripts/wine-env.sh" "$build"
QUILLABY_X_PREFIX=$build/wineprefix-demo
cleanup() {
  [ -n "$shots_pid" ] && kill "$shots_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && wait "$server_pid" 2>/dev/null || true
  wine_x_stop
}
trap cleanup EXIT

# The installation: the terminal, our two binaries beside each other, the managed library.
printf 'stands for the terminal program\n' >"$terminal/terminal.exe"
cp "$bin/Quillaby.dll" "$bin/Norvadel.exe" "$libraries/"
cp "$bin/examples/managed-1.0.12/ExampleManaged.dll" "$libraries/"
cat >"$work/installed.json" <<'JSON'
{"Files": [{"name": "/MQL4/Libraries/ExampleManaged.dll", "version": "1", "release": "0", "build": "12"}]}
JSON
# The update folder on the server.
cp "$bin/examples/managed-1.1.3/ExampleManaged.dll" "$site/"
cat >"$site/updateinfo.txt" <<'JSON'
{"Files": [{"name": "ExampleManaged.dll", "version": "1", "release": "1", "build": "3"}]}
JSON

say "== Starting a web server on 127.0.0.1 and a virtual display"
python3 -u -m http.server --bind 127.0.0.1 --directory "$site" 0 >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/.*port \([0-9][0-9]*\).*/\1/p' "$work/server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { say "the web server did not start: $(cat "$work/server.log")"; exit 1; }
url=http://127.0.0.1:$port
wine_x_start
display=$(cat "$QUILLABY_X_PREFIX.display" 2>/dev/null || true)
[ -n "$display" ] || { say "no virtual display: run scripts/setup.sh (installs Xvfb and openbox)"; exit 1; }
run_x() { "$root/cmake/wine-run-x" "$QUILLABY_X_PREFIX" "$@"; }

version_of() { run_x "$bin/library_version.exe" "$(winpath "$1")" 2>/dev/null | tr -d '\r'; }
say "Update URL:        $url (serving $site)"
say "Application path:  $terminal/terminal.exe"
say "Installed list:    $work/installed.json"
say "Managed library:   $libraries/ExampleManaged.dll reports $(version_of "$libraries/ExampleManaged.dll")"

# The user: answers each box with OK; before each press a screenshot of the whole screen.
run_x "$bin/answer_dialogs.exe" "$(winpath "$output/dialogs.txt")" 60000 \
  --shots "$(winpath "$output")" \
  ok "New version of files available" ok "Updater Information" >/dev/null 2>&1 &
answer_pid=$!
(
  for n in 1 2; do
    for _ in $(seq 1200); do [ -e "$output/box$n.ready" ] && break; sleep 0.1; done
    [ -e "$output/box$n.ready" ] || exit 0
    # The screen is black but for the box: trimmed, the picture is the box itself.
    DISPLAY=$display import -window root -trim +repage "$output/box$n.png" 2>/dev/null || true
    touch "$output/box$n.done"
  done
) &
shots_pid=$!

say "== The expert program calls XCheckForUpdates, then XLaunchUpdater"
# Bounded: were a box never answered, the launch would wait for the updater without limit.
timeout 300 "$root/cmake/wine-run-x" "$QUILLABY_X_PREFIX" "$bin/expert_standin.exe" \
  "$(winpath "$libraries/Quillaby.dll")" "$url" \
  "$(winpath "$terminal/terminal.exe")" "$(winpath "$work/installed.json")" 2>&1 |
  tr -d '\r' | tee "$output/expert.txt" | sed 's/^/  /'
unanswered=0
wait "$answer_pid" || unanswered=$?
wait "$shots_pid" 2>/dev/null || true
shots_pid=""
rm -f "$output"/box*.ready "$output"/box*.done

say "== What the user saw (answered OK each time)"
tr -d '\r' <"$output/dialogs.txt" | sed 's/^/  /'
[ "$unanswered" = 0 ] || say "  ($unanswered box(es) did not appear)"

say "== Afterwards"
say "Managed library:   $libraries/ExampleManaged.dll reports $(version_of "$libraries/ExampleManaged.dll")"
leftovers=$(find "$libraries" -name '*.new' -o -name '*.old')
say "Left-over .new/.old files: ${leftovers:-none}"
say "Screenshots:       $(ls "$output"/box*.png 2>/dev/null | tr '\n' ' ')"
say "Everything is in:  $work"
