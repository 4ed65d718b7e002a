"""Turns the "key value" lines of one benchmark run into the table of goals and figures."""
import statistics
import sys
from collections import defaultdict

values = defaultdict(list)
with open(sys.argv[1]) as lines:
    for line in lines:
        parts = line.split()
        if len(parts) == 2:
            values[parts[0]].append(float(parts[1]))
cores, wine, cpu = sys.argv[2], sys.argv[3], sys.argv[4]


def get(key):
    return statistics.median(values[key]) if values[key] else float("nan")


rows = []


def row(name, goal, figure, ratio, met):
    verdict = "n/a" if met is None else "yes" if met else "**no**"
    rows.append((name, goal, figure, ratio, verdict))


ours, bare, curl = get("download_ours_mib_s"), get("download_bare_mib_s"), get("download_curl_mib_s")
runs = len(values["download_ours_mib_s"])
row("download 100 MiB: downloadToFile vs bare WinINet loop", ">= 95 % of bare",
    f"{ours:.1f} vs {bare:.1f} MiB/s (median of {runs})", f"{ours / bare:.1%}", ours / bare >= 0.95)
row("download 100 MiB: downloadToFile vs curl", "reference only",
    f"{ours:.1f} vs {curl:.1f} MiB/s", f"{ours / curl:.1%}", None)

small, large = get("memory_1_peak_kib"), get("memory_200_peak_kib")
difference = (large - small) / 1024
row("memory: peak working set, 200 MiB vs 1 MiB body", "difference < 4 MiB",
    f"{large / 1024:.2f} vs {small / 1024:.2f} MiB", f"+{difference:.2f} MiB", difference < 4)

previous = None
for count in (100, 1000, 10000):
    key = f"check_{count}_"
    beyond, bareLoop = get(key + "beyond_ms"), get(key + "bare_ms")
    growth = f", growth x{beyond / previous:.0f}" if previous else ""
    previous = beyond
    figure = (f"{beyond:.2f} ms beyond the download ({get(key + 'check_ms'):.2f} - "
              f"{get(key + 'download_ms'):.2f} ms; parse {get(key + 'parse_ms'):.2f} ms){growth}; "
              f"bare loop {bareLoop:.2f} ms")
    if count == 1000:
        row(f"check {count} x {count}", "< 50 ms", figure, f"{beyond / bareLoop:.2f}x bare",
            beyond < 50)
    elif count == 10000:
        row(f"check {count} x {count}", "<= 1.5x bare loop", figure,
            f"{beyond / bareLoop:.2f}x bare", beyond <= 1.5 * bareLoop)
    else:
        row(f"check {count} x {count}", "none", figure, f"{beyond / bareLoop:.2f}x bare", None)

for threads in (1, 8):
    for ours_key, raw_key, label in (("slot_pair", "raw_pair", "extEnterCS/extLeaveCS"),
                                     ("flag_pair", "raw_flag_pair", "extSetFlag/extGetFlag")):
        mine, raw = get(f"slots_{threads}_{ours_key}_ns"), get(f"slots_{threads}_{raw_key}_ns")
        row(f"slots, {threads} thread{'s' if threads > 1 else ''}: {label} vs raw", "within 10 %",
            f"{mine:.1f} vs {raw:.1f} ns per pair", f"{mine / raw:.1%}", mine / raw <= 1.10)

print(f"Machine: {cpu}, {cores} cores (nproc); {wine}")
print()
print("| row | goal | figure | ratio | goal met |")
print("|---|---|---|---|---|")
for r in rows:
    print("| " + " | ".join(r) + " |")
