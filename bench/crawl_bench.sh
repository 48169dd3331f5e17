#!/usr/bin/env bash
# Crawl benchmark: vendrake-cli next to wget -r, wget2, httrack and the curl floor
# (curl --parallel over the site's known URL list), on a synthetic site served by nginx
# on 127.0.0.1. Drives the shared bench kit (gen_site.py, hosts.sh, serve.sh,
# run_peers.sh, vbench.py); results are CSV rows and a markdown summary.
#
# usage: bench/crawl_bench.sh [MODE...]       (default: tmpfs disk latency)
#   tmpfs     medium site, output on tmpfs: measures the programs, not the disk
#   disk      medium site, output on disk
#   latency   small site behind delay_proxy.py, which adds RTT_MS of round-trip time
#
# Environment (defaults in brackets):
#   VBENCH_KIT    the bench kit [../shared/bench beside the repository]
#   VENDRAKE_CLI  the runner under test [build/src/app/vendrake-cli]
#   SITES         where generated sites go [/tmp/vbench/sites]
#   PRESET        site of the tmpfs and disk modes [medium]
#   LAT_PRESET    site of the latency mode [small]
#   REPS          runs per tool [3]
#   PEERS         run_peers.sh labels run REPS times [wget|wget2-t5|wget2-t8|ref-curl-par8]
#   SLOW_PEERS    labels run once, with a time-out of SLOW_TIMEOUT s [httrack-fast]; httrack
#                 with 8 connections still needs more than 10 minutes for the medium site
#   TMPFS_OUT     [/dev/shm/vbench-out]     DISK_OUT   [/var/tmp/vbench-out]
#   RESULTS       folder for the CSV files and summary [/tmp/vbench/results]
#   RTT_MS        added round-trip time [20]
#   LAT_PORT      port of the delaying proxy (the latency site's port) [18081]
#   BACKEND_PORT  port of nginx behind it [18082]
#
# Vendrake runs three ways at depth 5: `vendrake` (the default masks and size filter, a
# HEAD per file), and two runs that save every image as wget and curl do, one with a
# HEAD per file (`vendrake-all-head`, a filter of 0 KB to 1 GB) and one without
# (`vendrake-all`, no size filter): their difference is what the HEAD costs. The floor
# runs once more with a new connection per file (`ref-curl-par8-close`), as Vendrake
# opens one per work item: its difference to the floor is what that costs.
# The host names of the sites go into /etc/hosts ("# vbench" lines) and are removed at
# the end when this script added them. No traffic leaves 127.0.0.1.
set -euo pipefail

REPO=$(cd "$(dirname "$0")/.." && pwd)
VBENCH_KIT=${VBENCH_KIT:-$REPO/../shared/bench}
VENDRAKE_CLI=${VENDRAKE_CLI:-$REPO/build/src/app/vendrake-cli}
SITES=${SITES:-/tmp/vbench/sites}
PRESET=${PRESET:-medium}
LAT_PRESET=${LAT_PRESET:-small}
REPS=${REPS:-3}
PEERS=${PEERS:-wget|wget2-t5|wget2-t8|ref-curl-par8}
SLOW_PEERS=${SLOW_PEERS-httrack-fast}
SLOW_TIMEOUT=${SLOW_TIMEOUT:-600}
TMPFS_OUT=${TMPFS_OUT:-/dev/shm/vbench-out}
DISK_OUT=${DISK_OUT:-/var/tmp/vbench-out}
RESULTS=${RESULTS:-/tmp/vbench/results}
RTT_MS=${RTT_MS:-20}
LAT_PORT=${LAT_PORT:-18081}
BACKEND_PORT=${BACKEND_PORT:-18082}

modes=("$@")
[[ ${#modes[@]} -gt 0 ]] || modes=(tmpfs disk latency)

die() {
  echo "crawl_bench: $*" >&2
  exit 1
}

[[ -f "$VBENCH_KIT/run_peers.sh" ]] || die "no bench kit in $VBENCH_KIT (set VBENCH_KIT)"
VBENCH_KIT=$(cd "$VBENCH_KIT" && pwd)
[[ -x "$VENDRAKE_CLI" ]] || die "no $VENDRAKE_CLI: build first (cmake --build build)"
VENDRAKE_CLI=$(readlink -f "$VENDRAKE_CLI")
for tool in nginx wget wget2 httrack curl /usr/bin/time; do
  command -v "$tool" > /dev/null || die "$tool is missing: run scripts/install-deps.sh bench"
done

# /etc/hosts: remember whether the names were there, so only our own lines go.
hosts_added=0
"$VBENCH_KIT/hosts.sh" check || hosts_added=1
proxy_pid=""
cleanup() {
  [[ -z "$proxy_pid" ]] || kill "$proxy_pid" 2> /dev/null || true
  [[ $hosts_added == 0 ]] || "$VBENCH_KIT/hosts.sh" remove
}
trap cleanup EXIT

# Generates a site once; later runs reuse it (gen_site.py is deterministic).
site_for() {
  local dir=$1 preset=$2
  shift 2
  [[ -f "$dir/manifest.json" ]] || python3 "$VBENCH_KIT/gen_site.py" "$dir" --preset "$preset" "$@" >&2
  echo "$dir"
}

vendrake_tools() {
  local run="VENDRAKE_HOME={OUT}/home $VENDRAKE_CLI run {URL} --save-folder {OUT}/dl --depth 5"
  echo "vendrake=$run"
  echo "vendrake-all-head=$run --min-size 0 --max-size 1048576"
  echo "vendrake-all=$run --no-size-limit"
  echo "ref-curl-par8-close=cd {OUT} && curl -sS --no-progress-meter --parallel --parallel-max 8 --create-dirs -H 'Connection: close' -K {CURLCFG}"
}

# run_peers SITE_LABEL OUT_ROOT CSV SITE_DIR [run_peers.sh options...]
run_peers() {
  local name=$1 out=$2/$1 csv=$3 site=$4
  shift 4
  local custom=()
  while IFS= read -r t; do custom+=(-T "$t"); done < <(vendrake_tools)
  mkdir -p "$out"
  echo "== $name: load $(cut -d' ' -f1-3 /proc/loadavg), output $out ($(stat -f -c %T "$out"))"
  sites_seen+=("$name=$site")
  "$VBENCH_KIT/run_peers.sh" -n "$name" -o "$out" -c "$csv" -r "$REPS" -p "$PEERS" "${custom[@]}" "$@" "$site"
  if [[ -n "$SLOW_PEERS" ]]; then
    "$VBENCH_KIT/run_peers.sh" -n "$name" -o "$out" -c "$csv" -r 1 -t "$SLOW_TIMEOUT" -p "$SLOW_PEERS" "$@" "$site"
  fi
  rm -rf "$out"
  rmdir "$(dirname "$out")" 2> /dev/null || true
}

# A copy of the latency site's manifest naming the backend port, with the site's
# folders linked in: run_peers.sh starts nginx on the manifest's port, while the pages
# (and the start URL) name the proxy's port.
backend_view() {
  local site=$1 view=$1.backend
  rm -rf "$view"
  mkdir -p "$view"
  local entry
  for entry in "$site"/* "$site"/.vhosts; do
    [[ $(basename "$entry") == manifest.json ]] || ln -s "$entry" "$view/"
  done
  python3 - "$site/manifest.json" "$view/manifest.json" "$BACKEND_PORT" << 'EOF'
import json, sys
m = json.load(open(sys.argv[1]))
m["port"] = int(sys.argv[3])
json.dump(m, open(sys.argv[2], "w"), indent=1, sort_keys=True)
EOF
  echo "$view"
}

start_proxy() {
  python3 "$REPO/bench/delay_proxy.py" --listen "$LAT_PORT" --target "$BACKEND_PORT" --rtt-ms "$RTT_MS" \
    > "$RESULTS/delay-proxy.log" 2>&1 &
  proxy_pid=$!
  local _
  for _ in $(seq 50); do
    ss -Hltn "sport = :$LAT_PORT" | grep -q . && return
    sleep 0.1
  done
  die "the delaying proxy did not start on port $LAT_PORT"
}

sites_seen=()
mkdir -p "$RESULTS"
stamp=$(date +%Y%m%d-%H%M%S)
csv="$RESULTS/crawl-$stamp.csv"
for mode in "${modes[@]}"; do
  case $mode in
  tmpfs)
    [[ $(stat -f -c %T "$(dirname "$TMPFS_OUT")") == tmpfs ]] || echo "warning: $TMPFS_OUT is not on tmpfs" >&2
    run_peers "$PRESET-tmpfs" "$TMPFS_OUT" "$csv" "$(site_for "$SITES/$PRESET" "$PRESET")"
    ;;
  disk)
    mkdir -p "$DISK_OUT"
    [[ $(stat -f -c %T "$DISK_OUT") != tmpfs ]] || echo "warning: $DISK_OUT is on tmpfs" >&2
    run_peers "$PRESET-disk" "$DISK_OUT" "$csv" "$(site_for "$SITES/$PRESET" "$PRESET")"
    ;;
  latency)
    site=$(site_for "$SITES/$LAT_PRESET-p$LAT_PORT" "$LAT_PRESET" --port "$LAT_PORT")
    start_proxy
    run_peers "$LAT_PRESET-rtt$RTT_MS" "$TMPFS_OUT" "$csv" "$(backend_view "$site")" \
      -u "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["start_url"])' "$site/manifest.json")"
    kill "$proxy_pid"
    proxy_pid=""
    ;;
  *) die "unknown mode $mode (tmpfs, disk, latency)" ;;
  esac
done

python3 "$VBENCH_KIT/vbench.py" summarize "$csv" > "$RESULTS/crawl-$stamp.md"
# Images saved inside the size filter, against those the site serves inside it.
python3 - "$csv" "${sites_seen[@]}" >> "$RESULTS/crawl-$stamp.md" << 'EOF'
import csv, json, statistics, sys
serves = {}
for entry in sys.argv[2:]:
    name, folder = entry.split("=", 1)
    serves[name] = json.load(open(folder + "/manifest.json"))["images_in_filter"]
saved = {}
for row in csv.DictReader(open(sys.argv[1])):
    saved.setdefault((row["site"], row["label"]), []).append(int(row["images_in_filter"]))
print("\n| site | tool | images saved inside the filter (median) | the site serves |")
print("|---|---|---|---|")
for (site, label), counts in saved.items():
    print("| %s | %s | %d | %d |" % (site, label, statistics.median(counts), serves[site]))
EOF
cat "$RESULTS/crawl-$stamp.md"
echo "Results: $csv"
