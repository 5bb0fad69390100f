#!/usr/bin/env bash
# `vaskel design look.frf` under a real X server (Xvfb) with a window manager (openbox), driven by
# xdotool as a person would: the window's title, dragging a memo with the mouse, a rubber band and
# Delete, Ctrl+S, Ctrl+Z, the memo editor with its completion popup, F9 (the preview on the demo data), and closing with unsaved changes (the
# question, Cancel, then No). What the window saved is read back with `vaskel template dump`.
# Usage: designer_under_x.sh VASKEL LOOK.frf   (display :33 unless VASKEL_X_DISPLAY says otherwise)
set -euo pipefail
vaskel=$1
look=$2
display=:${VASKEL_X_DISPLAY:-33}
for tool in Xvfb openbox xdotool /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "designer_under_x: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "designer_under_x: $*" >&2; exit 1; }

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

cp "$look" "$work/look.frf"
export QT_QPA_PLATFORM=xcb VASKEL_LANG=en XDG_RUNTIME_DIR=$work
# Under the sanitizers, the X libraries' own allocations at exit are not ours to judge: leaks are
# checked by the offscreen tests of the same windows.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
VASKEL_DEMO_DIR=$work/demo "$vaskel" design "$work/look.frf" --demo >"$work/design.log" 2>&1 &
designer=$!
pids+=($designer)
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Designer - look\.frf$' | head -1) \
  || fail "no window titled \"Designer - look.frf\""
xdotool windowactivate --sync "$wid"
sleep 0.5

# The paper's top-left corner on the screen: the first white run wider than 300 pixels on the
# grey around the page, read from a screenshot.
paper_origin() {
  import -display "$display" -window root -depth 8 "$work/shot.ppm"
  /usr/bin/python3 - "$work/shot.ppm" <<'EOF'
import sys
data = open(sys.argv[1], 'rb').read()
parts = data.split(b'\n', 3)  # P6, size, maxval, pixels
w, h = map(int, parts[1].split())
px = parts[3]
for y in range(h):
    row = px[y * w * 3:(y + 1) * w * 3]
    x = 1
    while x < w - 300:
        if row[x*3:x*3+3] == b'\xff\xff\xff' and row[(x-1)*3:(x-1)*3+3] == b'\x80\x80\x80' \
           and row[x*3:(x+300)*3] == b'\xff' * 900:
            print(x, y)
            sys.exit(0)
        x += 1
sys.exit(1)
EOF
}
# The window may be mapped before its first paint (slowly under the sanitizers): look again for a
# while before giving up.
origin=""
for _ in $(seq 40); do
  origin=$(paper_origin) && break
  sleep 0.5
done
[ -n "$origin" ] || fail "the page is not on the screen"
read -r px py <<<"$origin"

dump() { QT_QPA_PLATFORM=offscreen "$vaskel" template dump "$work/look.frf"; }
view_field() { # NAME KEY: the saved value of a view's field
  dump | /usr/bin/python3 -c "
import json, sys
d = json.load(sys.stdin)
v = [v for v in d['pages'][0]['views'] if v['name'] == sys.argv[1]]
print(v[0].get(sys.argv[2], '-') if v else 'missing')" "$1" "$2"
}
views_count() { dump | /usr/bin/python3 -c "import json,sys; print(len(json.load(sys.stdin)['pages'][0]['views']))"; }

# Drag the memo "NoPurchases" (20,100 340x20 units; a unit is a pixel at 100 %) 100 pixels right
# and 200 down, in steps as a hand would; it lands on the grid (8 units) or an edge.
xdotool mousemove $((px + 190)) $((py + 110)) mousedown 1
for step in 1 2 3 4 5; do xdotool mousemove $((px + 190 + step * 20)) $((py + 110 + step * 40)); sleep 0.05; done
xdotool mouseup 1
xdotool key ctrl+s
sleep 0.5
left=$(view_field NoPurchases left)
top=$(view_field NoPurchases top)
[ "$left" -ge 112 ] && [ "$left" -le 128 ] || fail "dragged memo's left is $left, not about 120"
[ "$top" -ge 292 ] && [ "$top" -le 308 ] || fail "dragged memo's top is $top, not about 300"
[ "$(view_field BillNo left)" = 20 ] || fail "a view that was not dragged moved"

# A rubber band from the band's empty left end across the bill number line, Delete, save.
before=$(views_count)
xdotool mousemove $((px + 8)) $((py + 80)) mousedown 1
for step in 1 2 3 4; do xdotool mousemove $((px + 8 + step * 100)) $((py + 80 + step * 3)); sleep 0.05; done
xdotool mouseup 1
xdotool key Delete ctrl+s
sleep 0.5
after=$(views_count)
[ "$after" -eq $((before - 3)) ] || fail "rubber band and Delete removed $((before - after)) views, not 3 (two memos and their band)"
xdotool key ctrl+z ctrl+s
sleep 0.5
[ "$(views_count)" -eq "$before" ] || fail "Ctrl+Z did not bring the deleted views back"

# The memo editor, a dialog over the window: Ctrl+Space pops the names of the data panel up, Enter
# takes the first that fits, the check names the unclosed bracket until "]" closes it, OK keeps it.
xdotool mousemove $((px + 190)) $((py + 86)) click --repeat 2 --delay 80 1
editor=$(timeout 20 xdotool search --sync --onlyvisible --name '^BillNo - Memo$' | head -1) \
  || fail "a double click on the memo opened no editor"
xdotool windowactivate --sync "$editor" key ctrl+End
xdotool type --delay 20 ' [ADOQuery1."CMN'
xdotool key ctrl+space
sleep 0.5
xdotool key Return
xdotool type --delay 20 ']'
sleep 0.5
xdotool key ctrl+Return
sleep 0.5
xdotool search --onlyvisible --name '^BillNo - Memo$' >/dev/null && fail "OK did not close the memo editor"
xdotool key ctrl+s
sleep 0.5
view_field BillNo memo | grep -qF '[ADOQuery1."CMNAME"]' \
  || fail "the completed field is not in the memo: $(view_field BillNo memo)"

# F9 prepares the template on the demo data and shows it in the (modal) preview; Escape closes it.
xdotool key F9
# Polled rather than waited for with --sync: the progress window that comes and goes while the
# report is prepared can vanish under xdotool's window walk, which then gives up with an X error.
pw=
for _ in $(seq 600); do
  pw=$(xdotool search --onlyvisible --name '^Preview - look\.frf$' 2>/dev/null | head -1) || true
  [ -n "$pw" ] && break
  sleep 0.1
done
[ -n "$pw" ] || fail "F9 opened no preview: $(cat "$work/design.log")"
xdotool windowactivate --sync "$pw" key Escape
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Preview - look' >/dev/null || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Preview - look' >/dev/null && fail "the preview did not close"
xdotool windowactivate --sync "$wid"

# Closing with unsaved changes asks; Escape cancels and the window stays; No closes unsaved.
saved=$(md5sum <"$work/look.frf")
xdotool mousemove $((px + 370)) $((py + 29)) click 1
xdotool key shift+Down
sleep 0.2
xdotool key ctrl+w
sleep 0.5
[ "$(xdotool search --onlyvisible --name '^Designer - look\.frf' | wc -l)" -ge 2 ] \
  || fail "closing with unsaved changes did not ask"
xdotool key Escape
sleep 0.5
kill -0 "$designer" 2>/dev/null || fail "Cancel closed the designer"
xdotool key ctrl+w
sleep 0.5
xdotool key alt+n
for _ in $(seq 50); do kill -0 "$designer" 2>/dev/null || break; sleep 0.1; done
kill -0 "$designer" 2>/dev/null && fail "No did not close the designer"
wait "$designer" || fail "the designer ended with status $?: $(cat "$work/design.log")"
[ "$(md5sum <"$work/look.frf")" = "$saved" ] || fail "No saved the changes"
echo "designer_under_x: window, drag, rubber band, Delete, Ctrl+S, Ctrl+Z, completion, F9 and closing work"
