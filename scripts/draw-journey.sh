#!/usr/bin/env bash
# Draws docs/journey.svg from docs/journey.dot with Graphviz (scripts/setup.sh installs it).
# With --png it also writes docs/journey.png, to look at the drawing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dot -Tsvg "$root/docs/journey.dot" -o "$root/docs/journey.svg"
if [ "${1:-}" = --png ]; then
  dot -Tpng -Gdpi=110 "$root/docs/journey.dot" -o "$root/docs/journey.png"
fi
echo "wrote $root/docs/journey.svg"
