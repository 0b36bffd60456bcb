#!/usr/bin/env python3
"""Publishing from the designer under Xvfb, driven by real X events.

  publish_session.py SITEDESK PAGEWRIGHT

A template site (its buttons carry page links) is opened from the start-up
dialog; an FTP profile for the loopback test server is set up in "Internet
Opsætning"; "Udgiv hjemmesiden" saves the site, builds it and sends it with
the status windows shown; the front page that arrived on the server is then
opened in headless Chromium and compared with the core's own rendering of
the page (`pagewright render`).

The session is a list of steps (STEPS) that share one context; a step that
should run first (for example work in the inspector) is added to the list.

PW_SCREENSHOTS=DIR keeps the screenshots there. Exits 77 (skipped) without
Xvfb, xdotool or Chromium.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xvfb_session import (SKIP, Display, Session, chromium_picture, colours,  # noqa: E402
                          keep, mean_difference, open_template, run)

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FTP_USER, FTP_PASSWORD, CATALOG = "webmaster", "hemmelig", "www/sider"
# Bytes per second are not limited; each server reply waits this long, so
# the upload takes a few seconds and its status window can be seen.
REPLY_DELAY_MS = 40
# Mean difference per channel (0..255) allowed between the core's page and
# Chromium's: the build's fidelity limit plus text drawn by the browser.
MAX_DIFFERENCE = 3.0


class Context:
    def __init__(self, session, work, pagewright):
        self.s = session
        self.work = work
        self.pagewright = pagewright
        self.main = None
        self.ftp_home = os.path.join(work, "ftp")
        self.ftp_port = None
        self.ftp_proc = None
        self.site = os.path.join(work, "klub.pwu")

    def shot(self, window, name):
        png = os.path.join(self.work, name)
        self.s.shot(window, png)
        keep(png, name)
        return png


def hit(c, window, *keys):
    """Keys through the X server's own input (XTEST), to the window made
    active first: what a dialog gets from a real keyboard."""
    run(["xdotool", "windowactivate", "--sync", window], c.s.env)
    run(["xdotool", "windowfocus", "--sync", window], c.s.env)
    c.s.press(*keys)


def start_ftp_server(c):
    os.makedirs(c.ftp_home)
    port_file = os.path.join(c.work, "ftp.port")
    c.ftp_proc = subprocess.Popen(
        ["/usr/bin/python3", os.path.join(SOURCE, "tests", "support", "ftp_server.py"),
         "--home", c.ftp_home, "--user", FTP_USER, "--password", FTP_PASSWORD,
         "--port-file", port_file, "--reply-delay-ms", str(REPLY_DELAY_MS)],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    end = time.time() + 20
    while time.time() < end and not os.path.exists(port_file):
        if c.ftp_proc.poll() is not None:
            raise AssertionError("the FTP server ended: " + c.ftp_proc.stderr.read()[-1000:])
        time.sleep(0.1)
    with open(port_file) as f:
        c.ftp_port = int(f.read())


def step_open_template(c):
    """Start-up dialog -> "Via skabelon" -> the first template."""
    c.main = open_template(c.s)
    time.sleep(1)


def step_internet_setup(c):
    """"Internet Opsætning" filled in on the keyboard, the port in
    "Avancerede indstillinger", saved as a profile, closed with OK."""
    hit(c, c.main, "alt+h")
    time.sleep(0.6)
    # "&Internet indstillinger..." shares its letter with "&Indstillinger...":
    # the letter picks the first, Enter opens it (the keypad's: under Xvfb
    # the menu does not take xdotool's Return).
    c.s.press("i")
    time.sleep(0.3)
    c.s.press("KP_Enter")
    setup = c.s.wait_window("Internet Opsætning")
    time.sleep(0.5)
    hit(c, setup, "alt+s")  # FTP &server
    c.s.type(setup, "127.0.0.1")
    hit(c, setup, "alt+b")
    c.s.type(setup, FTP_USER)
    hit(c, setup, "alt+p")
    c.s.type(setup, FTP_PASSWORD)
    hit(c, setup, "alt+w")
    c.s.type(setup, CATALOG)
    hit(c, setup, "alt+a")  # &Avanceret...
    advanced = c.s.wait_window("Avancerede indstillinger")
    time.sleep(0.3)
    hit(c, advanced, "alt+p", "ctrl+a")
    c.s.type(advanced, str(c.ftp_port))
    c.shot(advanced, "publish-advanced-settings.png")
    hit(c, advanced, "KP_Enter")
    c.s.wait_gone("Avancerede indstillinger")
    hit(c, setup, "alt+g")  # &Gem: the profile's name is asked for
    name = c.s.wait_window("Gem profil")
    time.sleep(0.3)
    c.s.type(name, "Lokal server")
    hit(c, name, "KP_Enter")
    c.s.wait_gone("Gem profil")
    time.sleep(0.3)
    c.shot(setup, "publish-internet-setup.png")
    hit(c, setup, "KP_Enter")
    c.s.wait_gone("Internet Opsætning")


# Windows that may come up while publishing, and the keys that answer them.
ANSWERS = {
    "Store objekter på hjemmesiden": ["alt+f"],  # &Fortsæt
    "Skal filer opsendes": ["KP_Enter"],
}


def step_publish(c):
    """"Udgiv hjemmesiden": save first, send the changes (every page of a
    site never sent), watch the status windows, confirm the success."""
    hit(c, c.main, "alt+h")
    time.sleep(0.6)
    c.s.press("u")
    ask = c.s.wait_window("Hjemmesiden har ikke været gemt før")
    time.sleep(0.3)
    hit(c, ask, "KP_Enter")  # "&Gem hjemmeside"
    c.s.wait_gone("Hjemmesiden har ikke været gemt før")
    chooser = c.s.wait_window("^Save As$")
    time.sleep(0.8)
    hit(c, chooser, "ctrl+a")
    c.s.type(chooser, c.site)
    hit(c, chooser, "KP_Enter")
    c.s.wait_gone("^Save As$")
    end = time.time() + 15
    while time.time() < end and not os.path.exists(c.site):
        time.sleep(0.1)
    assert os.path.exists(c.site), "the site was not saved"
    # Saving ends the command; the user gives it again.
    time.sleep(0.5)
    hit(c, c.main, "alt+h")
    time.sleep(0.6)
    c.s.press("u")
    send = c.s.wait_window("^Send$")
    time.sleep(0.3)
    hit(c, send, "KP_Enter")  # "&Send ændringer"
    seen = set()
    end = time.time() + 180
    while time.time() < end:
        for title, keys in ANSWERS.items():
            for w in c.s.windows(title):
                hit(c, w, *keys)
        status = c.s.windows("Status for opsendelse af hjemmeside")
        if status and "upload" not in seen:
            time.sleep(0.4)
            c.shot(status[0], "publish-progress.png")
            seen.add("upload")
        for title in ("Status for opbygning af hjemmeside", "Etablerer forbindelse"):
            if c.s.windows(title):
                seen.add(title)
        done = c.s.windows("Succesfuld Offentliggørelse")
        if done:
            time.sleep(0.3)
            c.shot(done[0], "publish-done.png")
            hit(c, done[0], "KP_Enter")
            break
        for failed in ("Fejl under opsending", "Serveren svarer ikke", "Login afvist",
                       "Forbindelsen blev afbrudt", "Der er opstået en fejl"):
            if c.s.windows(failed):
                raise AssertionError(f"publishing failed: {failed!r}")
        time.sleep(0.1)
    else:
        raise AssertionError("no \"Succesfuld Offentliggørelse\" within 180 s")
    assert "upload" in seen, "the upload's status window was never shown"
    print("publish: sent; windows seen: " + ", ".join(sorted(seen)))


def step_check_upload(c):
    """The front page on the server carries the buttons' page links and
    looks in Chromium like the core's rendering of the page."""
    root = os.path.join(c.ftp_home, *CATALOG.split("/"))
    front = os.path.join(root, "default.htm")
    assert os.path.exists(front), "no default.htm on the server"
    for name in ("default.html", "index.htm", "index.html"):
        assert os.path.exists(os.path.join(root, name)), name + " missing"
    with open(front, encoding="cp1252") as f:
        html = f.read()
    assert 'href="my_homepage_files/side' in html.lower(), "the front page links to no other page"
    ours = os.path.join(c.work, "core.png")
    subprocess.run([c.pagewright, "render", c.site, "--page", "1", "--out", ours], check=True,
                   capture_output=True)
    size = subprocess.run(["identify", "-format", "%w %h", ours], capture_output=True,
                          text=True, check=True).stdout
    width, height = (int(v) for v in size.split())
    shot = os.path.join(c.work, "chromium.png")
    chromium_picture(front, width, height, shot)
    theirs = os.path.join(c.work, "chromium-page.png")
    subprocess.run(["convert", shot, "-crop", f"{width}x{height}+0+0", "+repage", "-alpha", "off",
                    theirs], check=True)
    subprocess.run(["convert", ours, "-alpha", "off", ours], check=True)
    keep(theirs, "published-front-page.png")
    diff = mean_difference(ours, theirs)
    print(f"check: uploaded front page {width}x{height}, mean difference to the core's "
          f"rendering {diff:.2f}")
    assert colours(theirs) > 50, "Chromium shows no page"
    assert diff < MAX_DIFFERENCE, f"mean difference {diff:.2f}"


STEPS = [step_open_template, step_internet_setup, step_publish, step_check_upload]


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    for tool in ("Xvfb", "xdotool", "xwd", "convert", "chromium", "chromedriver"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return SKIP
    display = Display()
    work = tempfile.mkdtemp(prefix="pw-publish-")
    s = Session(os.path.abspath(argv[1]), display, work)
    c = Context(s, work, os.path.abspath(argv[2]))
    try:
        start_ftp_server(c)
        for step in STEPS:
            step(c)
        return 0
    except AssertionError as e:
        print(f"FAIL: {e}")
        # The whole screen, dialogs and menus included, for whoever looks into it.
        shot = os.path.join(work, "failure.png")
        subprocess.run(f"xwd -root -silent | convert xwd:- {shot}", shell=True, env=s.env)
        if os.path.exists(shot):
            keep(shot, "publish-failure.png")
        return 1
    finally:
        s.kill()
        if c.ftp_proc and c.ftp_proc.poll() is None:
            c.ftp_proc.terminate()
            c.ftp_proc.wait()
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
