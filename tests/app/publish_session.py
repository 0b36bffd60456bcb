#!/usr/bin/env python3
"""Publishing from the designer under Xvfb, driven by real X events.

  publish_session.py SITEDESK PAGEWRIGHT

A template site (its buttons carry page links) is opened from the start-up
dialog; one of its buttons is clicked and, in the inspector, given a
gradient picked in the gradient designer, a shadow and a glow whose sliders
are moved, a link to another page and a mouse-over twin with another fill (a
screenshot of every inspector window is kept); an FTP profile for the loopback test server is set up in "Internet
Opsætning"; "Udgiv hjemmesiden" saves the site, builds it and sends it with
the status windows shown; the front page that arrived on the server is then
opened in headless Chromium and compared with the core's own rendering of
the page (`pagewright render`), and the button is hovered: Chromium then
shows its twin.

The session is a list of steps (STEPS) that share one context; a step that
should run first (for example work in the inspector) is added to the list.

PW_SCREENSHOTS=DIR keeps the screenshots there. Exits 77 (skipped) without
Xvfb, xdotool or Chromium.
"""
import os
import re
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


def menu_command(c, menu, letter):
    """Opens a menu of the main window with its Alt key and picks a letter."""
    hit(c, c.main, menu)
    time.sleep(0.6)
    c.s.press(letter)


def open_inspector(c, letter, title):
    """"Vis" -> "Inspektør" -> the window's letter; returns the window."""
    hit(c, c.main, "alt+v")
    time.sleep(0.5)
    c.s.press("i")
    time.sleep(0.4)
    c.s.press(letter)
    window = c.s.wait_window("^" + title + "$")
    time.sleep(0.5)
    return window


def arrows(c, key, count):
    for _ in range(count):
        c.s.press(key)
        time.sleep(0.05)


def step_inspector(c):
    """The template's "Kontakt" button (the last of the five on the left of
    the front page) is clicked; the inspector gives it a gradient, effects,
    another page link and a twin of another fill."""
    # The front page's window opens at the top left of the page area: the
    # button's middle lies here on this 1280 x 900 screen.
    run(["xdotool", "mousemove", "--window", c.main, "164", "387", "click", "1"], c.s.env)
    time.sleep(0.5)

    fill = open_inspector(c, "f", "Fill window")
    hit(c, fill, "alt+o")  # F&orløb: the gradient picker
    c.s.press("space")
    designer = c.s.wait_window("^Gradient Designer$")
    time.sleep(0.5)
    c.shot(designer, "inspector-gradient-designer.png")
    arrows(c, "Down", 3)  # another predefined gradient
    hit(c, designer, "alt+o")
    c.s.wait_gone("^Gradient Designer$")
    time.sleep(0.5)

    effects = open_inspector(c, "e", "Effects window")
    hit(c, effects, "alt+s")  # "Kast skygge": &Slå til
    hit(c, effects, "alt+b")  # &Blødhed
    arrows(c, "Right", 6)
    hit(c, effects, "alt+f")  # &Forskydning
    arrows(c, "Right", 4)
    time.sleep(0.3)
    c.shot(effects, "inspector-effects-shadow.png")
    c.s.press("ctrl+Tab")
    c.s.press("ctrl+Tab")  # "Glød"
    time.sleep(0.3)
    hit(c, effects, "alt+s")
    # A glow as soft as the shadow: wider ones would reach the next button,
    # and a mouse-over button may not be overlapped (the build refuses it).
    hit(c, effects, "alt+b", "Home")
    arrows(c, "Right", 12)
    hit(c, effects, "alt+g")  # &Gennemsigtighed
    arrows(c, "Left", 10)
    time.sleep(0.3)
    c.shot(effects, "inspector-effects-glow.png")

    link = open_inspector(c, "l", "Link window")
    hit(c, link, "alt+b")  # &Benyt link
    hit(c, link, "alt+s")  # &Side
    c.s.press("Tab")  # the page box follows its button
    c.s.press("Down")  # the next page
    time.sleep(0.3)
    c.shot(link, "inspector-link.png")

    over = open_inspector(c, "m", "MouseOver window")
    # The template's buttons have twins: this one gets a new one, made from
    # the button as it is now and then edited.
    hit(c, over, "alt+j")  # F&jern MusOver
    hit(c, over, "alt+k")  # S&kab MusOver
    time.sleep(0.3)
    c.shot(over, "inspector-mouseover.png")
    fill = open_inspector(c, "f", "Fill window")
    hit(c, fill, "alt+e")  # the twin turns one colour: another fill
    time.sleep(0.3)
    c.shot(fill, "inspector-fill.png")
    over = open_inspector(c, "m", "MouseOver window")
    hit(c, over, "alt+o")  # back to the &Originalt objekt, as the page shows it
    time.sleep(0.3)
    for letter, title, name in (("s", "Page window", "inspector-page.png"),
                                ("o", "Object window", "inspector-object.png"),
                                ("t", "Styles window", "inspector-styles.png")):
        window = open_inspector(c, letter, title)
        c.shot(window, name)
    shot = os.path.join(c.work, "inspector-session.png")
    subprocess.run(f"xwd -root -silent | convert xwd:- {shot}", shell=True, env=c.s.env,
                   check=True)
    keep(shot, "inspector-session.png")
    print("inspector: the button got a gradient, shadow, glow, page link and twin")


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
    menu_command(c, "alt+h", "u")  # "Hjemmeside" -> "Udgiv hjemmesiden"
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
    menu_command(c, "alt+h", "u")  # "Hjemmeside" -> "Udgiv hjemmesiden"
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


def twin_buttons(front):
    """(css class, width, height) of each mouse-over button of a built page,
    in page order."""
    with open(front, encoding="cp1252") as f:
        html = f.read()
    # A WebP twin puts the picture in a <picture> with its <source> first.
    buttons = re.findall(r'<DIV class="(Object\d+)">\s*<A [^>]*onMouseOver=[^>]*>'
                         r'(?:<picture><source [^>]*>)?<IMG [^>]*WIDTH=(\d+) HEIGHT=(\d+)',
                         html, re.I)
    assert buttons, "no mouse-over button on " + front
    return html, [(b[0], int(b[1]), int(b[2])) for b in buttons]


def step_check_effects(c):
    """The shadow and glow switched on in the inspector reached the site:
    the published button's picture reaches further than the same button's
    in the untouched template (an outer glow on every side, the shadow
    further down and to the right)."""
    template = os.path.join(c.work, "template-build")
    template_site = os.path.join(SOURCE, "resources", "Templates", "Erhverv", "firma.pws")
    subprocess.run([c.pagewright, "build", template_site, template], check=True,
                   capture_output=True)
    _, before = twin_buttons(os.path.join(template, "default.htm"))
    _, after = twin_buttons(os.path.join(c.ftp_home, *CATALOG.split("/"), "default.htm"))
    (_, w0, h0), (_, w1, h1) = before[-1], after[-1]
    print(f"effects: the button's picture grew from {w0}x{h0} to {w1}x{h1}")
    assert w1 > w0 and h1 > h0, "the shadow and glow did not reach the published button"


def step_check_hover(c):
    """Chromium shows the button's twin under the mouse."""
    root = os.path.join(c.ftp_home, *CATALOG.split("/"))
    front = os.path.join(root, "default.htm")
    html, buttons = twin_buttons(front)
    # The last is the session's button: "Kontakt", the last of the five.
    css_class, w, h = buttons[-1]
    css = re.search(r"DIV\.%s \{ position:absolute; top:(\d+)px; left:(\d+)px" % css_class, html)
    top, left = int(css.group(1)), int(css.group(2))
    x, y = left + w // 2, top + h // 2
    size = subprocess.run(["identify", "-format", "%w %h", os.path.join(c.work, "core.png")],
                          capture_output=True, text=True, check=True).stdout
    width, height = (int(v) for v in size.split())
    env = dict(os.environ, PW_CHROMIUM=shutil.which("chromium"),
               PW_CHROMEDRIVER=shutil.which("chromedriver"),
               PW_CHROMIUM_FLAGS="--headless --no-sandbox --disable-gpu --hide-scrollbars")
    away, over = os.path.join(c.work, "away.png"), os.path.join(c.work, "over.png")
    subprocess.run(["/usr/bin/python3", os.path.join(SOURCE, "tests", "support", "browser.py"),
                    "hover", str(width), str(height), front, str(width - 1), str(height - 1), away,
                    front, str(x), str(y), over], env=env, check=True, capture_output=True)
    crop = f"{w}x{h}+{left}+{top}"
    parts = []
    for png in (away, over):
        part = png + ".part.png"
        subprocess.run(["convert", png, "-crop", crop, "+repage", "-alpha", "off", part], check=True)
        parts.append(part)
    keep(over, "published-hover.png")
    diff = mean_difference(*parts)
    # The gradient picked for the button (a rainbow) has red and green where
    # the template's dark blue had hardly any.
    red, green = (float(v) for v in subprocess.run(
        ["convert", parts[0], "-format", "%[fx:mean.r] %[fx:mean.g]", "info:"],
        capture_output=True, text=True, check=True).stdout.split())
    print(f"hover: the button at ({x}, {y}) changes by {diff:.1f} under the mouse; "
          f"away from it red {red:.2f}, green {green:.2f}")
    assert red > 0.3 and green > 0.3, "the button does not show the gradient picked for it"
    assert diff > 10, f"hovering the button shows no twin (difference {diff:.2f})"


STEPS = [step_open_template, step_inspector, step_internet_setup, step_publish, step_check_upload,
         step_check_effects, step_check_hover]


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
