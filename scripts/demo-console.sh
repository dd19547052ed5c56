#!/usr/bin/env bash
# The console demo: builds the 32-bit console and nothing else it does not run
# (no tests), lays it out with the framework libraries and the shipped movie as
# it would lie on a Windows computer, and runs it once on the layer as its user
# would: the movie loads, a script asks a few things of the console, turns the
# mouse wheel and closes the frame. Then it tells in plain words what the trace
# and the framework's transcript recorded, how the program ended and where its
# log is.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-m32-demo
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMBRIX_BUILD_32=ON -DOMBRIX_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target KZ4Xelqdesk >/dev/null

demo=$(pwd)/$build/demo
rm -rf "$demo"
folder=$demo/drive-c/Ombrix/Xelqdesk
mkdir -p "$folder" "$demo/tmp" "$demo/drive-c/Users/ann/AppData/Roaming"
cp "$build/bin/KZ4Xelqdesk" "$build/bin/OmbrixXelq.ui" "$build"/bin/*.so "$folder/"
cat > "$demo/machine.ini" <<INI
[system]
trace = $demo/trace.log
[drives]
C = $demo/drive-c
[screen]
width = 1024
height = 768
[locale]
ui_language = 0x0809
[folders]
appdata = C:\\Users\\ann\\AppData\\Roaming
INI
cat > "$demo/script.txt" <<'SCRIPT'
send externalAppGetLocale
send externalAppGetDecimalSeparator
send externalAppGetCurrentUserAppDirectory
wheel -120
wheel 120
close
SCRIPT
export WINLAYER_MACHINE=$demo/machine.ini TMP=$demo/tmp
export WYL_AUTOMATION=$demo/script.txt WYL_TRANSCRIPT=$demo/transcript.txt

echo "Running C:\\Ombrix\\Xelqdesk\\KZ4Xelqdesk (the folder $folder) on a 1024 by 768 screen,"
echo "the user's language British English (0x0809). The automation script:"
sed 's/^/  /' "$demo/script.txt"
set +e
"$folder/KZ4Xelqdesk"
status=$?
set -e

# A window that appears is placed and sized by the same call: the trace's
# "moved" and "sized" lines right after its "shown" line tell where it appeared.
echo
echo "What the user saw (the layer's trace, $demo/trace.log):"
sed -n 's/^window \([a-z]*\): \([^ ]*\) 0x[0-9A-F]*\(.*\)$/\1|\2|\3/p' "$demo/trace.log" | awk -F'|' '
  function who(c) { return c == "_tivu_xelqdesk_frame_window_KZ4" ? "the frame" : c == "WYL.BriskPlayer" ? "the player" : "the window " c }
  function where(c, at) { return c == "WYL.BriskPlayer" ? "at " at " in the frame" : "at " at " on the 1024 by 768 screen" }
  function size(wxh) { sub(/x/, " by ", wxh); return wxh " pixels" }
  function tell() { if (told != "") print "  " told; told = ""; appearing = "" }
  { detail = $3; sub(/^ (to|parent=[^ ]*) ?/, "", detail) }
  ($1 == "moved" || $1 == "sized") && appearing == $2 {
    told = told ($1 == "moved" ? " " where($2, detail) : ", " size(detail)); next
  }
  { tell() }
  $1 == "created" { told = who($2) " was created, hidden" ($3 ~ /parent/ ? ", inside the frame" : "") }
  $1 == "shown" { told = who($2) " appeared"; appearing = $2 }
  $1 == "moved" { told = who($2) " was moved " where($2, detail) }
  $1 == "sized" { told = who($2) " was given the size " size(detail) }
  $1 == "foreground" { told = who($2) " came to the front" }
  $1 == "minimised" || $1 == "restored" || $1 == "destroyed" || $1 == "hidden" { told = who($2) " was " $1 }
  END { tell() }'
echo
echo "What the movie asked and was told (the framework's transcript, $demo/transcript.txt):"
awk '
  /^request / {
    line = substr($0, 9); split(line, parts, " -> ")
    print "  the movie asked " parts[1] (parts[2] == "no reply" ? "; the console gave no reply" : "; the console answered " parts[2])
  }
  /^invoke / { print "  the console called the movie'"'"'s function " substr($0, 8) }
  /^step wheel / {
    print "  the user turned the mouse wheel by " $3 ($3 < 0 ? " (towards the user)" : $3 > 0 ? " (away from the user)" : "")
  }
  /^step close$/ { print "  the user closed the frame (as with Alt+F4 or the system menu)" }
  /^play / { print "  the movie " $2 " started playing" }
  /^terminate$/ { print "  the console stopped the framework" }' "$demo/transcript.txt"
echo
log=$demo/tmp/ombrixxelq.log
# The shell sees the low 8 bits of the exit code: -1 reads 255.
code=$status
[ "$status" = 255 ] && code=-1
echo "KZ4Xelqdesk ended with exit code $code (0: a normal end, -1: an exception ended it)."
if [ -f "$log" ]; then
  echo "Its log file, which it holds open while it runs and writes no line to: $log ($(wc -c <"$log") bytes)."
else
  echo "It left no log file; it would be $log."
fi
