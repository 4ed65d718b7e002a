#!/usr/bin/env bash
# Builds the library and the benchmark program, serves test files from 127.0.0.1 with
# Python's web server, runs every measurement under a warm wineserver and prints the table.
# BUILD_DIR chooses the build folder (default: build); ROUNDS the download rounds (default 5).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
rounds=${ROUNDS:-5}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quillaby_bench Quillaby

served=$(mktemp -d /tmp/quillaby-bench.XXXXXX)
results="$served/results.txt"
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  wine_stop
  rm -rf "$served"
}
source "$root/scripts/wine-env.sh" "$build"
wine_start
trap cleanup EXIT

# One server for every row, curl included: it must be reachable from outside Wine.
head -c $((100 * 1024 * 1024)) /dev/urandom >"$served/body100"
head -c $((1 * 1024 * 1024)) /dev/urandom >"$served/body1"
head -c $((200 * 1024 * 1024)) /dev/urandom >"$served/body200"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$served" >/dev/null 2>&1 &
server_pid=$!
url="http://127.0.0.1:$port"
for _ in $(seq 50); do curl -s -o /dev/null "$url/body1" && break; sleep 0.1; done

bench() { wine "$build/bin/quillaby_bench.exe" "$@" | tr -d '\r' | tee -a "$results" >/dev/null; }
target='C:\windows\temp\quillaby_bench_body'

echo "download: $rounds rounds of 100 MiB each way" >&2
for _ in $(seq "$rounds"); do
  bench download ours "$url/body100" "$target"
  bench download bare "$url/body100" "$target"
  speed=$(curl -s -o "$served/curl_body" -w '%{speed_download}' "$url/body100")
  rm -f "$served/curl_body"
  echo "download_curl_mib_s $(python3 -c "print(f'{$speed / 1048576:.2f}')")" >>"$results"
done

echo "memory: 1 MiB and 200 MiB, each in its own process" >&2
bench memory "$url/body1" "$target" && sed -i 's/^memory_peak_kib/memory_1_peak_kib/; s/^memory_bytes/memory_1_bytes/' "$results"
bench memory "$url/body200" "$target" && sed -i 's/^memory_peak_kib/memory_200_peak_kib/; s/^memory_bytes/memory_200_bytes/' "$results"

echo "check: 100, 1000, 10000 entries" >&2
bench check "$url" "$(winepath -w "$served")"

echo "slots: 1 and 8 threads" >&2
bench slots

python3 "$root/bench/table.py" "$results" "$(nproc)" "$(wine --version)" \
  "$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)"
