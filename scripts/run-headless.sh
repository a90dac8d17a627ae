#!/usr/bin/env bash
# Runs the client on a virtual display, takes the screenshots and ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
client=$1

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$client" &
app=$!

# The sign-in dialog follows the three-second splash.
login=$(timeout 30 xdotool search --sync --onlyvisible --name '用户登录' | head -n 1)
sleep 0.5
build/tools/screenshot/screenshot build/screenshot.png
echo "Sign-in dialog: build/screenshot.png"

xdotool windowfocus --sync "$login"
xdotool type --delay 20 'admin'
xdotool key Return
main=$(timeout 30 xdotool search --sync --onlyvisible --name 'Nelvodesk' | head -n 1 || true)
if [ -n "$main" ]; then
  # Without a window manager nothing maximises the window; give it the whole screen.
  xdotool windowmove "$main" 0 0 windowsize "$main" 1600 900
  sleep 1
  # The number box has the focus: add a few numbers the way a user types them.
  xdotool windowfocus --sync "$main"
  for number in 13800138000 13900139000 18912345678; do
    xdotool type --delay 10 "$number"
    xdotool key Return
  done
  # Write the text and send, answering the confirmation and the final notice.
  xdotool mousemove 1200 300 click 1
  xdotool type --delay 10 'Hello from Nelvodesk'
  sleep 0.5
  build/tools/screenshot/screenshot build/screenshot-main.png
  echo "Main window: build/screenshot-main.png"
  xdotool mousemove 1480 500 click 1
  sleep 1
  xdotool key Return
  sleep 2
  xdotool key Return
  sleep 0.5
  echo "Sent; what the loopback service accepted (build/fakeservice-journal.jsonl):"
  tail -n 3 build/fakeservice-journal.jsonl 2>/dev/null || true
else
  echo "The main window did not appear after signing in." >&2
  exit 1
fi
