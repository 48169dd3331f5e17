#!/usr/bin/env bash
# The main job of `make run` without a URL: serves the demo gallery that ships
# in demo/gallery on 127.0.0.1 and crawls it with vendrake-cli into a Vendrake
# home of its own under the build folder (your own settings stay untouched).
# Usage: scripts/run-demo.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/src/app/vendrake-cli"
export VENDRAKE_HOME="$PWD/$build/demo-home"

coproc server { exec python3 scripts/serve-folder.py demo/gallery; }
trap 'kill "$server_PID" 2>/dev/null || true' EXIT
read -r url <&"${server[0]}"

echo "Serving the demo gallery at $url"
status=0
"$cli" run "${url}index.html" || status=$?
echo
echo "The pictures are in: $VENDRAKE_HOME/Images/Downloaded Files/"
echo "Show the task with:  VENDRAKE_HOME=$VENDRAKE_HOME $cli list"
exit "$status"
