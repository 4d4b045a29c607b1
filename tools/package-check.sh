#!/usr/bin/env bash
# The installed dictionary as a new user meets it, and an upgrade that keeps
# the user's words. Run as root on a Debian 12 machine: it builds the package
# from a clean clone of this repository's HEAD, installs it with apt, makes a
# throw-away user, starts the dictionary as that user from the desktop
# entry's command on a virtual display, adds a word through the add window,
# then rebuilds the package with the last built-in entry changed, installs it
# over the first, starts the dictionary again and looks up both words. At the
# end the package and the user are removed again.
# Usage: tools/package-check.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = session ]; then
  # As the new user, inside a virtual display and a session bus of its own.
  shift
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_RUNTIME_DIR=$(mktemp -d)
  cd ~
  command=$(sed -n 's/^Exec=//p' /usr/share/applications/org.varin.dictionary.desktop)
  $command >/dev/null 2>&1 &
  dictionary=$!
  sleep 7   # the splash, then the dictionary window
  for step in "$@"; do
    eval "/usr/bin/python3 '$here/atspi_tree.py' $step" || echo "this step failed: $step"
  done
  /usr/bin/python3 "$here/atspi_tree.py" quit
  code=0
  wait $dictionary || code=$?
  echo "the dictionary ended with $code; the user's word folder holds: $(ls ~/.local/share/varin/Data | tr '\n' ' ')"
  exit
fi

[ "$(id -u)" -eq 0 ] || { echo "run it as root: it installs a package and adds a user" >&2; exit 1; }
"$here/install-deps.sh"
work=$(mktemp -d)
user=varin-check-$$
trap 'pkill -KILL -u "$user" 2>/dev/null; sleep 1; userdel -r "$user" >/dev/null 2>&1 || true; apt-get purge -y -qq varin-dictionary >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/tools" && cp "$here/package-check.sh" "$here/atspi_tree.py" "$work/tools/"
git clone -q "$here/.." "$work/src"

package() {   # builds the package and copies it to $work/$1.deb
  make -C "$work/src" --no-print-directory package 2> >(grep -v '^CPackDeb' >&2) | tail -1 | xargs -I{} cp {} "$work/$1.deb"
  echo "built $(dpkg-deb -f "$work/$1.deb" Package Version | paste -sd ' ')"
}
as_user() {
  su - "$user" -c "xvfb-run -a -s '-screen 0 1280x800x24' dbus-run-session -- '$work/tools/package-check.sh' session $*" \
    2> >(grep -v 'fd limit\|dbus-daemon\|SpiRegistry' >&2) | grep -v SpiRegistry
}
apt_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$1" 2> >(grep -v '^debconf' >&2) >/dev/null
}

echo "== first package, installed, and a word added by a new user"
package first
apt_install "$work/first.deb"
useradd -m "$user"
as_user "'add \"ئاسمانی شین\" \"blue sky\"'" "'find \"blue sky\"'"

echo "== second package, with the last built-in entry changed"
list=$work/src/data/words.tsv
english=$(tail -1 "$list" | cut -f1)
changed="$(tail -1 "$list" | cut -f2) نوێ"
sed -i "\$s/^\([^\t]*\)\t[^\t]*\t/\1\t$changed\t/" "$list"
echo "\"$english\" is now \"$changed\""
package second
apt_install "$work/second.deb"
as_user "'find \"blue sky\"'" "'find \"$english\"'"
