#!/usr/bin/env bash
# Installs the Debian packages Vendrake needs that are not installed yet.
# Usage: scripts/install-deps.sh [bench]
#   (no argument)  what the build, the tests, the fuzzers and the CLI need
#   bench          also the peers and servers of the crawl benchmark
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev
  # libraries
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins nlohmann-json3-dev libcurl4-openssl-dev libcli11-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  tinyproxy openssl ca-certificates python3 libssl-dev
  # window tests and screenshots on a virtual display and a private session bus
  xvfb xauth dbus
  # validators of the desktop entry and the AppStream metadata
  desktop-file-utils appstream
  # the browser extension's test in a headless browser
  chromium
)
bench_packages=(nginx wget wget2 httrack curl time iproute2 linux-perf)

if [ "${1:-}" = bench ]; then
  packages+=("${bench_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

# Node.js with npm (for puppeteer-core) may come from elsewhere than Debian's
# packages; Debian's are taken only when there is none.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
