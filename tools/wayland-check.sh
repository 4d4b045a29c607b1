#!/usr/bin/env bash
# Checks the capture of copied words on a Wayland desktop. Starts Weston
# inside a virtual X display, with Xwayland, and the built dictionary in it
# as a desktop session starts a program (WAYLAND_DISPLAY and DISPLAY both
# set). A terminal then takes the focus, a word is copied once by an X
# program and once by a Wayland one, and what the dictionary's search box
# shows is printed. The same runs again with the platform forced to native
# Wayland, where a program that lacks the focus never sees the clipboard.
# Installs what it needs that is missing. Usage: tools/wayland-check.sh [build dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

case "${WAYLAND_CHECK_STAGE:-}" in
'')
  "$here/install-deps.sh" weston xwayland wl-clipboard xclip qt6-wayland
  bin=$(cd "${1:-$here/../build}/bin" && pwd)
  export WAYLAND_CHECK_STAGE=compositor WAYLAND_CHECK_BIN=$bin
  for platform in "" wayland; do
    echo "== platform: ${platform:-as the dictionary chooses}"
    WAYLAND_CHECK_PLATFORM=$platform xvfb-run -a -s "-screen 0 1280x800x24" "$0" 2> >(grep -v 'fd limit' >&2)
  done
  ;;
compositor)
  export XDG_RUNTIME_DIR=$(mktemp -d)
  log=$XDG_RUNTIME_DIR/weston.log
  weston --backend=x11-backend.so --use-pixman --xwayland --socket=varin-check \
    --width=1200 --height=760 --idle-time=0 >"$log" 2>&1 &
  weston=$!
  trap 'kill $weston 2>/dev/null || true' EXIT
  for _ in $(seq 40); do
    grep -q 'xserver listening' "$log" && break
    sleep 0.25
  done
  export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
  export WAYLAND_DISPLAY=varin-check WAYLAND_CHECK_STAGE=session
  # The bus and the daemons it starts talk on their own output; the check
  # prints on the one it is handed as descriptor 3.
  dbus-run-session -- "$0" 3>&1 >/dev/null 2>&1
  ;;
session)
  exec >&3 2>&3 3>&-
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  export XDG_CONFIG_HOME=$(mktemp -d) XDG_DATA_HOME=$(mktemp -d)
  cd "$WAYLAND_CHECK_BIN"
  env ${WAYLAND_CHECK_PLATFORM:+QT_QPA_PLATFORM=$WAYLAND_CHECK_PLATFORM} ./VarinDic >/dev/null 2>&1 &
  dictionary=$!
  sleep 8   # the splash, then the dictionary window
  weston-terminal >/dev/null 2>&1 &
  terminal=$!
  trap 'kill $dictionary $terminal 2>/dev/null || true' EXIT
  sleep 3
  if xwininfo -root -tree | grep -q 'ڤارين'; then where="Xwayland (X11)"; else where="Wayland"; fi
  echo "the dictionary's window is on $where; a terminal has the focus"
  echo -n water | xclip -selection clipboard >/dev/null 2>&1
  sleep 2
  echo "copied \"water\" in an X program:"
  /usr/bin/python3 "$here/atspi_tree.py" shown
  echo -n bread | wl-copy >/dev/null 2>&1
  sleep 2
  echo "copied \"bread\" in a Wayland program:"
  /usr/bin/python3 "$here/atspi_tree.py" shown
  ;;
esac
