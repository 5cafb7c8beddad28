#!/bin/sh
# Runs a desktop test (a program and its arguments) under a virtual X server. Exits 77 (skipped)
# when no X server can be started; the test itself exits 77 when it cannot open a display.
if ! command -v xvfb-run >/dev/null 2>&1; then
    exec "$@"
fi
if ! xvfb-run -a true >/dev/null 2>&1; then
    echo "no virtual X server can be started: skipped"
    exit 77
fi
# Tests started together look for a free server number from different places. The server
# must not reset when its last client leaves: a host that closes the desktop and opens it again
# would meet a server in the middle of its reset.
exec xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1280x1024x24 -noreset" "$@"
