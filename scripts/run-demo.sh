#!/usr/bin/env bash
# The main job of `make run` without a URL: serves the demo gallery that ships
# in demo/gallery on 127.0.0.1 and, in a Vendrake home of its own under the
# build folder (your own settings stay untouched):
# - with a display (DISPLAY or WAYLAND_DISPLAY), opens the vendrake window
#   with a "Demo gallery" task pointing at the gallery: select it and Run;
# - without one, crawls the gallery with vendrake-cli.
# Usage: scripts/run-demo.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/src/app/vendrake-cli"
gui="$build/src/app/vendrake"
export VENDRAKE_HOME="$PWD/$build/demo-home"

coproc server { exec python3 scripts/serve-folder.py demo/gallery; }
trap 'kill "$server_PID" 2>/dev/null || true' EXIT
read -r url <&"${server[0]}"
echo "Serving the demo gallery at $url"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$gui" ]; then
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.vendrake.Vendrake 2>/dev/null | grep -q 'boolean true'; then
    echo "Vendrake runs already in this session; exit it first to try the demo." >&2
    exit 1
  fi
  # The gallery's port changes with every run: the demo task is made afresh.
  projects="$VENDRAKE_HOME/Images/Projects"
  rm -f "$projects/Demo gallery.wrp"
  rm -rf "$VENDRAKE_HOME/Images/Downloaded Files/Demo gallery"
  "$cli" new "Demo gallery" "${url}index.html" >/dev/null
  echo "Opening Vendrake on $VENDRAKE_HOME: select \"Demo gallery\" and choose Run."
  "$gui"
  exit 0
fi

status=0
"$cli" run "${url}index.html" || status=$?
echo
echo "The pictures are in: $VENDRAKE_HOME/Images/Downloaded Files/"
echo "Show the task with:  VENDRAKE_HOME=$VENDRAKE_HOME $cli list"
exit "$status"
