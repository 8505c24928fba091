#!/usr/bin/env bash
# Builds the bench preset, runs the benchmarks once (every implementation on
# the same inputs, repetitions interleaved at random) and prints the table of
# ratios ours / peer, per byte or per path, against the goals.
#
#   scripts/bench.sh [REPETITIONS] [FILTER]
#
# REPETITIONS (default 7): each figure is the best CPU time of that many
# repetitions, which keeps the table steady on a shared machine.
# FILTER: a Google Benchmark regular expression, e.g. 'utf8_to_cp'.
# The raw results stay in build/bench/bench-results.json.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

repetitions=${1:-7}
filter=${2:-.}

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

results=build/bench/bench-results.json
build/bench/bench/tarn_bench \
  --benchmark_filter="$filter" \
  --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.1 \
  --benchmark_format=console \
  --benchmark_out_format=json \
  --benchmark_out="$results" >build/bench/bench-console.txt 2>&1 || {
  cat build/bench/bench-console.txt >&2
  exit 1
}

python3 - "$results" <<'PY'
import json
import sys

with open(sys.argv[1]) as f:
    data = json.load(f)

# Best time per unit (byte, path or call) over the repetitions, in ns.
best = {}
for b in data["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    if "bytes_per_second" in b:
        per_unit, unit = 1e9 / b["bytes_per_second"], "byte"
    elif "items_per_second" in b:
        per_unit, unit = 1e9 / b["items_per_second"], "path"
    else:
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        per_unit, unit = b["cpu_time"] * scale, "call"
    name = b["run_name"]
    if name not in best or per_unit < best[name][0]:
        best[name] = (per_unit, unit)

groups = {}  # (operation, input) -> {implementation: (ns, unit)}
for name, value in best.items():
    operation, text, implementation = name.split("/")
    groups.setdefault((operation, text), {})[implementation] = value

# Rows in a fixed order, whatever order the interleaved runs took.
ORDER = ["utf8_to_cp", "utf16_to_cp", "cp_to_utf16", "normalize", "combine", "wide_c_str_hit",
         "ascii_1k", "ascii_1m", "latin1", "cjk", "emoji", "typical", "long200",
         "utfcpp", "icu", "fs_lexically_normal", "fs_join", "fs_join_normal"]


def rank(name):
    return ORDER.index(name) if name in ORDER else len(ORDER)


def goal(operation, text, peer):
    """(limit on ours / peer, limit excluded?, description), or None."""
    if operation == "utf8_to_cp":
        if text.startswith("ascii") and peer == "utfcpp":
            return 1 / 3, False, "<= 0.333 (3x as fast)"
        if text.startswith("ascii") and peer == "icu":
            return 1.0, True, "< 1 (faster)"
        if peer == "utfcpp":
            return 1.0, False, "<= 1 (no slower)"
    if operation == "normalize" and peer == "fs_lexically_normal":
        return 1.0, False, "<= 1 (as fast)"
    return None


print(f"Best CPU time of {data['benchmarks'][0].get('repetitions', '?')} repetitions, "
      f"{data['context'].get('library_build_type', '?')} Google Benchmark library; "
      "ratio = ours / peer (below 1: ours is faster)")
header = f"{'operation':<12} {'input':<9} {'ours':>12}  {'peer':<20} {'peer time':>12} {'ratio':>7}  goal"
print(header)
print("-" * (len(header) + 26))
missed = 0
for (operation, text) in sorted(groups, key=lambda k: (rank(k[0]), rank(k[1]))):
    impls = groups[(operation, text)]
    if "ours" not in impls:
        continue
    ours, unit = impls["ours"]
    peers = sorted((p for p in impls if p != "ours"), key=rank)
    if not peers:
        continue
    for peer in peers:
        peer_ns = impls[peer][0]
        ratio = ours / peer_ns
        g = goal(operation, text, peer)
        verdict = ""
        if g:
            limit, strict, description = g
            ok = ratio < limit if strict else ratio <= limit
            verdict = f"{description}: {'met' if ok else 'MISSED'}"
            missed += 0 if ok else 1
        print(f"{operation:<12} {text:<9} {ours:>7.3f} ns/{unit[0]}  {peer:<20} "
              f"{peer_ns:>7.3f} ns/{unit[0]} {ratio:>7.3f}  {verdict}")

# The cached wide text: a hit must not depend on the length of the text.
hits = {text: impls["ours"][0] for (op, text), impls in groups.items()
        if op == "wide_c_str_hit" and "ours" in impls}
if "ascii_1k" in hits and "ascii_1m" in hits:
    ratio = hits["ascii_1m"] / hits["ascii_1k"]
    ok = ratio <= 2.0
    missed += 0 if ok else 1
    print(f"{'wide_c_str':<12} hit on an unchanged string: {hits['ascii_1k']:.2f} ns (1 KiB text), "
          f"{hits['ascii_1m']:.2f} ns (1 MiB text), ratio {ratio:.2f}  "
          f"constant time (<= 2): {'met' if ok else 'MISSED'}")
print("(units: ns/b per input byte, ns/p per path, ns/c per call)")
print(f"goals missed: {missed}")
PY
