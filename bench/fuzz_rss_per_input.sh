#!/bin/sh
# What a fuzz target keeps per input, read from libFuzzer's own resident-size reports: the target
# runs RUNS inputs from a copy of its seeds; the resident size after the first quarter (the
# caches are full by then) is compared with the size at the end.
#
# AddressSanitizer's quarantine (256 MB by default) holds freed memory back from reuse, resident,
# so that a use after free is caught. It is nothing the target keeps, but the resident size grows
# with it at the rate the target allocates, and in steps afterwards while it hands back blocks of
# mixed sizes: the port enumeration (which frees some thirty 32 KB folder buffers an input), the
# profile reader and the live chart read as 50 to 160 KB kept per input with it, 1 to 4 KB
# without. The measuring run goes without it; options given in ASAN_OPTIONS come after and win.
#
#   bench/fuzz_rss_per_input.sh build-fuzz/fuzz/app/fuzz_settings [RUNS]   (1024 by default)
#
# Exit code 0 when the target grew by at most 64 KB per input, 2 otherwise. A target that grows
# meets libFuzzer's memory limit in a long campaign instead of finding faults.
set -eu
target=$1
runs=${2:-1024}
name=$(basename "$target")
seeds="$(dirname "$0")/../fuzz/$(basename "$(dirname "$target")")/seeds/$name"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/corpus" "$scratch/tmp"
if [ -d "$seeds" ]; then cp -R "$seeds/." "$scratch/corpus/"; fi
TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/tmp" ASAN_OPTIONS="quarantine_size_mb=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" "$target" -runs="$runs" -seed=1 -timeout=30 \
  -rss_limit_mb=16384 "$scratch/corpus" >"$scratch/log" 2>&1
# Lines "#<inputs> ... rss: <n>Mb": the first one past a quarter of the run, and the last.
awk -v from=$((runs / 4)) '
  /^#[0-9]+[ \t].* rss: [0-9]+Mb/ {
    n = substr($1, 2) + 0
    for (i = 1; i <= NF; ++i) if ($i == "rss:") rss = $(i + 1) + 0
    if (n >= from && !started) { started = 1; n0 = n; rss0 = rss }
    last = n; rssLast = rss
  }
  END {
    if (!started || last <= n0) { print "too few inputs to measure"; exit 1 }
    perInput = (rssLast - rss0) * 1024 / (last - n0)
    printf "resident size %d MB after %d inputs, %d MB after %d: %+.1f KB per input (limit 64 KB)\n", rss0, n0, rssLast, last, perInput
    exit perInput <= 64 ? 0 : 2
  }' "$scratch/log"
