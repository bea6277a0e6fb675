#!/bin/sh
# Starts the tool from a build folder. Unless port 1 is mapped already, a controller
# simulator is started on a pseudo-terminal and port 1 is mapped to it for this run.
BUILD=${1:-build}
shift 2>/dev/null || true
if [ -z "$VESTIBAR_COM1" ] && [ -x "$BUILD/sim/vestibar-sim" ]; then
  LINK=$(mktemp -u /tmp/vestibar-sim.XXXXXX)
  "$BUILD/sim/vestibar-sim" --link "$LINK" &
  SIM=$!
  trap 'kill $SIM 2>/dev/null' EXIT INT TERM
  i=0
  while [ ! -e "$LINK" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  export VESTIBAR_COM1="$LINK"
  echo "Controller simulator on $LINK (port 1)."
fi
"$BUILD/src/app/vestibar" "$@"
