#!/usr/bin/env bash
# Installs the build tree into a scratch folder with the prefix /usr, and
# builds the Debian package, and checks that both put every file where the
# screen-saver hosts look. Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
expect() { # what, command...
  local what=$1; shift
  if ! "$@"; then echo "missing: $what" >&2; failed=1; fi
}

DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null
root=$work/root/usr
expect "program in bin/" test -x "$root/bin/lettrance"
expect "link in libexec/xscreensaver/ to the program" \
  test "$(readlink -f "$root/libexec/xscreensaver/lettrance")" = "$(readlink -f "$root/bin/lettrance")"
expect "relative link" test "$(readlink "$root/libexec/xscreensaver/lettrance")" = ../../bin/lettrance
expect "options file" test -s "$root/share/xscreensaver/config/lettrance.xml"
expect "saver desktop file" grep -q '^Exec=lettrance --root$' "$root/share/applications/screensavers/lettrance.desktop"
expect "menu desktop file" grep -q '^Exec=lettrance /c$' "$root/share/applications/lettrance.desktop"
expect "manual page" test -s "$root/share/man/man1/lettrance.1"

(cd "$work" && cpack -G DEB --config "$(cd "$build" && pwd)/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/lettrance_*.deb)
listing=$(dpkg-deb -c "$deb")
for path in ./usr/bin/lettrance ./usr/libexec/xscreensaver/lettrance \
    ./usr/share/xscreensaver/config/lettrance.xml \
    ./usr/share/applications/screensavers/lettrance.desktop \
    ./usr/share/applications/lettrance.desktop ./usr/share/man/man1/lettrance.1; do
  expect "$path in the package" grep -q " $path\( -> .*\)\?$" <<<"$listing"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 qt6-qpa-plugins libx11-6 libxext6 libstdc++6; do
  expect "$library among the package's dependencies ($depends)" grep -q "$library" <<<"$depends"
done
exit $failed
