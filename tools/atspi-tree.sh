#!/usr/bin/env bash
# Starts the built dictionary on a virtual display with its own session bus,
# accessibility on, and prints the screen reader's view of the dictionary
# window, then of each window its buttons open (about, reader, add, delete).
# Needs at-spi2-core, python3-pyatspi, dbus and xvfb (tools/install-deps.sh).
# Usage: tools/atspi-tree.sh [build dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build}/bin" && pwd)

if [ -z "${ATSPI_TREE_INNER:-}" ]; then
  export ATSPI_TREE_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- "$0" "$@" 2> >(grep -v 'fd limit' >&2)
fi

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
cd "$bin"
./VarinDic >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
sleep 6   # the splash fades in and out, then the dictionary shows
py="$here/atspi_tree.py"
seen=$(mktemp)
/usr/bin/python3 "$py" "$seen"
# Each button opens its window; only the windows not shown before are
# printed. The about window is modal, so it comes last.
for button in $'خويندنه\xe2\x80\x8cوه' $'زياد كردن' $'سرينه\xe2\x80\x8cوه\xe2\x80\x8c' $'ده\xe2\x80\x8cرباره'; do
  echo
  echo "== after pressing \"$button\""
  /usr/bin/python3 "$py" press "$button" || continue
  sleep 4
  /usr/bin/python3 "$py" "$seen"
done
