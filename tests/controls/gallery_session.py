#!/usr/bin/python3
"""Drives controls-gallery under a private Xvfb with real X events (xdotool):
clicks and drags the wheel, the slider, the bold button and the bitmap list,
and checks the notifications the gallery prints. Exit 77 (skipped) when Xvfb
or xdotool is missing."""
import os
import shutil
import subprocess
import sys
import time

GALLERY = sys.argv[1]


def free_display():
    for n in range(150, 250):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise SystemExit("no free X display number")


def main():
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return 77
    n = free_display()
    xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=f":{n}", QT_QPA_PLATFORM="xcb")
    env.pop("QT_SCALE_FACTOR", None)
    gallery = None
    try:
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                break
            time.sleep(0.05)
        gallery = subprocess.Popen([GALLERY], env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True, bufsize=1)
        where = {}
        deadline = time.time() + 20
        for line in gallery.stdout:
            parts = line.split()
            if parts[:1] == ["at"]:
                where[parts[1]] = tuple(int(v) for v in parts[2:6])
            if line.strip() == "ready" or time.time() > deadline:
                break
        if "wheel" not in where:
            print("gallery did not report its controls")
            return 1

        def xdo(*args):
            subprocess.run(["xdotool", *map(str, args)], env=env, check=True)

        def expect(prefix):
            """Reads printed lines until one starts with prefix; returns all read."""
            seen = []
            end = time.time() + 5
            while time.time() < end:
                line = gallery.stdout.readline().strip()
                seen.append(line)
                if line.startswith(prefix):
                    return seen
            raise AssertionError(f"no '{prefix}' after {seen}")

        failures = []

        def check(prefix, what):
            try:
                return expect(prefix)
            except AssertionError as e:
                failures.append(f"{what}: {e}")
                return []

        # The 360-position wheel: above the centre is 90, left of it 180.
        x, y, w, h = where["wheel"]
        cx, cy = x + w // 2, y + h // 2
        xdo("mousemove", cx, cy - 15, "click", 1)
        check("changed wheel 4026 90", "wheel click above the centre")
        # A drag from the left through the bottom: changing codes, then one change.
        xdo("mousemove", cx - 15, cy, "mousedown", 1)
        xdo("mousemove", cx, cy + 15)
        xdo("mouseup", 1)
        seen = check("changed wheel 4026 270", "wheel drag to the bottom")
        if not any(s.startswith("changing wheel 4025") for s in seen):
            failures.append(f"wheel drag sent no changing code: {seen}")

        # The slider: a drag from the left end to the right end.
        x, y, w, h = where["slider"]
        xdo("mousemove", x + 5, y + h // 2, "mousedown", 1)
        xdo("mousemove", x + w // 2, y + h // 2)
        xdo("mousemove", x + w - 1, y + h // 2)
        xdo("mouseup", 1)
        seen = check("changed slider 2030 100", "slider drag to the end")
        if not any(s.startswith("changing slider 2029 0") for s in seen):
            failures.append(f"slider press did not report 0: {seen}")

        # The bold button starts checked: a click clears it.
        x, y, w, h = where["bold"]
        xdo("mousemove", x + w // 2, y + h // 2, "click", 1)
        check("changed bold 4031 0", "bold button click")

        # Bitmap list: the second cell of the first column (index 1) is
        # selected; the first column's top cell is index 0.
        x, y, w, h = where["list"]
        xdo("mousemove", x + 12 + 3 + 10, y + 3 + 10, "click", 1)
        check("changed list 4034 0", "bitmap list click")

        for f in failures:
            print("FAIL:", f)
        print("checked wheel, slider, button and list under X" if not failures else "")
        return 1 if failures else 0
    finally:
        if gallery:
            gallery.kill()
            gallery.wait()
        xvfb.terminate()
        xvfb.wait()


sys.exit(main())
