#!/usr/bin/env bash
# The installed window as a user meets it, run on a virtual display by
# check-install.sh in a directory that holds first.txt and second.txt:
#
#   xvfb-run -a window-session.sh PREFIX
#
# The program starts with both files. Once it has read the second, a letter is typed
# into the active window (second.txt's) and File > Save (Ctrl+S) writes the window's
# text back; the Window menu then brings first.txt's window forward for the same.
# What the files then hold is the text each window showed, the letter in front;
# check-install.sh compares them. File > Exit ends the program.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="suppressions=$here/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Waits up to a minute for a condition: a bound for a broken program, not a speed test.
await() {
  for _ in $(seq 600); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  echo "window-session: gave up waiting for: $*" >&2
  return 1
}
contains() { grep -q "$2" "$1" 2>/dev/null; }

inotifywait -t 60 -e close_nowrite second.txt >/dev/null 2>watch.log &
watcher=$!
await contains watch.log 'Watches established'
"$prefix/bin/lumenark" first.txt second.txt &
program=$!
trap 'kill "$program" 2>/dev/null || true' EXIT  # a failed step leaves no program behind
wait "$watcher"  # the program has read second.txt, the last file
timeout 60 xdotool search --sync --name '^Lumenark for Windows 95$' >/dev/null

xdotool type X
xdotool key ctrl+s
await test -e second.BAK
xdotool key alt+w 1  # Window > 1 first.txt
xdotool type Y
xdotool key ctrl+s
await test -e first.BAK
xdotool key alt+f x  # File > Exit
timeout 60 tail --pid="$program" -f /dev/null
wait "$program"
