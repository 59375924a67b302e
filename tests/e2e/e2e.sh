#!/usr/bin/env bash
# The real titles program on a private X server (Xvfb, no window manager, so
# windows have no frames): start-up, a real pointer click, a start-up
# failure box, a real close request, an empty title, a box and a window
# destroyed from outside, huge entries, 120 dpi, Qt's own options and
# scaling variables, native Wayland (weston nested in the X server), and
# displays that cannot be reached.
#
#   e2e.sh TITLES-BINARY X11-CLOSE-HELPER DATA-DIR
set -euo pipefail
export LC_ALL=C.UTF-8

titles=$(realpath "$1")
close_window=$(realpath "$2")
data=$(realpath "$3")

for tool in Xvfb xdotool xwininfo xprop import compare convert weston weston-debug; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed (scripts/install-deps gui)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [[ -n ${E2E_KEEP:-} ]]; then cp "$work"/*.png "$E2E_KEEP"/; fi
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"


# A private X server on a free display number.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
until_true 10 test -s "$work/display" || { cat "$work/xvfb.log" >&2; echo "e2e: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

# An X server that takes the connection and never answers. The program
# waits for its answer for a while: it runs beside the other rows, and is
# checked at the end.
python3 -c 'import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1] - 6000, flush=True); s.listen()
c = s.accept(); time.sleep(60)' >"$work/silent" &
pids+=($!)
until_true 10 test -s "$work/silent"
silent=127.0.0.1:$(head -1 "$work/silent")
(
  start=${EPOCHREALTIME/./} code=0
  DISPLAY=$silent timeout 20 "$titles" >/dev/null 2>"$work/silent.err" || code=$?
  echo "$code $(((${EPOCHREALTIME/./} - start) / 1000))" >"$work/silent.result"
) &
silent_run=$!

# visible NAME: the ids of the shown windows titled exactly NAME (the root
# window, which has no name, left out).
root=$(( $(xwininfo -root | awk '/Window id:/ {print $4; exit}') ))
visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "$root" || true; }
one_visible() { [[ $(visible "$1" | wc -l) -eq 1 ]]; }
geometry() { # geometry ID: "x y width height" of the window on the screen
  [[ -n $1 ]] || { echo "- - - -"; return; }
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
shot() { [[ -n $1 ]] && import -window "$1" "png:$2" 2>/dev/null; }
differs() { ! compare -metric AE "$1" "$2" null: 2>/dev/null; }
same() { compare -metric AE "$1" "$2" null: 2>/dev/null; }
colours() { convert "$1" -format %k info:; }

# launch DIR PROGRAM: starts the program in DIR; its process id is in $pid.
launch() {
  (cd "$1" && exec "$2") &
  pid=$!
  pids+=("$pid")
}

# ---- start-up, click, close
mkdir "$work/run"
cp "$data/adjectives.txt" "$data/nouns.txt" "$work/run/"
launch "$work/run" "$titles"
check "the main window appears" until_true 10 one_visible titles
win=$(visible titles | head -1)
read -r x y w h < <(geometry "$win")
check "it stands at 300,130 (got $x,$y)" test "$x,$y" = "300,130"
check "it has a size (${w}x${h})" test "$w" -gt 0 -a "$h" -gt 0
check "its title is the program's title" test "$(xdotool getwindowname "$win")" = titles
check "it has the icon" bash -c "xprop -id $win _NET_WM_ICON | grep -q 'Icon ('"
check "it offers no maximising and no resizing" \
  bash -c "xprop -id $win WM_NORMAL_HINTS | grep -q 'program specified minimum size: $w by $h' &&
           xprop -id $win WM_NORMAL_HINTS | grep -q 'program specified maximum size: $w by $h'"
sleep 0.2
shot "$win" "$work/first.png"
check "a phrase is drawn" test "$(colours "$work/first.png")" -gt 2

# A right click changes nothing.
xdotool mousemove --window "$win" 3 3 click 3
sleep 0.3
shot "$win" "$work/right.png"
check "a right click shows no new phrase" same "$work/first.png" "$work/right.png"

# Pressed on the phrase, released far outside the window: no new phrase.
xdotool mousemove --window "$win" 3 3 mousedown 1 mousemove 900 600 mouseup 1
sleep 0.3
shot "$win" "$work/dragged.png"
check "a press dragged off the window shows no new phrase" same "$work/first.png" "$work/dragged.png"

# A left click shows a new phrase (a repeat of the same phrase is possible
# but rare: up to three clicks).
changed() { shot "$win" "$work/now.png" && differs "$work/first.png" "$work/now.png"; }
new_phrase() {
  local i
  for i in 1 2 3; do
    xdotool mousemove --window "$win" 3 3 click 1
    until_true 3 changed && return 0
  done
  return 1
}
check "a click shows a new phrase" new_phrase
read -r x y w h < <(geometry "$win")
check "the window stays at 300,130 (got $x,$y)" test "$x,$y" = "300,130"

"$close_window" "$win"
check "a close request ends the program with exit code 0" exits_with "$pid" 0 10

# Qt's own options and scaling variables (QT_FONT_DPI too) change nothing;
# with a Wayland compositor named too, X is used.
first_height=$h
(cd "$work/run" && exec env QT_SCALE_FACTOR=2 QT_SCREEN_SCALE_FACTORS=3 QT_FONT_DPI=192 WAYLAND_DISPLAY=wayland-479 \
  "$titles" -qwindowgeometry 800x600+10+10 -qwindowtitle HACKED -stylesheet /dev/null) &
pid=$!
pids+=("$pid")
check "with Qt's options and scaling the window appears" until_true 10 one_visible titles
win=$(visible titles | head -1)
read -r x y w h < <(geometry "$win")
check "on X at 300,130, as high as without them (got $x,$y ${w}x$h)" test "$x,$y,$h" = "300,130,$first_height"
"$close_window" "$win"
check "and it closes with exit code 0" exits_with "$pid" 0 10

# ---- a start-up failure: one box titled after the program file, then the window
mkdir "$work/missing"
cp "$data/nouns.txt" "$work/missing/"
cp "$titles" "$work/missing/TITLES"
launch "$work/missing" ./TITLES
check "a box titled Titles appears" until_true 10 one_visible Titles
box=$(visible Titles | head -1)
sleep 0.3
check "it is the only window shown" one_visible Titles
check "it is a dialog" bash -c "xprop -id $box _NET_WM_WINDOW_TYPE | grep -q DIALOG"
shot "$box" "$work/box.png"
xdotool key Return
designed() {
  local id
  id=$(visible Titles | head -1)
  [[ -n $id && $id != "$box" ]] && one_visible Titles && [[ $(geometry "$id") == "300 130 361 26" ]]
}
check "after OK the window comes at its designed place and size" until_true 10 designed
win=$(visible Titles | head -1)
"$close_window" "$win"
check "closing it ends the program with exit code 0" exits_with "$pid" 0 10

# ---- a program file named ".hidden": an empty title on the box and the
# window; the box centred on the screen; the window destroyed by another
# client ends the program as closing it does
mkdir "$work/hidden"
cp "$data/nouns.txt" "$work/hidden/"
cp "$titles" "$work/hidden/.hidden"
launch "$work/hidden" ./.hidden
check "a box titled with the empty string appears" until_true 10 one_visible ""
box=$(visible "" | head -1)
read -r x y w h < <(geometry "$box")
centred() { (( ${1#-} <= 2 && ${2#-} <= 2 )); }
check "it is centred on the screen (centre $((x + w / 2)),$((y + h / 2)))" \
  centred $((x + w / 2 - 640)) $((y + h / 2 - 400))
xdotool windowclose "$box"
at_design() { local id; id=$(visible "" | head -1); [[ -n $id && $id != "$box" && $(geometry "$id") == "300 130 361 26" ]]; }
check "a box destroyed from outside counts as dismissed: then the window, titled with the empty string" \
  until_true 10 at_design
xdotool windowclose "$(visible "" | head -1)"
check "a window destroyed from outside ends the program with exit code 0" exits_with "$pid" 0 10

# ---- two adjectives of 4,000,000 letters: the window stays visible, as
# wide as a window can be, and closable
mkdir "$work/long"
cp "$data/nouns.txt" "$work/long/"
printf '%04000000d\n%04000000d\n' 0 0 | tr 0 A >"$work/long/adjectives.txt"
launch "$work/long" "$titles"
check "with two huge adjectives the window appears" until_true 20 one_visible titles
win=$(visible titles | head -1)
read -r x y w h < <(geometry "$win")
check "at 300,130 and ending by x 32767 (got $x,$y ${w}x$h)" test "$x,$y" = "300,130" -a $((x + w)) -le 32767 -a "$w" -gt 1000
"$close_window" "$win"
check "and it closes with exit code 0" exits_with "$pid" 0 10

# ---- 120 dpi: the program's own scaling; the window's corner unscaled
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t120\n')"
launch "$work/run" "$titles"
check "at 120 dpi the window appears" until_true 10 one_visible titles
win=$(visible titles | head -1)
read -r x y w h < <(geometry "$win")
check "at 300,130 (got $x,$y)" test "$x,$y" = "300,130"
"$close_window" "$win"
exits_with "$pid" 0 10 || true
xprop -root -remove RESOURCE_MANAGER

# ---- native Wayland: weston nested in the X server, driven by its pointer
weston --backend=x11-backend.so --use-pixman --width=1024 --height=640 --socket=titles-wl --idle-time=0 \
  --debug >"$work/weston.log" 2>&1 &
pids+=($!)
check "weston starts" until_true 20 test -S "$XDG_RUNTIME_DIR/titles-wl"
# wl_view: "left top right bottom" of the program's window in weston.
wl_view() {
  WAYLAND_DISPLAY=titles-wl timeout 5 weston-debug scene-graph 2>/dev/null |
    awk "/top-level window 'titles' of/ {getline; gsub(/[^0-9]+/, \" \"); print; exit}"
}
has_view() { [[ -n $(wl_view) ]]; }
last_size() { grep -o "$1([0-9, ]*)" "$work/wl.log" | tail -1 | grep -o '[0-9]\+, [0-9]\+)$'; }
(cd "$work/run" && exec env -u DISPLAY WAYLAND_DISPLAY=titles-wl WAYLAND_DEBUG=1 "$titles" 2>"$work/wl.log") &
pid=$!
pids+=("$pid")
check "on Wayland the window appears" until_true 10 has_view
sleep 0.5
read -r l t r b < <(wl_view)
check "titled with the program's title" grep -q 'set_title("titles")' "$work/wl.log"
check "its size limits are its whole size, decoration included ($(last_size set_window_geometry))" \
  test "$(last_size set_min_size)" = "$(last_size set_window_geometry)" -a \
       "$(last_size set_max_size)" = "$(last_size set_window_geometry)"
# The decoration's maximise button, then a click on the phrase, then the
# close button. weston follows the X pointer only after it has entered its
# window, so each try starts from outside it (the screen is larger).
maximise() {
  local i
  for i in 1 2 3 4 5; do
    read -r l t r b < <(wl_view) || { sleep 0.5; continue; }
    xdotool mousemove 1200 700 sleep 0.2 mousemove $((r - 40)) $((t + 15)) sleep 0.3 click 1 sleep 0.5
    grep -q unset_maximized "$work/wl.log" && return 0
  done
  return 1
}
check "maximising is asked for and given back" maximise
read -r l t r b < <(wl_view)
xdotool mousemove $((l + 10)) $((t + 38)) sleep 0.2 click 1 sleep 0.5
check "maximising and a click leave it running" kill -0 "$pid"
close_wl() {
  local i
  for i in 1 2 3 4 5; do
    read -r l t r b < <(wl_view) || { sleep 0.5; continue; }
    xdotool mousemove 1200 700 sleep 0.2 mousemove $((r - 17)) $((t + 15)) sleep 0.3 click 1
    exits_with "$pid" 0 3 && return 0
  done
  return 1
}
check "its close button ends it with exit code 0" close_wl

# With both an X server and the compositor, X is used.
(cd "$work/run" && exec env WAYLAND_DISPLAY=titles-wl "$titles") &
pid=$!
pids+=("$pid")
check "with both displays the window appears on X" until_true 10 one_visible titles
read -r x y w h < <(geometry "$(visible titles | head -1)")
check "at 300,130 (got $x,$y)" test "$x,$y" = "300,130"
"$close_window" "$(visible titles | head -1)"
check "and it closes with exit code 0" exits_with "$pid" 0 10

# ---- displays that cannot be reached: exit code 1 and the program's own
# message, never Qt's abort
unreachable() { # unreachable DESCRIPTION EXPECTED-TEXT ENV...
  local code=0 start=$SECONDS
  env "${@:3}" timeout 20 "$titles" >/dev/null 2>"$work/err" || code=$?
  check "$1: exit code 1 (got $code)" test "$code" -eq 1
  check "$1: says why" grep -q "$2" "$work/err"
  check "$1: within 6 s" test $((SECONDS - start)) -le 6
}
x_display=$DISPLAY
unreachable "no display" "アプリケーション エラー" -u DISPLAY -u WAYLAND_DISPLAY
unreachable "an unreachable display" "ディスプレイ :$(( ${x_display#:} + 500 )) " DISPLAY=:$(( ${x_display#:} + 500 ))
unreachable "a screen that does not exist" "ディスプレイ $x_display.7 " DISPLAY="$x_display.7"
unreachable "a stale Wayland name" "ディスプレイ wayland-479 " -u DISPLAY WAYLAND_DISPLAY=wayland-479
unreachable "Wayland asked for without a compositor" "ディスプレイ wayland-479 " QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-479
unreachable "a window-system plug-in that is not installed" "no-such-platform" QT_QPA_PLATFORM=no-such-platform
unreachable "a plug-in that shows no window of its own" "eglfs には対応していません" QT_QPA_PLATFORM=eglfs
wait "$silent_run"
read -r code took <"$work/silent.result"
check "an X server that never answers: exit code 1 (got $code)" test "$code" -eq 1
check "an X server that never answers: says so" grep -q "ディスプレイ $silent が応答しません" "$work/silent.err"
check "an X server that never answers: within 6 s (took $took ms)" test "$took" -le 6000

tally
