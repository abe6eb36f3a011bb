#!/usr/bin/env bash
# Installs the build tree into a scratch folder with the prefix /usr, and
# builds the Debian package, and checks that both put every file where the
# screen-saver hosts, man and software centres look, and that the package
# keeps the program's debug symbols apart. Usage: check-install.sh BUILD_DIR
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
saver_entry=$root/share/applications/screensavers/lettrance.desktop
expect "saver desktop file" grep -q '^Exec=lettrance --root$' "$saver_entry"
# MATE and xfce4-screensaver list their themes through a menu: an entry that
# is hidden from menus is never found, and one without the category is not
# a theme.
expect "saver desktop file not hidden from menus" sh -c "! grep -Eq '^(NoDisplay|Hidden) *= *true' '$saver_entry'"
expect "saver desktop file in the Screensaver category" grep -Eq '^Categories=(.*;)?Screensaver;' "$saver_entry"
expect "menu desktop file" grep -q '^Exec=lettrance /c$' "$root/share/applications/lettrance.desktop"
expect "compressed manual page" sh -c "gzip -dc '$root/share/man/man1/lettrance.1.gz' | grep -q '^\.TH LETTRANCE 1 '"
expect "software-centre metadata" \
  grep -q '<id>example.vandor.lettrance</id>' "$root/share/metainfo/example.vandor.lettrance.metainfo.xml"
expect "copyright file" grep -q '^Files: \*$' "$root/share/doc/lettrance/copyright"
expect "changelog" sh -c "gzip -dc '$root/share/doc/lettrance/changelog.gz' | grep -q '^lettrance ('"

(cd "$work" && cpack -G DEB --config "$(cd "$build" && pwd)/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/lettrance_*.deb)
listing=$(dpkg-deb -c "$deb")
for path in ./usr/bin/lettrance ./usr/libexec/xscreensaver/lettrance \
    ./usr/share/xscreensaver/config/lettrance.xml \
    ./usr/share/applications/screensavers/lettrance.desktop \
    ./usr/share/applications/lettrance.desktop ./usr/share/man/man1/lettrance.1.gz \
    ./usr/share/metainfo/example.vandor.lettrance.metainfo.xml \
    ./usr/share/doc/lettrance/copyright ./usr/share/doc/lettrance/changelog.gz; do
  expect "$path in the package" grep -q " $path\( -> .*\)\?$" <<<"$listing"
done
# The program in the package is stripped; its symbols are in the dbgsym
# package, under the build id that the program carries.
dpkg-deb -x "$deb" "$work/unpacked"
expect "stripped program in the package" \
  sh -c "file -L '$work/unpacked/usr/bin/lettrance' | grep -q ', stripped'"
build_id=$(readelf -n "$work/unpacked/usr/bin/lettrance" | sed -n 's/.*Build ID: *//p')
expect "build id of the packaged program" test -n "$build_id"
dbgsym=$(ls "$work"/deb/lettrance-dbgsym_*.ddeb 2>/dev/null || true)
expect "dbgsym package" test -n "$dbgsym"
if [ -n "$dbgsym" ] && [ -n "$build_id" ]; then
  dbgsym_listing=$(dpkg-deb -c "$dbgsym")
  expect "the program's symbols in the dbgsym package" grep -q \
    " ./usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug$" <<<"$dbgsym_listing"
  # dpkg --verify and debsums look up each md5sums line below the root.
  sums=$(dpkg-deb -I "$dbgsym" md5sums)
  expect "md5sums of the dbgsym package" test -n "$sums"
  while read -r _ path; do
    expect "$path of the dbgsym's md5sums in the package" grep -qF " ./$path" <<<"$dbgsym_listing"
  done <<<"$sums"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 qt6-qpa-plugins libx11-6 libxext6 libstdc++6; do
  expect "$library among the package's dependencies ($depends)" grep -q "$library" <<<"$depends"
done
exit $failed
