#!/usr/bin/env bash
# The real titles program on the desktops people run: weston, GNOME's
# compositor (mutter), KDE's (KWin) and sway, each nested in a private X
# server (Xvfb) whose pointer drives it, with its own Xwayland; and openbox
# on the X server itself. Each compositor is started once per scale (1 and
# 2), its rows run, and it is stopped. Per compositor: the window system
# the program chooses when both its Xwayland and the compositor answer, who
# draws the frame, the client area against the text at the first map and
# after a click, the buffer's scale; and at scale 1 the start-up box's
# frame centred on its Xwayland's screen (mutter, KWin), and the compositor
# killed under the program.
#
#   desktops.sh TITLES-BINARY DATA-DIR
set -euo pipefail
export LC_ALL=C.UTF-8

titles=$(realpath "$1")
data=$(realpath "$2")

for tool in Xvfb xdotool xwininfo xprop import convert openbox weston mutter sway swaymsg kwin_wayland Xwayland \
            dbus-run-session runuser setsid; do
  command -v "$tool" >/dev/null || { echo "desktops: $tool is not installed (scripts/install-deps gui)" >&2; exit 1; }
done

work=$(mktemp -d)
chmod 711 "$work"  # sway runs as another user, and reaches its files here
groups=()
cleanup() {
  for g in "${groups[@]}"; do kill -- "-$g" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [[ -n ${E2E_KEEP:-} ]]; then cp "$work"/*.png "$work"/*.log "$E2E_KEEP"/ 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

# start LOG COMMAND...: runs the command in a process group of its own,
# which stop ends; its id is in $group.
start() {
  setsid "${@:2}" >"$1" 2>&1 &
  group=$!
  groups+=("$group")
}
# stop GROUP: kills the group at once (sway takes seconds to end on SIGTERM).
stop() { kill -KILL -- "-$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

# The private X server in which the compositors' outputs are windows.
setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
groups+=($!)
until_true 10 test -s "$work/display" || { echo "desktops: Xvfb did not start" >&2; exit 1; }
host=:$(head -1 "$work/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORM XAUTHORITY
mkdir -m 755 "$work/run" "$work/missing"
as_user=  # how the program is run: as root, but on sway as sway's user
cp "$data/adjectives.txt" "$data/nouns.txt" "$work/run/"
cp "$data/nouns.txt" "$work/missing/"

# ---- helpers on an X display ($1), as the program's user
xrun() { $as_user env DISPLAY="$1" "${@:2}"; }
titled() { xrun "$1" xdotool search --onlyvisible --name '^titles$' 2>/dev/null | head -1; }
on_x() { [[ -n $(titled "$xw") ]]; }
geometry() { # geometry DISPLAY ID: "x y width height" of the client area on the screen
  xrun "$1" xwininfo -id "$2" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                      /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
extents() { # extents DISPLAY ID: "left right top bottom" of the window manager's frame
  local e
  e=$(xrun "$1" xprop -id "$2" _NET_FRAME_EXTENTS | grep -o '= .*' | tr -d '=,') || true
  echo "${e:- 0 0 0 0}"
}
# frame_origin DISPLAY ID: "x y top" of the frame the window manager put
# the window in. weston's sets no _NET_FRAME_EXTENTS: its frame window
# carries a 32-pixel shadow around the visible frame.
frame_origin() {
  local x y w h l r t b parent px py pw ph
  read -r x y w h < <(geometry "$1" "$2")
  read -r l r t b < <(extents "$1" "$2")
  if ((t == 0)); then
    parent=$(xrun "$1" xwininfo -tree -id "$2" | awk '/Parent window id:/ {print $4}')
    if [[ $parent != "$(xrun "$1" xwininfo -root | awk '/Window id:/ {print $4; exit}')" ]]; then
      read -r px py pw ph < <(geometry "$1" "$parent")
      l=$((x - px - 32)) t=$((y - py - 32))
    fi
  fi
  echo "$((x - l)) $((y - t)) $t"
}
hinted() { # hinted DISPLAY ID: "width height", the size the program fixes
  xrun "$1" xprop -id "$2" WM_NORMAL_HINTS | awk '/program specified minimum size/ {print $5, $7}'
}
screen_size() { xrun "$1" xwininfo -root | awk '/^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print w, h}'; }
# The box's frame centre against the screen's centre, within 2 pixels.
box_centred() { # box_centred DISPLAY
  local box x y w h l r t b sw sh dx dy
  box=$(titled "$1")
  [[ -n $box ]] || return 1
  read -r x y w h < <(geometry "$1" "$box")
  read -r l r t b < <(extents "$1" "$box")
  read -r sw sh < <(screen_size "$1")
  dx=$((2 * (x - l) + w + l + r - sw)) dy=$((2 * (y - t) + h + t + b - sh))
  offset="$((dx / 2)),$((dy / 2)) (frame $l $r $t $b)"
  ((${dx#-} <= 4 && ${dy#-} <= 4))
}

# The label's place in a picture of the host X server: the bounding box
# ("width height x y") of the button-face colour the program paints its
# client area with, on a compositor that draws nothing else in it (KWin's
# and sway's plain backgrounds, not weston's wallpaper).
face="#efefef"
label_box() {
  DISPLAY=$host import -window root "$work/screen.png" 2>/dev/null || return 1
  convert "$work/screen.png" -fill black +opaque "$face" -format '%@\n' info: | tr 'x+' '  '
}
shown() { read -r lw lh lx ly < <(label_box) && ((lw > 0)); }
# click_label: a left click 3 pixels inside the label's top-left corner; the
# pointer first enters from outside, as some compositors follow it only then.
click_label() {
  shown || return 1
  DISPLAY=$host xdotool mousemove 1270 790 sleep 0.2 mousemove $((lx + 3)) $((ly + 3)) sleep 0.2 click 1
}

# clicked_until CONDITION CLICK: clicks until the condition holds, three
# times at most: on a busy machine a compositor may take the click before it
# has seen the pointer enter.
clicked_until() {
  local i
  for i in 1 2 3; do
    "$2" || true
    until_true 3 "$1" && return 0
  done
  return 1
}

# ---- the program on one desktop. Needs: $name, $scale, $wl (the
# compositor's socket in $XDG_RUNTIME_DIR), $xw (its Xwayland), $native
# (whether the program is to choose native Wayland), $frame ("compositor"
# or "Qt": who draws the native window's frame).
run_titles() { # run_titles LOG ENV...: the program in $work/run on this desktop; its id in $pid
  (cd "$work/run" && exec $as_user env DISPLAY="$xw" WAYLAND_DISPLAY="$wl" "${@:2}" "$titles" 2>"$1") &
  pid=$!
}
# end_titles: ends the program started last. Run through runuser, the
# program itself is sent the signal, and runuser ends with it: sent one
# itself, runuser waits 2 s before passing it on.
end_titles() {
  pkill -P "$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
last_pair() { grep -o "$1([0-9]*, [0-9]*)" "$2" | tail -1 | grep -o '[0-9]\+, [0-9]\+' | tr -d ,; }
desktop_rows() {
  local log=$work/$name-$scale.log what="$name at scale $scale" fitted before win x y w h l r t b hw hh
  run_titles "$log" WAYLAND_DEBUG=1
  if [[ $native == yes ]]; then
    check "$what: native Wayland is chosen" until_true 10 grep -q 'xdg_toplevel@[0-9]*\.set_title("titles")' "$log"
    check "$what: the window is shown" until_true 10 shown
    if [[ $frame == compositor ]]; then
      check "$what: the compositor draws the frame" grep -q 'zxdg_toplevel_decoration_v1@[0-9]*\.configure(2)' "$log"
      # fitted: the label's box on screen is the size the program fixes, in
      # the buffer's pixels. A window that grows keeps its left edge, and
      # where it then runs past the output's right edge ($edge), the picture
      # shows it only up to there.
      fitted() {
        local fw fh
        shown && read -r fw fh < <(last_pair set_min_size "$log") && ((lh == fh * scale)) &&
          ((lw == fw * scale || (lx + lw == edge && lw < fw * scale)))
      }
      check "$what: the client area is the text at the first map" until_true 3 fitted
      check "$what: a buffer of scale $scale" bash -c "grep -o 'set_buffer_scale([0-9]*)' '$log' | tail -1 | grep -qx 'set_buffer_scale($scale)'"
      before=$(grep -c set_min_size "$log" || true)
      resized() { (($(grep -c set_min_size "$log") > before)); }
      check "$what: a click shows a new title" clicked_until resized click_label
      check "$what: the client area is the text after the click" until_true 3 fitted
    else
      check "$what: Qt draws the frame (the compositor offers none)" bash -c "! grep -q zxdg_toplevel_decoration '$log'"
      check "$what: a buffer of scale $scale" bash -c "grep -o 'set_buffer_scale([0-9]*)' '$log' | tail -1 | grep -qx 'set_buffer_scale($scale)'"
    fi
  else
    check "$what: X is chosen (its Xwayland)" until_true 10 on_x
    check "$what: no Wayland window" bash -c "! grep -q xdg_toplevel '$log'"
    win=$(titled "$xw")
    [[ -n $win ]] || return 0
    framed_at_design() {
      local fx fy ft
      read -r x y w h < <(geometry "$xw" "$win") && read -r fx fy ft < <(frame_origin "$xw" "$win") &&
        read -r hw hh < <(hinted "$xw" "$win") && ((ft > 0)) && [[ "$fx,$fy ${w}x$h" == "300,130 ${hw}x$hh" ]]
    }
    check "$what: the desktop frames it at 300,130, the client area the text" until_true 3 framed_at_design
    before=$(hinted "$xw" "$win")
    rehinted() { [[ $(hinted "$xw" "$win") != "$before" ]]; }
    # The Xwayland screen is the nested output, at the host's top-left corner.
    read -r x y w h < <(geometry "$xw" "$win")
    click_x() { DISPLAY=$host xdotool mousemove 1270 790 sleep 0.2 mousemove $((x + 3)) $((y + 3)) sleep 0.2 click 1; }
    check "$what: a click shows a new title" clicked_until rehinted click_x
    check "$what: the client area is the text after the click" until_true 3 framed_at_design
  fi
}
box_row() { # the start-up box on this desktop's Xwayland
  (cd "$work/missing" && exec $as_user env DISPLAY="$xw" QT_QPA_PLATFORM=xcb "$titles" 2>"$work/box-$name.log") &
  pid=$!
  until_true 10 on_x || true
  offset="none"
  check "$name: the start-up box's frame is centred" until_true 3 box_centred "$xw"
  echo "   (frame centre offset $offset)"
  end_titles
}
lost_row() { # the compositor killed under the program
  run_titles "$work/lost.log"
  if [[ $native == yes ]]; then until_true 10 shown || true; else until_true 10 on_x || true; fi
  sleep 0.5
  stop "$group"
  check "$name killed: the program ends with exit code 1" exits_with "$pid" 1 5
  check "$name killed: with its own message" grep -q 'との接続が切れました' "$work/lost.log"
}

# ---- openbox on the X server itself: the box centred by its frame
start "$work/openbox.log" env DISPLAY=$host openbox --sm-disable --config-file /dev/null
managed() { DISPLAY=$host xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
check "openbox starts" until_true 10 managed
xw=$host name=openbox
box_row
stop "$group"

runtime=$work/runtime
new_runtime() { rm -rf "$runtime"; mkdir -m 700 "$runtime"; export XDG_RUNTIME_DIR=$runtime; }
socket_up() { test -S "$runtime/$wl"; }

# Each compositor's output is a window at the host's top-left corner of
# 1200x760 pixels (sway's 1024x768): the pointer enters it from 1270,790.
output() { echo $((1200 / scale)) $((760 / scale)); }
x_named() { xw=$(grep -o "$1" "$2" 2>/dev/null | grep -o ':[0-9]*$' | head -1) && [[ -n $xw ]]; }

start_weston() {
  start "$work/weston-$scale.log" env DISPLAY=$host weston --backend=x11-backend.so --use-pixman --xwayland \
    --width="$(output | cut -d' ' -f1)" --height="$(output | cut -d' ' -f2)" --scale=$scale --socket=$wl --idle-time=0
  until_true 20 x_named 'xserver listening on display :[0-9]*' "$work/weston-$scale.log"
}
start_mutter() {
  start "$work/mutter-$scale.log" env DISPLAY=$host MUTTER_DEBUG_DUMMY_MODE_SPECS=1200x760 \
    MUTTER_DEBUG_DUMMY_MONITOR_SCALES=$scale dbus-run-session -- mutter --nested --wayland --wayland-display=$wl
  until_true 20 x_named 'Using public X11 display :[0-9]*' "$work/mutter-$scale.log" && until_true 10 socket_up || return 1
  # Its Xwayland asks for the cookie it was started with.
  XAUTHORITY=$(ls "$runtime"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
  export XAUTHORITY
}
start_kwin() {
  # A copy: the installed binary carries a file capability that a
  # container may refuse to run. It starts the given program with its
  # Xwayland's name in DISPLAY once that is up.
  cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
  printf '#!/bin/sh\necho "$DISPLAY" >"%s/x-display"\n' "$runtime" >"$work/kwin-display"
  chmod +x "$work/kwin-display"
  read -r ow oh < <(output)
  start "$work/kwin-$scale.log" env DISPLAY=$host dbus-run-session -- "$work/kwin_wayland" --x11-display $host \
    --xwayland --socket $wl --width $ow --height $oh --scale $scale --no-lockscreen --no-global-shortcuts \
    --no-kactivities "$work/kwin-display"
  until_true 30 x_named ':[0-9]*' "$runtime/x-display"
}
start_sway() {
  # sway runs as a user of its own, as it is meant to, and its Xwayland
  # takes no one else's clients: the program runs as that user too.
  as_user="runuser -u nobody --"
  chown nobody "$runtime"
  printf 'xwayland enable\noutput X11-1 scale %s\nexec echo "$DISPLAY" >%s/x-display\n' $scale "$runtime" >"$work/sway.conf"
  start "$work/sway-$scale.log" runuser -u nobody -- env -i PATH=/usr/bin:/bin DISPLAY=$host XDG_RUNTIME_DIR="$runtime" \
    WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_X11_OUTPUTS=1 sway -c "$work/sway.conf"
  until_true 20 x_named ':[0-9]*' "$runtime/x-display" || return 1
  wl=$(cd "$runtime" && ls wayland-* | grep -v lock | head -1)
}

# weston and mutter offer no server-side decoration: on X at scale 1, with
# the desktop's frame; native at 2, where their Xwayland would be enlarged.
# KWin and sway frame Wayland windows themselves: native at both scales.
for name in ${DESKTOPS:-weston mutter kwin sway}; do
  for scale in 1 2; do
    new_runtime
    unset XAUTHORITY
    as_user=
    wl=$name-t xw= edge=$([[ $name == sway ]] && echo 1024 || echo 1200)
    case $name in
      weston | mutter) frame=Qt native=$([[ $scale == 2 ]] && echo yes || echo no) ;;
      *) frame=compositor native=yes ;;
    esac
    started() { start_$name && until_true 10 socket_up; }
    if ! started; then
      check "$name starts at scale $scale" false
      stop "$group"
      continue
    fi
    desktop_rows
    end_titles
    # weston's and sway's X window managers place X windows themselves
    # (sway centres their client area, whatever they ask) and tell them
    # nothing of their frames: there the box cannot be centred by its frame.
    if [[ $scale == 1 && ($name == mutter || $name == kwin) ]]; then box_row; fi
    # Killed under the program: on X on weston and mutter, natively on KWin and sway.
    if [[ $scale == 1 ]]; then lost_row; fi
    stop "$group"
  done
done

tally
