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
#   https     medium site over HTTPS (nginx with a self-signed certificate the script makes)
#   https-latency  small site over HTTPS behind delay_proxy.py
#   large     large site (10,000 pages, 50,003 images, about 1.3 GB), output on disk
#   million   a site linking a million URLs (bench/million_bench.py): vendrake alone, items
#             per second in each tenth of the run and peak memory
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
#   HTTPS_PORT    port of the HTTPS nginx [18443]
#   MILLION_PORT  port of the million-URL site's nginx [18090]
#
# Vendrake runs three ways at depth 5: `vendrake` (the default masks and size filter, a
# HEAD per file), and two runs that save every image as wget and curl do, one with a
# HEAD per file (`vendrake-all-head`, a filter of 0 KB to 1 GB) and one without
# (`vendrake-all`, no size filter): their difference is what the HEAD costs. The floor
# runs once more with a new connection per file (`ref-curl-par8-close`): its difference to
# the floor is what a handshake per file would cost. Over HTTPS the peers are told to trust
# the script's certificate (wget and wget2 --ca-certificate, curl --cacert, Vendrake
# SSL_CERT_FILE); every image is on the start host there, so that relative links keep the
# scheme; httrack does not run.
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
HTTPS_PORT=${HTTPS_PORT:-18443}
MILLION_PORT=${MILLION_PORT:-18090}
CERT_DIR=/tmp/vbench/cert

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
https_nginx=""
cleanup() {
  [[ -z "$proxy_pid" ]] || kill "$proxy_pid" 2> /dev/null || true
  [[ -z "$https_nginx" ]] || stop_https_nginx
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

# The same tools over HTTPS on PORT, trusting the certificate; the floor fetches the
# site's list with its URLs turned to https and that port.
https_tools() {
  local port=$1 site=$2 cert=$CERT_DIR/cert.pem cfg=/tmp/vbench/work/curl-https-$1.cfg
  mkdir -p /tmp/vbench/work
  python3 "$VBENCH_KIT/vbench.py" curlcfg "$site" "$cfg.http" > /dev/null
  sed -E "s#^url = \"http://([^/:]+):[0-9]+/#url = \"https://\\1:$port/#" "$cfg.http" > "$cfg"
  local imgx="jpg,jpeg,gif,png,webp,bmp"
  echo "wget=wget -r -l 5 -H -D {DOMAIN} -A $imgx --no-verbose --ca-certificate=$cert -P {OUT} {URL}"
  echo "wget2-t8=wget2 --tries=1 --max-threads=8 -r -l 5 -H -D {DOMAIN} -A $imgx --no-verbose" \
    "--ca-certificate=$cert -P {OUT} {URL}"
  echo "ref-curl-par8=cd {OUT} && curl -sS --no-progress-meter --parallel --parallel-max 8 --create-dirs" \
    "--cacert $cert -K $cfg"
  vendrake_tools | grep -v '^ref-' | sed "s#=#=SSL_CERT_FILE=$cert #"
}

# run_peers SITE_LABEL OUT_ROOT CSV SITE_DIR [run_peers.sh options...]
# The tools are vendrake_tools and the kit's PEERS, or with TOOLS_FROM set, the lines of
# that command alone.
run_peers() {
  local name=$1 out=$2/$1 csv=$3 site=$4
  shift 4
  local custom=() peers=$PEERS
  if [[ -n "${TOOLS_FROM:-}" ]]; then
    while IFS= read -r t; do custom+=(-T "$t"); done < <($TOOLS_FROM)
    peers=none
  else
    while IFS= read -r t; do custom+=(-T "$t"); done < <(vendrake_tools)
  fi
  mkdir -p "$out"
  echo "== $name: load $(cut -d' ' -f1-3 /proc/loadavg), output $out ($(stat -f -c %T "$out"))"
  sites_seen+=("$name=$site")
  "$VBENCH_KIT/run_peers.sh" -n "$name" -o "$out" -c "$csv" -r "$REPS" -p "$peers" "${custom[@]}" "$@" "$site"
  if [[ -n "$SLOW_PEERS" && -z "${TOOLS_FROM:-}" ]]; then
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

# A self-signed certificate for the site's host names, made once.
make_cert() {
  [[ -s $CERT_DIR/cert.pem ]] && return
  mkdir -p "$CERT_DIR"
  openssl req -x509 -newkey rsa:2048 -nodes -days 7 -subj "/CN=www.site.test" \
    -addext "subjectAltName=DNS:www.site.test,DNS:img.site.test" \
    -keyout "$CERT_DIR/key.pem" -out "$CERT_DIR/cert.pem" 2> /dev/null
}

# An nginx serving ROOT (per Host, as serve.sh does) over HTTPS on PORT.
start_https_nginx() {
  local root run=/tmp/vbench/nginx-https-$2
  root=$(readlink -f "$1")
  mkdir -p "$run/tmp"
  cat > "$run/nginx.conf" << CONF
worker_processes 1;
pid $run/nginx.pid;
error_log $run/error.log warn;
events { worker_connections 4096; }
http {
    types { text/html html htm; text/css css; image/jpeg jpg jpeg; image/gif gif; image/png png; }
    default_type application/octet-stream;
    access_log off;
    log_not_found off;
    sendfile on;
    tcp_nodelay on;
    keepalive_timeout 65s;
    keepalive_requests 1000000;
    open_file_cache max=10000 inactive=60s;
    ssl_certificate $CERT_DIR/cert.pem;
    ssl_certificate_key $CERT_DIR/key.pem;
    ssl_session_cache shared:ssl:10m;
    client_body_temp_path $run/tmp/body;
    proxy_temp_path $run/tmp/proxy;
    fastcgi_temp_path $run/tmp/fastcgi;
    uwsgi_temp_path $run/tmp/uwsgi;
    scgi_temp_path $run/tmp/scgi;
    server {
        listen 127.0.0.1:$2 ssl default_server;
        server_name _;
        root $root/\$host;
    }
}
CONF
  nginx -p "$run" -c "$run/nginx.conf" -e "$run/error.log"
  https_nginx=$run
}

stop_https_nginx() {
  [[ ! -s $https_nginx/nginx.pid ]] || kill -QUIT "$(cat "$https_nginx/nginx.pid")" 2> /dev/null || true
  https_nginx=""
}

# start_proxy TARGET_PORT: the delaying proxy on LAT_PORT in front of TARGET_PORT.
start_proxy() {
  python3 "$REPO/bench/delay_proxy.py" --listen "$LAT_PORT" --target "$1" --rtt-ms "$RTT_MS" \
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
  # Other work on the machine skews the figures (Vendrake's workers run at nice 19): note it.
  echo "== mode $mode at $(date -u +%H:%M:%S) UTC, load average $(cut -d' ' -f1-3 /proc/loadavg)"
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
  large)
    mkdir -p "$DISK_OUT"
    [[ $(stat -f -c %T "$DISK_OUT") != tmpfs ]] || echo "warning: $DISK_OUT is on tmpfs" >&2
    run_peers "large-disk" "$DISK_OUT" "$csv" "$(site_for "$SITES/large" large)"
    ;;
  latency)
    site=$(site_for "$SITES/$LAT_PRESET-p$LAT_PORT" "$LAT_PRESET" --port "$LAT_PORT")
    start_proxy "$BACKEND_PORT"
    run_peers "$LAT_PRESET-rtt$RTT_MS" "$TMPFS_OUT" "$csv" "$(backend_view "$site")" \
      -u "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["start_url"])' "$site/manifest.json")"
    kill "$proxy_pid"
    proxy_pid=""
    ;;
  https | https-latency)
    make_cert
    if [[ $mode == https ]]; then
      site=$(site_for "$SITES/$PRESET-https" "$PRESET" --img-host-frac 0)
      port=$HTTPS_PORT name=$PRESET-https
    else
      site=$(site_for "$SITES/$LAT_PRESET-https" "$LAT_PRESET" --img-host-frac 0)
      port=$LAT_PORT name=$LAT_PRESET-https-rtt$RTT_MS
      start_proxy "$HTTPS_PORT"
    fi
    start_https_nginx "$site" "$HTTPS_PORT"
    # CURL_CA_BUNDLE: the kit's own check that the start URL is served trusts it too.
    CURL_CA_BUNDLE=$CERT_DIR/cert.pem TOOLS_FROM="https_tools $port $site" \
      run_peers "$name" "$TMPFS_OUT" "$csv" "$site" \
      -u "https://www.site.test:$port/index.html"
    stop_https_nginx
    [[ -z "$proxy_pid" ]] || kill "$proxy_pid"
    proxy_pid=""
    ;;
  million)
    site=$SITES/million
    [[ -f $site/million.json ]] || python3 "$REPO/bench/million_bench.py" generate "$site" >&2
    "$VBENCH_KIT/serve.sh" start "$MILLION_PORT" "$site" > /dev/null
    rm -rf "$TMPFS_OUT/million"
    python3 "$REPO/bench/million_bench.py" run "$VENDRAKE_CLI" "$site" "$MILLION_PORT" "$TMPFS_OUT/million" |
      tee "$RESULTS/million-$stamp.md"
    "$VBENCH_KIT/serve.sh" stop "$MILLION_PORT" > /dev/null
    rm -rf "$TMPFS_OUT/million"
    ;;
  *) die "unknown mode $mode (tmpfs, disk, large, latency, https, https-latency, million)" ;;
  esac
done

[[ -s $csv ]] || exit 0 # the million mode writes no CSV rows
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
