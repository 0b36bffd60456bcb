#!/usr/bin/env bash
# The Debian package as a person installing Pagewright gets it: built with
# CPack from the already-built tree (nothing is rebuilt), unpacked into a
# temporary root, and the installed programs run from there.
#   package-test.sh BUILD_DIR
# Exit 77 (skipped) only when dpkg-deb is missing.
set -euo pipefail
build=$(cd "$1" && pwd)

if ! command -v dpkg-deb >/dev/null; then
  echo "SKIPPED: dpkg-deb is missing, so no Debian package can be built or unpacked"
  exit 77
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

for built in app/sitedesk cli/pagewright setup/setupaid-run; do
  [ -x "$build/$built" ] || fail "$build/$built is not built (build the tree first)"
done

tmp=$(mktemp -d)
sitedesk_pid=
cleanup() {
  [ -n "$sitedesk_pid" ] && kill "$sitedesk_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

step "cpack"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb=$(ls "$tmp"/cpack/pagewright_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -1)
[ -f "$deb" ] || fail "no pagewright_<version>_<arch>.deb in $(ls "$tmp/cpack")"
echo "$(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "Depends lacks the Qt libraries"

step "unpack"
root=$tmp/root
usr=$root/usr
dpkg-deb -x "$deb" "$root"
for f in bin/sitedesk bin/pagewright bin/setupaid-run \
         lib/libimage.so.1 lib/libcontrols.so.1 lib/libsetupaid.so.1 \
         share/applications/pagewright.desktop share/mime/packages/pagewright.xml \
         share/icons/hicolor/scalable/apps/pagewright.svg \
         share/pagewright/getting-started/intro.html share/pagewright/getting-started/intro.txt \
         share/doc/pagewright/copyright; do
  [ -e "$usr/$f" ] || fail "the package lacks usr/$f"
done
for size in 16 24 32 48 64 128 256; do
  [ -f "$usr/share/icons/hicolor/${size}x${size}/apps/pagewright.png" ] || fail "no ${size}px icon"
done
for program in sitedesk pagewright setupaid-run; do
  readelf -d "$usr/bin/$program" | grep -q 'R.*PATH.*\[\$ORIGIN/\.\./lib\]' ||
    fail "$program lacks RUNPATH \$ORIGIN/../lib"
done
# The unpacked programs must load the unpacked libraries, not the build tree's.
for program in sitedesk pagewright setupaid-run; do
  for lib in $(readelf -d "$usr/bin/$program" | grep -o 'lib\(image\|controls\|setupaid\)\.so\.[0-9]*'); do
    loaded=$(ldd "$usr/bin/$program" | awk -v lib="$lib" '$1 == lib { print $3 }')
    [ "$(realpath -ms "$loaded")" = "$usr/lib/$lib" ] ||
      fail "$program loads $lib from '$loaded', not from the package"
  done
done

# A session of its own, so that nothing touches the real home folder.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
mkdir -p "$HOME/Desktop"

step "pagewright --help, build of an installed template"
"$usr/bin/pagewright" --help | grep -q "^Usage: pagewright" || fail "pagewright --help"
template=$(find "$usr/share/pagewright/Templates" -name '*.pws' | sort | head -1)
[ -n "$template" ] || fail "no template installed"
"$usr/bin/pagewright" build "$template" "$tmp/site" >"$tmp/build.log" 2>&1 ||
  { cat "$tmp/build.log"; fail "pagewright build $template"; }
[ -s "$tmp/site/default.htm" ] || fail "the built site has no default.htm: $(ls -R "$tmp/site" | head)"
ls "$tmp/site/My_Homepage_Files/"*.jpg >/dev/null 2>&1 || fail "the built site has no pictures"

step "sitedesk with a template, offscreen"
# Its own temporary folder and instance name: a designer someone else runs on
# this machine must not receive the file instead.
mkdir -p "$tmp/tmp" "$tmp/runtime" && chmod 700 "$tmp/runtime"
TMPDIR=$tmp/tmp XDG_RUNTIME_DIR=$tmp/runtime PW_INSTANCE=$tmp/tmp/instance QT_QPA_PLATFORM=offscreen \
  "$usr/bin/sitedesk" "$template" >"$tmp/sitedesk.log" 2>&1 &
sitedesk_pid=$!
# Up when it has mapped the packaged image library and is still running
# a few seconds later (time to read the template and show the window).
for _ in $(seq 50); do
  grep -q "$usr/lib/libimage.so" "/proc/$sitedesk_pid/maps" 2>/dev/null && break
  sleep 0.2
done
sleep 3
kill -0 "$sitedesk_pid" 2>/dev/null || { cat "$tmp/sitedesk.log"; fail "sitedesk ended by itself"; }
grep -q "$usr/lib/libimage.so" "/proc/$sitedesk_pid/maps" || fail "sitedesk runs without the packaged libimage"
kill -TERM "$sitedesk_pid"
status=0
wait "$sitedesk_pid" || status=$?
sitedesk_pid=
# Closed by the signal (143) or by a handler of its own (0); anything else is a crash.
[ "$status" -eq 143 ] || [ "$status" -eq 0 ] || { cat "$tmp/sitedesk.log"; fail "sitedesk exit status $status"; }

step "desktop integration"
desktop-file-validate "$usr/share/applications/pagewright.desktop" || fail "desktop-file-validate"
cp -r "$usr/share/mime" "$tmp/mime"
update-mime-database "$tmp/mime" >/dev/null 2>&1 || fail "update-mime-database rejects pagewright.xml"
for type in site template; do
  [ -f "$tmp/mime/application/x-pagewright-$type.xml" ] || fail "no MIME type x-pagewright-$type"
done
"$usr/bin/setupaid-run" create-shortcuts "$usr/" 2>"$tmp/shortcuts.log" || fail "setupaid-run create-shortcuts"
launchers=("$HOME/Desktop/Quillmarsh Pagewright.desktop" "$XDG_DATA_HOME/applications/Quillmarsh/"*.desktop)
[ ${#launchers[@]} -eq 5 ] || fail "expected 5 launchers, got ${#launchers[@]}"
desktop-file-validate "${launchers[@]}" || fail "desktop-file-validate of the launchers"
grep -q "^Exec=\"$usr/bin/sitedesk\" %F$" "${launchers[0]}" || fail "launcher Exec: $(grep Exec "${launchers[0]}")"
"$usr/bin/setupaid-run" delete-shortcuts || fail "setupaid-run delete-shortcuts"
[ ! -e "${launchers[0]}" ] && [ ! -e "$XDG_DATA_HOME/applications/Quillmarsh" ] || fail "shortcuts left behind"

step "lintian"
lintian "$deb" >"$tmp/lintian.log" 2>&1 || true
cat "$tmp/lintian.log"
if grep -q "^E: " "$tmp/lintian.log"; then fail "lintian reports errors"; fi
grep -q "^W: \|^I: \|^N: \|^$\|not recommended" "$tmp/lintian.log" || [ ! -s "$tmp/lintian.log" ] ||
  fail "lintian did not run properly"
echo "PASS"
