#!/usr/bin/env python3
"""Scripted sessions of the designer under Xvfb, driven by real X events.

  xvfb_session.py SITEDESK [session ...]

Sessions: "template" (start-up dialog -> template -> front page drawn, screenshot),
"preview" (Aftest hjemmesiden in the own browser window, compared with headless
Chromium's picture of the same page), "recovery" (an unsaved edit, SIGKILL, the
next start offers the copy and restores it). All by default.

PW_SCREENSHOTS=DIR keeps the screenshots there. Exits 77 (skipped) without Xvfb.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77


def run(cmd, env, **kw):
    return subprocess.run(cmd, env=env, capture_output=True, text=True, **kw)


class Display:
    def __init__(self, size="1280x900"):
        # A display number nobody uses, and a server that answers before it
        # is used (a stale socket of a server just stopped does not count).
        for n in range(150 + os.getpid() % 50, 400):
            if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
                continue
            self.name = f":{n}"
            self.proc = subprocess.Popen(["Xvfb", self.name, "-screen", "0", f"{size}x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            env = dict(os.environ, DISPLAY=self.name)
            for _ in range(100):
                if self.proc.poll() is not None:
                    break
                if subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                                  capture_output=True).returncode == 0:
                    return
                time.sleep(0.1)
            self.close()
        raise AssertionError("no X server could be started")

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
        self.proc.wait()


class Session:
    def __init__(self, sitedesk, display, home):
        self.sitedesk = sitedesk
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": display.name,
            "XDG_CONFIG_HOME": os.path.join(home, "config"),
            "XDG_DATA_HOME": os.path.join(home, "data"),
            "XDG_RUNTIME_DIR": home,
            "TMPDIR": home,
            "HOME": home,
            "PW_INSTANCE": "pw-xvfb-" + os.path.basename(home),
        })
        self.env.pop("QT_QPA_PLATFORM", None)
        self.home = home
        self.proc = None

    def start(self, *args, extra=None):
        env = dict(self.env)
        env.update(extra or {})
        self.proc = subprocess.Popen([self.sitedesk, *args], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    def windows(self, name):
        out = run(["xdotool", "search", "--onlyvisible", "--name", name], self.env).stdout
        return [w for w in out.split() if w]

    def wait_window(self, name, timeout=30):
        end = time.time() + timeout
        while time.time() < end:
            found = self.windows(name)
            if found:
                return found[0]
            if self.proc and self.proc.poll() is not None:
                raise AssertionError(f"sitedesk ended ({self.proc.returncode}) waiting for {name!r}: "
                                     + self.proc.stderr.read()[-2000:])
            time.sleep(0.2)
        raise AssertionError(f"no window {name!r} within {timeout} s")

    def wait_gone(self, name, timeout=15):
        end = time.time() + timeout
        while time.time() < end:
            if not self.windows(name):
                return
            time.sleep(0.1)
        raise AssertionError(f"window {name!r} still open after {timeout} s")

    def press(self, *keys):
        """Keys to whatever has the keyboard now (an open menu grabs it)."""
        run(["xdotool", "key", "--clearmodifiers", *keys], self.env)

    def type(self, window, text):
        """Types into the focused control of the window, as the keyboard would."""
        run(["xdotool", "windowactivate", "--sync", window], self.env)
        run(["xdotool", "windowfocus", "--sync", window], self.env)
        run(["xdotool", "type", "--delay", "20", "--clearmodifiers", text], self.env)

    def title(self, window):
        return run(["xdotool", "getwindowname", window], self.env).stdout.strip()

    def key(self, window, *keys):
        run(["xdotool", "windowactivate", "--sync", window], self.env)
        run(["xdotool", "windowfocus", "--sync", window], self.env)
        run(["xdotool", "key", "--window", window, "--clearmodifiers", *keys], self.env)

    def shot(self, window, path):
        with open(path + ".xwd", "wb") as f:
            f.write(subprocess.run(["xwd", "-silent", "-id", window], env=self.env,
                                   capture_output=True, timeout=30).stdout)
        subprocess.run(["convert", "xwd:" + path + ".xwd", path], check=True)
        os.remove(path + ".xwd")

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def colours(png, crop=None):
    """Number of distinct colours of the picture (or a part of it)."""
    args = ["convert", png] + (["-crop", crop] if crop else []) + ["-format", "%k", "info:"]
    return int(subprocess.run(args, capture_output=True, text=True, check=True).stdout.strip())


def mean_difference(a, b):
    """Mean absolute difference per channel on the 0..255 scale."""
    out = subprocess.run(["compare", "-metric", "MAE", a, b, "null:"], capture_output=True, text=True)
    m = re.search(r"\(([0-9.eE+-]+)\)", out.stderr)
    if not m:
        raise AssertionError("compare said: " + out.stderr)
    return float(m.group(1)) * 255.0


def wait_for(test, what, timeout=15):
    """Polls `test` until it holds; AssertionError(what) after `timeout` s."""
    end = time.time() + timeout
    while time.time() < end:
        if test():
            return
        time.sleep(0.3)
    raise AssertionError(what)


def keep(path, name):
    target = os.environ.get("PW_SCREENSHOTS")
    if target:
        os.makedirs(target, exist_ok=True)
        shutil.copy(path, os.path.join(target, name))


def open_template(s):
    """Start-up dialog -> "Via skabelon" -> first template; returns the main window."""
    s.start()
    dialog = s.wait_window("Velkommen til Pagewright")
    s.key(dialog, "alt+v")
    chooser = s.wait_window("Byg hjemmeside ud fra en skabelon")
    time.sleep(0.5)
    s.key(chooser, "Return")
    end = time.time() + 30
    while time.time() < end:
        main = s.windows("^Pagewright - ")
        if main:
            return main[0]
        time.sleep(0.2)
    raise AssertionError("the template did not open")


def session_template(s, work):
    main = open_template(s)
    title = s.title(main)
    assert title == "Pagewright - Ikke navngivet", title
    time.sleep(3)  # idle rendering fills in the page
    png = os.path.join(work, "main-window.png")
    s.shot(main, png)
    keep(png, "main-window.png")
    # The front page is drawn: the page area holds far more than the grey
    # surround and the window chrome.
    n = colours(png, "700x500+80+100")
    assert n > 200, f"page area has only {n} colours"
    print(f"template: main window drawn ({n} colours in the page area)")


def chromium_picture(html, width, height, out):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                 f"--window-size={width + 100},{height + 200}"]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        driver.get("file://" + html)
        time.sleep(1)
        driver.save_screenshot(out)
    finally:
        driver.quit()


def session_preview(s, work):
    main = open_template(s)
    time.sleep(1)
    s.key(main, "F5")
    preview = s.wait_window("Aftest hjemmesiden", timeout=90)
    time.sleep(6)  # the engine starts and paints
    png = os.path.join(work, "preview.png")
    s.shot(preview, png)
    keep(png, "preview-window.png")
    html = None
    for root, _, files in os.walk(s.home):
        if "default.htm" in files and "My_Homepage_Preview" in root:
            html = os.path.join(root, "default.htm")
    assert html, "no built preview"
    # The window is the page plus 25 pixels; the page's own size is that less 25.
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True).stdout
    width, height = (int(v) - 25 for v in size.split())
    reference = os.path.join(work, "chromium.png")
    chromium_picture(html, width, height, reference)
    ours = os.path.join(work, "preview-page.png")
    ref = os.path.join(work, "chromium-page.png")
    subprocess.run(["convert", png, "-crop", f"{width}x{height}+0+0", "+repage", "-alpha", "off", ours], check=True)
    subprocess.run(["convert", reference, "-crop", f"{width}x{height}+0+0", "+repage", "-alpha", "off", ref],
                   check=True)
    diff = mean_difference(ours, ref)
    print(f"preview: own window {width}x{height}, mean difference to Chromium {diff:.2f}")
    assert colours(ours) > 50, "the preview window shows no page"
    assert diff < 3, f"mean difference {diff:.2f}"


def session_recovery(s, work):
    extra = {"PW_RECOVERY_SECONDS": "2"}
    s.start(extra=extra)
    dialog = s.wait_window("Velkommen til Pagewright")
    s.key(dialog, "alt+v")
    chooser = s.wait_window("Byg hjemmeside ud fra en skabelon")
    time.sleep(0.5)
    s.key(chooser, "Return")
    main = s.wait_window("^Pagewright - ")
    time.sleep(1)
    # An edit through the menus: select everything and group it.
    s.key(main, "ctrl+a")
    s.key(main, "ctrl+g")
    end = time.time() + 10
    while time.time() < end and not s.title(main).endswith("*"):
        time.sleep(0.2)
    assert s.title(main).endswith("*"), "the edit did not mark the site modified: " + s.title(main)
    copy = os.path.join(s.home, "data", "pagewright", "recovery", "recovery.pwu")
    end = time.time() + 15
    while time.time() < end and not os.path.exists(copy):
        time.sleep(0.2)
    assert os.path.exists(copy), "no recovery copy was written"
    s.proc.send_signal(signal.SIGKILL)
    s.proc.wait()
    assert os.path.exists(copy), "the copy went with the killed session"
    s.start(extra=extra)
    offer = s.wait_window("Gendan arbejde")
    s.key(offer, "Return")  # "Gendan" is the default
    main = s.wait_window("^Pagewright - ")
    title = s.title(main)
    assert title == "Pagewright - Ikke navngivet*", title
    print("recovery: killed session's edit offered and restored")
    s.kill()


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    for tool in ("Xvfb", "xdotool", "xwd", "convert"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return SKIP
    sitedesk = os.path.abspath(argv[1])
    sessions = argv[2:] or ["template", "preview", "recovery"]
    failures = 0
    for name in sessions:
        display = Display()
        home = tempfile.mkdtemp(prefix="pw-xvfb-")
        s = Session(sitedesk, display, home)
        try:
            globals()["session_" + name](s, home)
        except AssertionError as e:
            print(f"FAIL {name}: {e}")
            failures += 1
        finally:
            s.kill()
            display.close()
            shutil.rmtree(home, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
