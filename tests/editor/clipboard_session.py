#!/usr/bin/env python3
"""The designer and the real X clipboard, under Xvfb with real key events.

  clipboard_session.py SITEDESK

A picture another program puts on the clipboard (xclip) pastes as a picture
object of its size; copying that single object offers its picture to other
programs (read back with xclip); a second designer process pastes the page
background and the object copied in the first. Exits 77 (skipped) without
Xvfb, xdotool or xclip.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
import xvfb_session as xs  # noqa: E402

OBJECTS = "application/x-pagewright-objects"
BACKGROUND = "application/x-pagewright-background"


def clipboard(env, target=None):
    args = ["xclip", "-selection", "clipboard", "-o"] + (["-t", target] if target else [])
    return subprocess.run(args, env=env, capture_output=True, timeout=10).stdout


def wait_for(test, what, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        if test():
            return
        time.sleep(0.3)
    raise AssertionError(what)


def copied_picture_matches(s, main, source, work, name):
    """Copies the selection and compares the PNG other programs get with the source."""
    s.key(main, "ctrl+c")
    wait_for(lambda: OBJECTS.encode() in clipboard(s.env, "TARGETS"), "no objects on the clipboard")
    png = os.path.join(work, name)
    with open(png, "wb") as f:
        f.write(clipboard(s.env, "image/png"))
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True).stdout
    assert size == "61 37", f"copied picture is {size!r}, not 61 x 37"
    diff = xs.mean_difference(png, source)
    assert diff < 1, f"copied picture differs from the pasted one by {diff:.2f}"
    return diff


def main(argv):
    for tool in ("Xvfb", "xdotool", "xclip", "xwd", "convert", "identify"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return xs.SKIP
    sitedesk = os.path.abspath(argv[1])
    display = xs.Display()
    work = tempfile.mkdtemp(prefix="pw-clip-")
    homes = [os.path.join(work, n) for n in ("a", "b")]
    sessions = []
    xclip = None
    try:
        for home in homes:
            os.makedirs(home)
            sessions.append(xs.Session(sitedesk, display, home))
        a, b = sessions
        # Another program's picture: 61 x 37, opaque colours.
        source = os.path.join(work, "source.png")
        subprocess.run(["convert", "-size", "61x37", "gradient:#2060c0-#f0d020", "-alpha", "off",
                        source], check=True)
        main_a = xs.open_template(a)
        time.sleep(1)
        xclip = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", source],
                                 env=a.env)
        xclip.wait(timeout=10)
        wait_for(lambda: b"image/png" in clipboard(a.env, "TARGETS"), "xclip did not take the clipboard")
        a.key(main_a, "ctrl+v")
        wait_for(lambda: a.title(main_a).endswith("*"), "the picture was not pasted")
        d1 = copied_picture_matches(a, main_a, source, work, "from-a.png")
        print(f"picture from xclip pasted, copied back as PNG: mean difference {d1:.2f}")

        shot = os.path.join(work, "pasted.png")
        a.shot(main_a, shot)
        xs.keep(shot, "clipboard-session.png")

        # The page background, through the Edit menu ("Kopier &baggrund").
        a.key(main_a, "alt+r", "b")
        wait_for(lambda: BACKGROUND.encode() in clipboard(a.env, "TARGETS"),
                 "no background on the clipboard")

        # A second designer on the same display. With two programs and no
        # window manager only the pointer gives focus: it clicks.
        b.start()
        dialog = b.wait_window("Velkommen til Pagewright")
        b.key(dialog, "alt+v")
        chooser = b.wait_window("Byg hjemmeside ud fra en skabelon")
        time.sleep(0.5)
        geometry = xs.run(["xdotool", "getwindowgeometry", chooser], b.env).stdout
        width, height = (int(v) for v in geometry.split("Geometry: ")[1].split()[0].split("x"))
        # The OK button, bottom right beside Annuller.
        xs.run(["xdotool", "mousemove", "--window", chooser, str(width - 138), str(height - 23),
                "click", "1"], b.env)
        main_b = None

        def own_main():
            nonlocal main_b
            for w in xs.run(["xdotool", "search", "--onlyvisible", "--pid", str(b.proc.pid)],
                            b.env).stdout.split():
                if b.title(w).startswith("Pagewright - "):
                    main_b = w
            return main_b
        wait_for(own_main, "the second designer opened no template")
        time.sleep(2)

        def focus(s, window):
            # Raised and clicked on its menu bar (the menu it opens is closed).
            xs.run(["xdotool", "windowraise", window], s.env)
            xs.run(["xdotool", "mousemove", "--window", window, "5", "5", "click", "1"], s.env)
            time.sleep(0.5)
            xs.run(["xdotool", "key", "Escape"], s.env)
            time.sleep(0.3)

        # The background copied in the first designer ("Sæt baggrund &ind").
        focus(b, main_b)
        assert not b.title(main_b).endswith("*"), "the new site is already modified"
        xs.run(["xdotool", "key", "alt+r", "i"], b.env)
        wait_for(lambda: b.title(main_b).endswith("*"), "the second designer pasted no background")
        print("background copied in one designer pasted in another")

        # The object: the first designer copies it again, the second pastes it.
        focus(a, main_a)
        xs.run(["xdotool", "key", "ctrl+c"], a.env)
        wait_for(lambda: OBJECTS.encode() in clipboard(a.env, "TARGETS"), "no objects copied again")
        focus(b, main_b)
        xs.run(["xdotool", "key", "ctrl+v"], b.env)
        time.sleep(1)
        xs.run(["xdotool", "key", "ctrl+c"], b.env)
        time.sleep(1)
        # Only what the second designer copied outlives the first one: had its
        # paste (and so its copy) failed, the clipboard would go with the first.
        a.kill()
        wait_for(lambda: OBJECTS.encode() in clipboard(b.env, "TARGETS"),
                 "the second designer did not copy the pasted object")
        png = os.path.join(work, "from-b.png")
        with open(png, "wb") as f:
            f.write(clipboard(b.env, "image/png"))
        d2 = xs.mean_difference(png, source)
        assert d2 < 1, f"the object pasted in the second designer differs by {d2:.2f}"
        print(f"object copied in one designer pasted in another: mean difference {d2:.2f}")
        return 0
    except AssertionError as e:
        print(f"FAIL clipboard: {e}")
        return 1
    finally:
        for s in sessions:
            s.kill()
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
