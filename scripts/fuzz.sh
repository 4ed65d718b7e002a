#!/usr/bin/env bash
# Fuzzes one reader of untrusted text natively for Linux (clang 14, libFuzzer, ASan, UBSan).
# Usage: scripts/fuzz.sh TARGET SECONDS   (TARGET: manifest, path_split, command_line)
# FUZZ_BUILD_DIR chooses the build folder (default: build-fuzz). Findings land in
# FUZZ_BUILD_DIR/findings/TARGET; the committed seeds stay untouched.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: scripts/fuzz.sh TARGET SECONDS}

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

bash "$root/scripts/setup.sh"
need=()
for p in clang-14 libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" --target "${target}_fuzzer"

# The seeds are read; new inputs go to a working corpus outside the tree.
work="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$work" "$findings"
cd "$findings"
status=0
"$build/${target}_fuzzer" -max_total_time="$seconds" -jobs=1 -workers=1 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$work" "$root/fuzz/corpus/$target" || status=$?
# One job writes its report to fuzz-0.log: show its end, crashes included.
tail -n 25 "$findings/fuzz-0.log"
ls "$findings" | grep -E '^(crash|leak|timeout|oom)-' || true
exit "$status"
