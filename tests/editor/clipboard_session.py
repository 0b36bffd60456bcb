#!/usr/bin/env python3
"""The designer and the real X clipboard, under Xvfb with real X events.

  clipboard_session.py SITEDESK PW_PAGEDUMP PAGEWRIGHT OUTDIR

Two designer processes on one display, A with the "Erhverv" template chosen
in its start-up dialog, B with a copy of it named on its command line, and
xclip as the other program:

- a picture xclip offers pastes in A as a picture object of its size; copied
  again, other programs get it back as the same PNG;
- the page background copied in A pastes in B;
- text selected in an edited text in A pastes into an edited text in B with
  its styles (our own text type), and plain text from xclip pastes there as
  text in the style at the caret;
- the object copied in A pastes in B;
- in B, a selection dragged with the mouse from the front page's window into
  the second page's window is copied there.

B saves the site; the file is read back (pw-pagedump, pagewright render).
Screenshots of the steps stay in OUTDIR (and in $PW_SCREENSHOTS when set).
Exits 77 (skipped) without Xvfb, xdotool or xclip.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "app"))
import xvfb_session as xs  # noqa: E402

TEMPLATE = os.path.join(HERE, "..", "..", "resources", "Templates", "Erhverv", "firma.pws")
OBJECTS = "application/x-pagewright-objects"
TEXT = "application/x-pagewright-text"
BACKGROUND = "application/x-pagewright-background"
FRAME = (184, 184, 184)  # the line around a page view
WHITE = (255, 255, 255)  # the template's page background


def clipboard(env, target=None):
    args = ["xclip", "-selection", "clipboard", "-o"] + (["-t", target] if target else [])
    return subprocess.run(args, env=env, capture_output=True, timeout=10).stdout


wait_for = xs.wait_for


class Run:
    """What the steps share: the two sessions, their main windows, the folders."""

    def __init__(self, work, outdir, pagedump, pagewright):
        self.work, self.outdir = work, outdir
        self.pagedump, self.pagewright = pagedump, pagewright
        self.a = self.b = self.main_a = self.main_b = None

    def shot(self, s, window, name):
        png = os.path.join(self.outdir, name)
        s.shot(window, png)
        xs.keep(png, name)
        return png

    def items(self, site, page):
        """{(kind, left, top): [run lines of a text]} of a page of a site file."""
        out = subprocess.run([self.pagedump, site, str(page)], capture_output=True, text=True,
                             check=True).stdout
        found, runs = {}, None
        for line in out.splitlines():
            m = re.match(r"(\w+) \d+ at (-?\d+),(-?\d+) size (\d+)x(\d+)$", line)
            if m:
                runs = found.setdefault((m[1], int(m[2]), int(m[3]), int(m[4]), int(m[5])), [])
            else:
                runs.append(line.strip())
        return found

    def render(self, site, page, name):
        out = os.path.join(self.outdir, name)
        subprocess.run([self.pagewright, "render", site, "--page", str(page), "--out", out], check=True)
        return out


def row_pixels(png, axis, at):
    """The pixels of one row (axis "x": the row y = at) or column of a picture."""
    crop = f"10000x1+0+{at}" if axis == "x" else f"1x10000+{at}+0"
    out = subprocess.run(["convert", png, "-crop", crop, "-depth", "8", "txt:-"], capture_output=True,
                         text=True, check=True).stdout
    pixels = [re.match(r"\d+,\d+: \((\d+),(\d+),(\d+)", line) for line in out.splitlines()[1:]]
    return [tuple(int(v) for v in m.groups()) for m in pixels if m]


def page_origins(png, y=300):
    """Window coordinates of the top left of every page view the picture shows
    (the frame line, then the white page)."""
    row = row_pixels(png, "x", y)
    xs_ = [x for x in range(1, len(row)) if row[x - 1] == FRAME and row[x] == WHITE]
    origins = []
    for x in xs_:
        column = row_pixels(png, "y", x + 5)
        top = next(t for t in range(1, len(column)) if column[t - 1] == FRAME and column[t] == WHITE)
        origins.append((x, top))
    return origins


def focus(s, window):
    # With two programs and no window manager only the pointer gives focus:
    # the window is raised and its status bar clicked.
    xs.run(["xdotool", "windowraise", window], s.env)
    geometry = xs.run(["xdotool", "getwindowgeometry", window], s.env).stdout
    height = int(geometry.split("Geometry: ")[1].split()[0].split("x")[1])
    xs.run(["xdotool", "mousemove", "--window", window, "400", str(height - 8), "click", "1"], s.env)
    time.sleep(0.5)


def click(s, window, at, double=False):
    args = ["xdotool", "mousemove", "--window", window, str(at[0]), str(at[1]), "click"]
    xs.run(args + (["--repeat", "2", "--delay", "80"] if double else []) + ["1"], s.env)
    time.sleep(0.5)


def keys(s, *names):
    for name in names:
        xs.run(["xdotool", "key", name], s.env)
        time.sleep(0.15)


def step_picture_from_xclip(r):
    """A picture of another program pastes as an object and copies back as PNG."""
    source = os.path.join(r.work, "source.png")
    subprocess.run(["convert", "-size", "61x37", "gradient:#2060c0-#f0d020", "-alpha", "off", source],
                   check=True)
    r.source = source
    r.main_a = xs.open_template(r.a)
    time.sleep(1)
    subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", source], env=r.a.env,
                   timeout=10)
    wait_for(lambda: b"image/png" in clipboard(r.a.env, "TARGETS"), "xclip did not take the clipboard")
    r.a.key(r.main_a, "ctrl+v")
    wait_for(lambda: r.a.title(r.main_a).endswith("*"), "the picture was not pasted")
    r.a.key(r.main_a, "ctrl+c")
    diff = copied_picture_difference(r, r.a, "from-a.png")
    print(f"picture from xclip pasted, copied back as PNG: mean difference {diff:.2f}")
    r.shot(r.a, r.main_a, "clipboard-session.png")


def copied_picture_difference(r, s, name):
    wait_for(lambda: OBJECTS.encode() in clipboard(s.env, "TARGETS"), "no objects on the clipboard")
    png = os.path.join(r.work, name)
    with open(png, "wb") as f:
        f.write(clipboard(s.env, "image/png"))
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True).stdout
    assert size == "61 37", f"copied picture is {size!r}, not 61 x 37"
    diff = xs.mean_difference(png, r.source)
    assert diff < 1, f"copied picture differs from the pasted one by {diff:.2f}"
    return diff


def step_second_designer(r):
    """The background copied in A ("Kopier &baggrund") pastes in B ("Sæt baggrund &ind")."""
    r.a.key(r.main_a, "alt+r", "b")
    wait_for(lambda: BACKGROUND.encode() in clipboard(r.a.env, "TARGETS"), "no background on the clipboard")
    b = r.b
    # B opens a copy of the template named on its command line, so that
    # saving needs no file dialog.
    r.site = os.path.join(b.home, "firma.pwu")
    shutil.copy(TEMPLATE, r.site)
    shutil.copytree(os.path.join(os.path.dirname(TEMPLATE), "billeder"), os.path.join(b.home, "billeder"))
    b.start(r.site)

    def own_main():
        for w in xs.run(["xdotool", "search", "--onlyvisible", "--pid", str(b.proc.pid)],
                        b.env).stdout.split():
            if b.title(w).startswith("Pagewright - "):
                r.main_b = w
        return r.main_b
    wait_for(own_main, "the second designer did not open the site")
    time.sleep(2)
    focus(b, r.main_b)
    assert not b.title(r.main_b).endswith("*"), "the opened site is already modified"
    keys(b, "alt+r", "i")
    wait_for(lambda: b.title(r.main_b).endswith("*"), "the second designer pasted no background")
    print("background copied in one designer pasted in another")


def step_text(r):
    """Styled text from A's heading into B's body text, then plain text from xclip."""
    template = r.items(TEMPLATE, 1)
    heading = next(k for k, v in template.items() if v and v[0].startswith('"Velkommen til firmaet"'))
    body = next(k for k, v in template.items() if v and v[0].startswith('"Vi leverer'))
    # A: the heading edited, all of its one row selected, copied.
    focus(r.a, r.main_a)
    shot = os.path.join(r.work, "page-a.png")
    r.a.shot(r.main_a, shot)
    origins = page_origins(shot)
    assert origins, "no page view found in the first designer's window"
    r.origin = ox, oy = origins[0]
    click(r.a, r.main_a, (ox + heading[1] + 60, oy + heading[2] + 15), double=True)
    keys(r.a, "Home", "shift+End", "ctrl+c")
    wait_for(lambda: TEXT.encode() in clipboard(r.a.env, "TARGETS"), "no text of ours on the clipboard")
    plain = clipboard(r.a.env, "text/plain;charset=utf-8").decode()
    assert plain == "Velkommen til firmaet", f"the copied text reads {plain!r} to other programs"
    r.shot(r.a, r.main_a, "clipboard-text-copied.png")

    # B: the caret at the end of the body's first paragraph, the text pasted.
    focus(r.b, r.main_b)
    click(r.b, r.main_b, (ox + body[1] + 20, oy + body[2] + 8), double=True)
    keys(r.b, "End", "ctrl+v")
    time.sleep(0.5)

    # Plain text of another program, after the body's last character: one
    # line break, and a character the site's code page cannot hold.
    xclip = subprocess.Popen(["xclip", "-selection", "clipboard", "-i"], stdin=subprocess.PIPE, env=r.b.env)
    xclip.communicate("Første linje\nAnden ☺ linje".encode(), timeout=10)
    wait_for(lambda: TEXT.encode() not in clipboard(r.b.env, "TARGETS"), "xclip did not take the clipboard")
    keys(r.b, "Down", "Down", "Down", "End", "ctrl+v")
    time.sleep(0.5)
    r.shot(r.b, r.main_b, "clipboard-text-pasted.png")
    # A click on the empty page ends the editing.
    click(r.b, r.main_b, (ox + 700, oy + 560))
    style = template[heading][0].split('" ', 1)[1]
    body_style = template[body][0].split('" ', 1)[1]
    r.expected_body = [f'"Vi leverer kvalitet til tiden -" {body_style}',
                       f'"Velkommen til firmaet" {style}', "<paragraph>",
                       f'"og har gjort det i mange år.Første linje" {body_style}', "<paragraph>",
                       f'"Anden  linje" {body_style}']
    r.body = body


def step_object(r):
    """A copies its pasted picture again, B pastes it and copies it in turn."""
    ox, oy = r.origin
    focus(r.a, r.main_a)
    # The picture from xclip, centred on A's page view: the click ends A's
    # text editing and selects it.
    click(r.a, r.main_a, (ox + 370, oy + 300))
    keys(r.a, "ctrl+c")
    wait_for(lambda: OBJECTS.encode() in clipboard(r.a.env, "TARGETS"), "no objects copied again")
    focus(r.b, r.main_b)
    keys(r.b, "ctrl+v")
    time.sleep(1)
    keys(r.b, "ctrl+c")
    time.sleep(1)
    # Only what B copied outlives A: had its paste (and so its copy) failed,
    # the clipboard would go with A.
    r.a.kill()
    diff = copied_picture_difference(r, r.b, "from-b.png")
    print(f"object copied in one designer pasted in another: mean difference {diff:.2f}")


def step_drag_between_windows(r):
    """B's second page opened beside the front page ("Vis Side"), the
    template's picture dragged with the mouse from one window into the other."""
    ox, oy = r.origin
    focus(r.b, r.main_b)
    keys(r.b, "alt+s", "v", "Down", "KP_Enter")
    shot = os.path.join(r.work, "two-windows.png")

    def two_views():
        r.b.shot(r.main_b, shot)
        return len(page_origins(shot)) == 2
    wait_for(two_views, "the second page window did not open beside the first")
    second = page_origins(shot)[1]
    grab = (ox + 440, oy + 470)  # inside the picture at (260, 310), 360 x 220
    drop = (second[0] + 186, second[1] + 217)
    xs.run(["xdotool", "mousemove", "--window", r.main_b, *map(str, grab), "mousedown", "1"], r.b.env)
    steps = 16
    for i in range(1, steps + 1):
        x = grab[0] + (drop[0] - grab[0]) * i // steps
        y = grab[1] + (drop[1] - grab[1]) * i // steps
        xs.run(["xdotool", "mousemove", "--window", r.main_b, str(x), str(y)], r.b.env)
        time.sleep(0.08)
    time.sleep(0.5)
    xs.run(["xdotool", "mouseup", "1"], r.b.env)
    time.sleep(1)
    r.shot(r.b, r.main_b, "clipboard-drag-between-windows.png")
    r.dropped_at = (186 - 180, 217 - 110)


def step_save_and_check(r):
    """B saves; the file holds the pasted text and the dropped copy."""
    site = r.site
    saved = os.path.getmtime(site)
    focus(r.b, r.main_b)
    keys(r.b, "ctrl+s")
    wait_for(lambda: os.path.getmtime(site) != saved and not r.b.title(r.main_b).endswith("*"),
             "B did not save")

    front = r.items(site, 1)
    body = [v for k, v in front.items() if k[0] == "text" and k[1:3] == r.body[1:3]]
    assert body == [r.expected_body], "the pasted text is\n  " + "\n  ".join(body[0] if body else [])
    print("styled text from one designer and plain text from xclip pasted into a text in another")

    picture = ("rectangle", 260, 310, 360, 220)
    assert picture in front, "the dragged picture left the front page"
    second = r.items(site, 2)
    copy = ("rectangle", *r.dropped_at, 360, 220)
    assert copy in second, f"no copy at {r.dropped_at} on the second page: {sorted(second)}"
    original = r.render(TEMPLATE, 1, "template-page1.png")
    dropped = r.render(site, 2, "saved-page2.png")
    a = os.path.join(r.work, "a.png")
    b = os.path.join(r.work, "b.png")
    # The part left of the page's texts, which stay above pictures.
    subprocess.run(["convert", original, "-crop", "230x220+260+310", "+repage", a], check=True)
    subprocess.run(["convert", dropped, "-crop", f"230x220+{r.dropped_at[0]}+{r.dropped_at[1]}",
                    "+repage", b], check=True)
    diff = xs.mean_difference(a, b)
    assert diff == 0, f"the dropped copy renders {diff:.2f} away from the original"
    print(f"selection dragged from one page window into another: a copy at {r.dropped_at}, "
          "rendered like the original")


def main(argv):
    for tool in ("Xvfb", "xdotool", "xclip", "xwd", "convert", "identify"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return xs.SKIP
    sitedesk, pagedump, pagewright, outdir = (os.path.abspath(a) for a in argv[1:5])
    os.makedirs(outdir, exist_ok=True)
    display = xs.Display()
    work = tempfile.mkdtemp(prefix="pw-clip-")
    r = Run(work, outdir, pagedump, pagewright)
    sessions = []
    try:
        for name in ("a", "b"):
            home = os.path.join(work, name)
            os.makedirs(home)
            sessions.append(xs.Session(sitedesk, display, home))
        r.a, r.b = sessions
        for step in (step_picture_from_xclip, step_second_designer, step_text, step_object,
                     step_drag_between_windows, step_save_and_check):
            step(r)
        return 0
    except AssertionError as e:
        print(f"FAIL clipboard: {e}")
        # The whole screen as it was, for whoever reads the failure.
        screen = subprocess.run(["xwd", "-root", "-silent", "-display", display.name],
                                capture_output=True, timeout=30).stdout
        subprocess.run(["convert", "xwd:-", os.path.join(outdir, "failure.png")], input=screen)
        return 1
    finally:
        for s in sessions:
            s.kill()
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
