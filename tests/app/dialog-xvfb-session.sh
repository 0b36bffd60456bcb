#!/usr/bin/env bash
# A session with real X events: the "Internet Opsætning" dialog filled in on
# the keyboard through xdotool under a private Xvfb. The checks run inside
# the test program (its TypedOnTheKeyboard case).
#   dialog-xvfb-session.sh PATH/TO/qt_DialogInternetSetupTest
set -u
program=$1
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIP: Xvfb or xdotool is not installed"; exit 0
fi
for n in $(seq 150 199); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
export DISPLAY=:$n
PW_XDOTOOL_SESSION=1 QT_QPA_PLATFORM=xcb "$program" TypedOnTheKeyboard & prog=$!

window=
for _ in $(seq 300); do
  window=$(xdotool search --name "Internet Opsætning" 2>/dev/null | head -1)
  [ -n "$window" ] && break; sleep 0.1
done
if [ -z "$window" ]; then echo "the dialog never appeared"; kill $prog; exit 1; fi
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.3
# The focus starts in the empty server field; Tab walks the form in order.
xdotool type --delay 20 "127.0.0.1"; xdotool key Tab
xdotool type --delay 20 "bruger"; xdotool key Tab
xdotool type --delay 20 "hemmelig"; xdotool key Tab
xdotool type --delay 20 "www/sider"
xdotool key alt+t Down Down   # "&Type": FTP -> FTPS -> SFTP
xdotool key alt+n             # "&Nøglefil", open now
# Only letters of the server's US key map: for any other xdotool lends a spare
# key code for one press, and on a loaded machine Qt can read the changed map
# after the press and lose the letter (a real keyboard never does this).
xdotool type --delay 20 "/tmp/noegle"
xdotool key alt+g      # "&Gem": the port answers the profile name
sleep 0.3
xdotool key Return     # OK
wait $prog
