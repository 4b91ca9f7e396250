#!/usr/bin/env bash
# tandrel-render.exe under Wine as a Windows user runs it: files named with a
# drive letter, backslashes and non-ASCII characters, WAV streams through
# standard input and output (binary: one translated line end ruins them) and
# Ctrl-C in the middle of a render. With the Linux build's tool given in
# TANDREL_LINUX_RENDER_TOOL, every output must equal the Linux tool's byte for byte.
# Usage: render-streams.sh WINE-RUN TANDREL-RENDER.EXE
set -uo pipefail
wine_run="$1"
tool="$2"
linux_tool="${TANDREL_LINUX_RENDER_TOOL:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description command...
  local what="$1"; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
render() { "$wine_run" "$tool" "$@"; }
windows_path() { echo "Z:${1//\//\\}"; }

# Files: a Windows path with a drive letter, backslashes and a name beyond ASCII.
mkdir -p "$work/Prøve ✓"
check "--demo writes a file named by a drive-letter path with non-ASCII characters" \
  render --demo "$(windows_path "$work/Prøve ✓/démo ♪.wav")"
check "the file is there under its Unicode name" test -s "$work/Prøve ✓/démo ♪.wav"
cp "$work/Prøve ✓/démo ♪.wav" "$work/demo.wav"

# Messages naming such a file: UTF-8 through a pipe, and readable in a console
# (script(1) gives Wine a terminal, which it makes the program's console),
# whatever the console's code page.
missing="$(windows_path "$work/Prøve ✓/fehlt ♪.wav")"
render "$missing" "$work/out.wav" 2>&1 | cat > "$work/piped-message.txt"
check "a message through a pipe names the file in UTF-8" grep -qF "fehlt ♪.wav" "$work/piped-message.txt"
script -qec "$(printf '%q ' "$wine_run" "$tool" "$missing" "$work/out.wav")" /dev/null \
  | sed 's/\x1b\[[?0-9;]*[A-Za-z]//g' > "$work/console-message.txt"
check "a message in a console names the file as typed" grep -qF "Prøve ✓\\fehlt ♪.wav" "$work/console-message.txt"

# Streams: out through a pipe, in through a pipe, both at once.
render --demo - 2>/dev/null | cat > "$work/demo-piped.wav"
check "--demo to standard output writes a WAV stream" test -s "$work/demo-piped.wav"
cat "$work/demo.wav" | render --set "Tone=20" - - 2>/dev/null | cat > "$work/through.wav"
check "a WAV stream through standard input and output" test -s "$work/through.wav"
render --set "Tone=20" "$work/demo.wav" "$work/through-file.wav" 2>/dev/null
check "the same render file to file" test -s "$work/through-file.wav"

# Interrupts: Ctrl-C (Wine turns SIGINT into the console's Ctrl-C event) in
# the middle of a render leaves no file behind, not even the unfinished one the
# render is still writing. The input is a WAV stream of unknown length through
# standard input (Wine opens no FIFO by its path), fed at about 20 MB/s for at
# most a minute, so a render that misses the interrupt cannot fill the disk.
slow_endless_wav() {
  python3 -c 'import sys, time
wav = open(sys.argv[1], "rb").read()
start = wav.index(b"data") + 8
header = bytearray(wav[:start])
header[4:8] = header[start - 4:start] = b"\xff\xff\xff\xff"
sys.stdout.buffer.write(header)
end = time.monotonic() + 60
while time.monotonic() < end:
    sys.stdout.buffer.write(wav[start:])
    time.sleep(0.1)' "$1" 2>/dev/null
}
"$wine_run" "$tool" - "$work/interrupted.wav" < <(slow_endless_wav "$work/demo.wav") 2>"$work/interrupt.log" &
renderer=$!
for _ in $(seq 600); do
  compgen -G "$work/.tandrel-*.part" >/dev/null && break
  sleep 0.1
done
check "the interrupted render had begun its unfinished file" compgen -G "$work/.tandrel-*.part"
kill -INT "$renderer"
for _ in $(seq 100); do kill -0 "$renderer" 2>/dev/null || break; sleep 0.1; done
kill -KILL "$renderer" 2>/dev/null
wait "$renderer"; status=$?
check "an interrupted render fails (status $status)" test "$status" -ne 0
check "an interrupted render leaves no output" test ! -e "$work/interrupted.wav"
check "an interrupted render leaves no unfinished file" bash -c "! compgen -G '$work/.tandrel-*.part'"
check "an interrupted render says so" grep -q "interrupted" "$work/interrupt.log"

if [[ -n "$linux_tool" ]]; then
  "$linux_tool" --demo "$work/linux-demo.wav" 2>/dev/null
  check "--demo equals the Linux tool's byte for byte" cmp "$work/demo.wav" "$work/linux-demo.wav"
  "$linux_tool" --demo - 2>/dev/null | cat > "$work/linux-demo-piped.wav"
  check "--demo to a pipe equals the Linux tool's byte for byte" cmp "$work/demo-piped.wav" "$work/linux-demo-piped.wav"
  cat "$work/demo.wav" | "$linux_tool" --set "Tone=20" - - 2>/dev/null | cat > "$work/linux-through.wav"
  check "a stream through both pipes equals the Linux tool's byte for byte" cmp "$work/through.wav" "$work/linux-through.wav"
  "$linux_tool" --set "Tone=20" "$work/demo.wav" "$work/linux-through-file.wav" 2>/dev/null
  check "file to file equals the Linux tool's byte for byte" cmp "$work/through-file.wav" "$work/linux-through-file.wav"
else
  echo "skipped: the comparison with the Linux tool (TANDREL_LINUX_RENDER_TOOL is not set)"
fi

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
[[ -n "$linux_tool" ]] || exit 77
