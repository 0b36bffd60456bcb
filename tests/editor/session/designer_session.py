#!/usr/bin/python3
"""The editing session of run_session.py in the designer itself, with real X
events under Xvfb.

  designer_session.py SITEDESK PW_PAGEDUMP PAGEWRIGHT OUTDIR

The designer opens a copy of the "Erhverv" template named on its command
line. Through the toolbox a rectangle is drawn and a two-line text typed; the
rectangle is turned with Ctrl held, two undo steps take back the turn and the
text; Ctrl+S saves. The file holds the rectangle and no text; a second
designer process opens it and saves it again, and the page renders byte for
byte as before (pagewright render). (Giving a shape a gradient is the
inspector's part in the designer; the publish session does that.)
Screenshots of the steps stay in OUTDIR. Exits 77 (skipped) without Xvfb.
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, os.path.join(HERE, "..", "..", "app"))
import clipboard_session as cs  # noqa: E402
import xvfb_session as xs  # noqa: E402

# Toolbox buttons, window coordinates (the toolbox stands at the left edge).
TEXT_TOOL = (28, 117)
RECTANGLE_TOOL = (28, 149)
RECTANGLE = (640, 330, 720, 390)  # page coordinates, right of the template's picture


def main(argv):
    for tool in ("Xvfb", "xdotool", "xwd", "convert"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return xs.SKIP
    sitedesk, pagedump, pagewright, outdir = (os.path.abspath(a) for a in argv[1:5])
    os.makedirs(outdir, exist_ok=True)
    display = xs.Display()
    work = tempfile.mkdtemp(prefix="pw-edit-")
    sessions = []
    run = cs.Run(work, outdir, pagedump, pagewright)
    site = os.path.join(work, "firma.pwu")
    shutil.copy(cs.TEMPLATE, site)
    shutil.copytree(os.path.join(os.path.dirname(cs.TEMPLATE), "billeder"), os.path.join(work, "billeder"))

    def open_site(name):
        home = os.path.join(work, name)
        os.makedirs(home)
        s = xs.Session(sitedesk, display, home)
        sessions.append(s)
        s.start(site)
        main = s.wait_window("^Pagewright - ")
        time.sleep(2)
        cs.focus(s, main)
        return s, main

    def save(s, main):
        before = os.path.getmtime(site)
        cs.keys(s, "ctrl+s")
        cs.wait_for(lambda: os.path.getmtime(site) != before and not s.title(main).endswith("*"),
                    "the site was not saved")

    try:
        s, main = open_site("first")
        shot = run.shot(s, main, "designer-0-opened.png")
        origins = cs.page_origins(shot)
        assert origins, "no page view found"
        ox, oy = origins[0]

        def at(x, y):
            return str(ox + x), str(oy + y)

        def drag(points, ctrl=False):
            if ctrl:
                xs.run(["xdotool", "keydown", "ctrl"], s.env)
            xs.run(["xdotool", "mousemove", "--window", main, *at(*points[0]), "mousedown", "1"], s.env)
            for p in points[1:]:
                xs.run(["xdotool", "mousemove", "--window", main, *at(*p)], s.env)
                time.sleep(0.05)
            xs.run(["xdotool", "mouseup", "1"], s.env)
            if ctrl:
                xs.run(["xdotool", "keyup", "ctrl"], s.env)
            time.sleep(0.4)

        left, top, right, bottom = RECTANGLE
        cs.click(s, main, RECTANGLE_TOOL)
        drag([(left, top), ((left + right) // 2, (top + bottom) // 2), (right, bottom)])
        run.shot(s, main, "designer-1-rectangle.png")
        assert s.title(main).endswith("*"), "no rectangle was drawn"

        cs.click(s, main, TEXT_TOOL)
        drag([(300, 545), (400, 545), (500, 545)])
        xs.run(["xdotool", "type", "--delay", "40", "Hej med dig"], s.env)
        cs.keys(s, "Return")
        xs.run(["xdotool", "type", "--delay", "40", "anden linje"], s.env)
        time.sleep(0.4)
        run.shot(s, main, "designer-2-typing.png")
        cs.click(s, main, (ox + 700, oy + 585))  # elsewhere: the text is done

        # The rectangle selected, then turned by its top right corner with Ctrl.
        cx, cy = (left + right) // 2, (top + bottom) // 2
        cs.click(s, main, (ox + cx, oy + cy))
        r = math.hypot(right - cx, top - cy)
        a0 = math.atan2(top - cy, right - cx)
        drag([(right, top)] + [(round(cx + r * math.cos(a0 + math.radians(d))),
                                round(cy + r * math.sin(a0 + math.radians(d)))) for d in (10, 25, 40, 50)],
             ctrl=True)
        run.shot(s, main, "designer-3-turned.png")
        cs.keys(s, "ctrl+z", "ctrl+z")
        time.sleep(0.4)
        run.shot(s, main, "designer-4-undone-twice.png")
        save(s, main)
        s.kill()

        items = run.items(site, 1)
        rectangle = ("rectangle", left, top, right - left, bottom - top)
        assert rectangle in items, f"no upright {right - left} x {bottom - top} rectangle at ({left}, {top})"
        texts = [v for k, v in items.items() if k[0] == "text" and any("Hej" in line for line in v)]
        assert not texts, "the undone text was saved"
        saved = run.render(site, 1, "designer-saved.png")
        with open(saved, "rb") as f:
            saved_bytes = f.read()

        s, main = open_site("second")
        run.shot(s, main, "designer-5-reopened.png")
        # A change and its undo make the site savable again without changing it.
        cs.click(s, main, (ox + cx, oy + cy))
        cs.keys(s, "Right", "ctrl+z")
        save(s, main)
        s.kill()
        with open(run.render(site, 1, "designer-reopened.png"), "rb") as f:
            assert f.read() == saved_bytes, "the page saved again renders differently"
        print("designer: rectangle drawn, text typed, turned with Ctrl, two steps undone, "
              "saved, reopened and saved again: the same page")
        return 0
    except AssertionError as e:
        print(f"FAIL designer session: {e}")
        return 1
    finally:
        for s in sessions:
            s.kill()
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
