#!/bin/sh
# Runs a test program under a session bus of its own, never the desktop's.
exec dbus-run-session -- "$@"
