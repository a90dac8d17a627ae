#!/usr/bin/env bash
# Sourced by ./run: starts the loopback stand-in of the operator's servers and points the client at it.
# Accepted messages are journalled to build/fakeservice-journal.jsonl.
fakeservice_log=build/fakeservice.out
build/tools/fakeservice/fakeservice --port 0 --journal build/fakeservice-journal.jsonl >"$fakeservice_log" 2>&1 &
fakeservice_pid=$!
for _ in $(seq 100); do
  port=$(sed -n 's/^listening \([0-9]*\)$/\1/p' "$fakeservice_log" 2>/dev/null)
  [ -n "$port" ] && break
  sleep 0.05
done
if [ -z "${port:-}" ]; then
  echo "fakeservice did not start" >&2
  exit 1
fi
export NELVOGATE_HOST=127.0.0.1 NELVOGATE_PORT=$port NELVO_SERVICE_HOST=127.0.0.1 NELVO_SERVICE_PORT=$port
echo "fakeservice listens on 127.0.0.1:$port; accepted messages go to build/fakeservice-journal.jsonl"
