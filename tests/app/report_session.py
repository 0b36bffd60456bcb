#!/usr/bin/env python3
"""The built site's options and its accessibility report in the designer,
under Xvfb with real X events.

  report_session.py SITEDESK

- "Indstillinger" -> "Websted": sharp pictures switched off with their
  letter; the preview (F5) then has no @2x pictures but keeps its viewport
  for phones.
- A picture pasted from xclip has no alternative text: the preview brings up
  "Tilgængelighed" with it. With every item selected, Enter on its line
  selects only the picture, Delete removes it, and the next preview no longer
  has it.

Screenshots stay in $PW_SCREENSHOTS when set. Exits 77 (skipped) without
Xvfb, xdotool or xclip.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import xvfb_session as xs  # noqa: E402


def wait_for(test, what):
    xs.wait_for(test, what, timeout=30)


def hit(s, window, *keys):
    xs.run(["xdotool", "windowactivate", "--sync", window], s.env)
    xs.run(["xdotool", "windowfocus", "--sync", window], s.env)
    for key in keys:
        s.press(key)
        time.sleep(0.2)


def newest_preview(s):
    pages = glob.glob(os.path.join(s.home, "pagewright", "*", "*", "default.htm"))
    return max(pages, key=os.path.getmtime) if pages else None


def preview(s, main, before):
    """F5, then the front page of the new preview build."""
    hit(s, main, "F5")
    wait_for(lambda: newest_preview(s) not in (None, before), "the preview was not built")
    time.sleep(1)  # the report window comes up after the build
    return newest_preview(s)


def shot(s, window, work, name):
    png = os.path.join(work, name)
    s.shot(window, png)
    xs.keep(png, name)


def main(argv):
    sitedesk = argv[1]
    for tool in ("Xvfb", "xdotool", "xclip", "convert"):
        if not shutil.which(tool):
            print(f"skipped: {tool} is missing")
            return xs.SKIP
    work = tempfile.mkdtemp(prefix="pw-report-")
    display = xs.Display()
    s = xs.Session(sitedesk, display, work)
    s.env["PW_NO_WEBENGINE"] = "1"
    try:
        main_window = xs.open_template(s)
        time.sleep(2)

        # "Hjemmeside" -> the second "I" entry, "Indstillinger...".
        hit(s, main_window, "alt+h")
        s.press("i")
        time.sleep(0.3)
        s.press("i")
        time.sleep(0.3)
        s.press("KP_Enter")
        settings = s.wait_window("^Indstillinger$")
        time.sleep(0.5)
        hit(s, settings, *["ctrl+Tab"] * 5)
        time.sleep(0.5)
        shot(s, settings, work, "dialog-preferences-site.png")
        hit(s, settings, "alt+h")
        shot(s, settings, work, "dialog-preferences-site-sharp-off.png")
        hit(s, settings, "KP_Enter")
        s.wait_gone("^Indstillinger$")

        first = preview(s, main_window, None)
        with open(first, encoding="cp1252") as f:
            html = f.read()
        files = os.path.join(os.path.dirname(first), "My_Homepage_Files")
        assert not glob.glob(os.path.join(files, "*@2x*")), "@2x pictures although switched off"
        assert 'name="viewport"' in html.lower(), "no viewport for phones"

        picture = os.path.join(work, "picture.png")
        subprocess.run(["convert", "-size", "61x37", "gradient:#2060c0-#f0d020", "-alpha", "off",
                        picture], check=True)
        subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", picture],
                       env=s.env, timeout=10)
        time.sleep(0.5)
        hit(s, main_window, "ctrl+v")
        wait_for(lambda: s.title(main_window).endswith("*"), "the picture was not pasted")
        hit(s, main_window, "ctrl+a")
        with_picture = preview(s, main_window, first)
        report = s.wait_window("^Tilgængelighed$")
        shot(s, report, work, "access-report.png")
        with open(with_picture, encoding="cp1252") as f:
            pasted = re.findall(r"<IMG [^>]*WIDTH=61 HEIGHT=37", f.read())
        assert len(pasted) == 1, f"the pasted picture is not in the preview: {pasted}"

        # The picture is the only finding: its line leads to it.
        hit(s, report, "Home", "KP_Enter")
        time.sleep(0.5)
        hit(s, main_window, "Delete")
        after = preview(s, main_window, with_picture)
        with open(after, encoding="cp1252") as f:
            rest = f.read()
        assert not re.search(r"<IMG [^>]*WIDTH=61 HEIGHT=37", rest), "the picture was not deleted"
        count = lambda text: len(re.findall(r"<IMG ", text))  # noqa: E731
        assert count(rest) == count(html), f"Delete removed more than the picture: {count(html)} IMG before, {count(rest)} after"
        shot(s, report, work, "access-report-clean.png")
        print("report session: sharp pictures off through the dialog, finding led to the picture")
        return 0
    finally:
        s.kill()
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
