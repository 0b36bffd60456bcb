#!/usr/bin/python3
"""A scripted editing session with real X events (xdotool) under Xvfb.

Draws a rectangle, gives it a gradient from the toolbox colour, types a
two-line text, turns the rectangle with Ctrl held, undoes twice, saves and
reopens the site: the reopened page must render byte for byte like the saved
one (pagewright render). A screenshot of every step stays in OUTDIR.

usage: run_session.py PW_VIEWHOST PAGEWRIGHT OUTDIR
Exits 77 (skipped) when Xvfb or xdotool is missing.
"""
import math
import os
import shutil
import subprocess
import sys
import time


def main():
    host, cli, outdir = sys.argv[1:4]
    for tool in ("Xvfb", "xdotool", "xwd", "convert"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed; the X session cannot run")
            return 77
    os.makedirs(outdir, exist_ok=True)
    site = os.path.join(outdir, "session.pwu")
    for stale in (site, site + ".bak"):
        if os.path.exists(stale):
            os.remove(stale)

    # A free display number: the first without a lock file.
    number = next(n for n in range(140, 240) if not os.path.exists(f"/tmp/.X{n}-lock"))
    display = f":{number}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    env.pop("QT_SCALE_FACTOR", None)
    hosts = []

    def xdo(*args):
        subprocess.run(["xdotool", *map(str, args)], env=env, check=True, stdout=subprocess.DEVNULL)

    def shot(name):
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", display], env=env,
                             check=True, capture_output=True).stdout
        subprocess.run(["convert", "xwd:-", "-crop", "780x660+0+0", "+repage",
                        os.path.join(outdir, name + ".png")], input=xwd, check=True)

    def start_host():
        log = open(os.path.join(outdir, "host.log"), "a")
        proc = subprocess.Popen([host, site], env=env, stdout=log, stderr=log)
        hosts.append(proc)
        xdo("search", "--sync", "--onlyvisible", "--name", "pw-viewhost")
        time.sleep(0.8)
        return proc

    def stop_host(proc):
        proc.terminate()
        proc.wait(timeout=10)

    def settle():
        time.sleep(0.4)

    def drag(points, ctrl=False):
        if ctrl:
            xdo("keydown", "ctrl")
        xdo("mousemove", *points[0])
        xdo("mousedown", 1)
        for p in points[1:]:
            xdo("mousemove", *p)
            time.sleep(0.05)
        xdo("mouseup", 1)
        if ctrl:
            xdo("keyup", "ctrl")
        settle()

    def render(name):
        out = os.path.join(outdir, name)
        subprocess.run([cli, "render", site, "--page", "1", "--out", out], check=True)
        with open(out, "rb") as f:
            return f.read()

    try:
        for _ in range(50):
            if subprocess.run(["xdpyinfo", "-display", display], capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        proc = start_host()
        shot("0-empty")
        # A rectangle from (100, 100) to (220, 160): the view has no frame, so
        # page and screen coordinates agree.
        xdo("mousemove", 400, 400)
        xdo("key", "F4")
        drag([(100, 100), (150, 120), (220, 160)])
        shot("1-rectangle")
        xdo("key", "F12")  # the toolbox colour as a gradient
        settle()
        shot("2-gradient")
        xdo("mousemove", 300, 260)
        xdo("key", "F3")
        drag([(300, 260), (360, 260), (440, 260)])
        xdo("type", "--delay", "40", "Hej med dig")
        xdo("key", "Return")
        xdo("type", "--delay", "40", "anden linje")
        settle()
        shot("3-typing")
        xdo("mousemove", 600, 500)
        xdo("click", 1)  # elsewhere: the text is done
        settle()
        shot("4-text")
        # Select the rectangle, then turn it by its top-right handle with Ctrl.
        xdo("mousemove", 160, 130)
        xdo("click", 1)
        settle()
        cx, cy, r = 160, 130, 67
        a0 = math.atan2(100 - cy, 220 - cx)
        path = [(220, 100)] + [
            (round(cx + r * math.cos(a0 - math.radians(d))), round(cy + r * math.sin(a0 - math.radians(d))))
            for d in (10, 25, 40, 50)]
        drag(path, ctrl=True)
        shot("5-rotated")
        xdo("key", "ctrl+z")
        xdo("key", "ctrl+z")
        settle()
        shot("6-undone-twice")
        xdo("key", "ctrl+s")
        time.sleep(1.0)
        stop_host(proc)
        if not os.path.exists(site):
            print("FAIL: the site was not saved")
            return 1
        saved = render("saved.png")

        proc = start_host()
        shot("7-reopened")
        xdo("mousemove", 600, 500)
        xdo("key", "ctrl+s")
        time.sleep(1.0)
        stop_host(proc)
        reopened = render("reopened.png")
        if saved != reopened:
            print("FAIL: the reopened page renders differently from the saved one")
            return 1
        print(f"OK: session screenshots and renders in {outdir}")
        return 0
    finally:
        for proc in hosts:
            if proc.poll() is None:
                proc.kill()
        xvfb.terminate()
        xvfb.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
