"""Drives headless Chromium through Selenium for the C++ browser checks.

Run with /usr/bin/python3 (Debian's python3-selenium):

  browser.py hover WIDTH HEIGHT FILE X Y OUT.png [FILE X Y OUT.png ...]
      For each group: opens FILE in a viewport of exactly WIDTH x HEIGHT,
      moves the mouse to (X, Y), waits until the images have loaded and
      painted, and writes a PNG of the viewport to OUT.png.
  browser.py shots FILE WIDTH HEIGHT OUT.png [FILE WIDTH HEIGHT OUT.png ...]
      For each group: opens FILE in a viewport of exactly WIDTH x HEIGHT,
      waits until its images have loaded and painted (the mouse stays
      away), and writes a PNG of the viewport to OUT.png.
  browser.py console OUT.txt FILE...
      Opens each FILE in turn and writes its SEVERE console entries to
      OUT.txt, one per line as "<index of FILE>\t<message>".
  browser.py links OUT.txt FILE...
      Opens each FILE in turn and writes the address every link of the page
      leads to, as the browser resolves it, in document order, to OUT.txt as
      "<index of FILE>\t<address>".
  browser.py noscript OUT.txt FILE...
      With scripts switched off, opens each FILE in turn and writes the
      address the browser ends up at (after any refresh the page asks for)
      to OUT.txt as "<index of FILE>\t<address>".

  browser.py narrow WIDTH OUT.txt FILE...
      In a phone's window WIDTH pixels wide, opens each FILE in turn and
      writes "<index>\tscroll\t<scrollWidth>", then clicks the first link
      to another page of the site where it is drawn and writes
      "<index>\tlink\t<address of the link>\t<address landed at>".
  browser.py pictures OUT.txt FILE...
      Opens each FILE in turn and writes every picture file the browser
      fetched as "<index>\tloaded\t<address>" (the currentSrc of each image
      and the page's other image requests), then hovers each mouse-over
      image and writes "<index>\thover\t<address it shows then>".

The browser's flags and binary come from the environment variables
PW_CHROMIUM (binary), PW_CHROMIUM_FLAGS (space separated) and
PW_CHROMEDRIVER, set by the C++ side so both launch paths agree.
"""

import os
import sys
import time
from urllib.parse import urlparse
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder

LOAD_TIMEOUT = 20  # seconds for one page to load
IMAGE_TIMEOUT = 5  # seconds for a mouse-over image to arrive
REFRESH_WAIT = 3  # seconds a page may take to refresh itself to another


def start(width, height, mobile=False):
    options = webdriver.ChromeOptions()
    options.binary_location = os.environ["PW_CHROMIUM"]
    for flag in os.environ["PW_CHROMIUM_FLAGS"].split():
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(os.environ["PW_CHROMEDRIVER"]), options=options)
    driver.set_page_load_timeout(LOAD_TIMEOUT)
    driver.set_script_timeout(IMAGE_TIMEOUT)
    # The window size leaves room for a window frame even when headless; the
    # emulated metrics make the page area exactly the size asked for.
    driver.execute_cdp_cmd(
        "Emulation.setDeviceMetricsOverride",
        {
            "width": width,
            "height": height,
            "deviceScaleFactor": int(os.environ.get("PW_DEVICE_SCALE", "1")),
            "mobile": mobile,
        },
    )
    return driver


def images_ready(driver, x, y):
    return driver.execute_script(
        """
        const all = Array.from(document.images).every(i => i.complete);
        const e = document.elementFromPoint(arguments[0], arguments[1]);
        const here = !e || e.tagName !== 'IMG' || (e.complete && e.naturalWidth > 0);
        return all && here;
        """,
        x,
        y,
    )


def wait_for_paint(driver):
    # Two animation frames: the swapped image is decoded and on screen.
    driver.execute_async_script(
        "const done = arguments[0];"
        "requestAnimationFrame(() => requestAnimationFrame(() => done(true)));"
    )


def images_loaded(driver, x, y):
    """Waits (at most IMAGE_TIMEOUT) until images_ready; whether they are."""
    deadline = time.monotonic() + IMAGE_TIMEOUT
    while not images_ready(driver, x, y):
        if time.monotonic() > deadline:
            return False
        time.sleep(0.02)
    return True


def move_to(driver, x, y, click=False):
    actions = ActionBuilder(driver)
    actions.pointer_action.move_to_location(x, y)
    if click:
        actions.pointer_action.click()
    actions.perform()


def shoot_when_ready(driver, path, x, y, out, what):
    if not images_loaded(driver, x, y):
        raise RuntimeError(f"{what} did not load on {path}")
    wait_for_paint(driver)
    with open(out, "wb") as f:
        f.write(driver.get_screenshot_as_png())


def hover(width, height, jobs):
    driver = start(width, height)
    try:
        for path, x, y, out in jobs:
            driver.get(Path(path).resolve().as_uri())
            # Come from elsewhere, so the page sees the mouse arrive even when
            # the last page was hovered at the same place.
            away = (width - 1, height - 1) if (x, y) != (width - 1, height - 1) else (0, 0)
            for point in (away, (x, y)):
                move_to(driver, *point)
            shoot_when_ready(driver, path, x, y, out, "mouse-over image")
    finally:
        driver.quit()


def shots(jobs):
    driver = start(jobs[0][1], jobs[0][2])
    scale = int(os.environ.get("PW_DEVICE_SCALE", "1"))
    try:
        for path, width, height, out in jobs:
            driver.execute_cdp_cmd(
                "Emulation.setDeviceMetricsOverride",
                {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": False},
            )
            driver.get(Path(path).resolve().as_uri())
            # Far outside the page: only the loading of every picture counts.
            shoot_when_ready(driver, path, -1, -1, out, "pictures")
    finally:
        driver.quit()


def is_outside_request(entry):
    # "http://host/x.png - Failed to load resource: ..." for a request this
    # offline machine cannot make; local files keep their report.
    if entry.get("source") != "network":
        return False
    url = entry.get("message", "").split(" ", 1)[0]
    scheme = urlparse(url).scheme
    return scheme not in ("file", "")


def each_page(out, paths, width=800, height=600, mobile=False, setup=None):
    """Opens the pages one after another in one browser start, yielding
    (index, the page's address, the driver, the output file)."""
    driver = start(width, height, mobile=mobile)
    try:
        if setup:
            setup(driver)
        with open(out, "w", encoding="utf-8") as f:
            for index, path in enumerate(paths):
                yield index, Path(path).resolve().as_uri(), driver, f
    finally:
        driver.quit()


def console(out, paths):
    for index, url, driver, f in each_page(out, paths):
        driver.get_log("browser")  # drop what the previous page left
        driver.get(url)
        wait_for_paint(driver)
        for entry in driver.get_log("browser"):
            if entry.get("level") != "SEVERE" or is_outside_request(entry):
                continue
            message = " ".join(entry.get("message", "").split())
            f.write(f"{index}\t{message}\n")


def links(out, paths):
    for index, url, driver, f in each_page(out, paths):
        driver.get(url)
        hrefs = driver.execute_script(
            "return Array.from(document.querySelectorAll('a[href]'), a => a.href);"
        )
        for href in hrefs:
            f.write(f"{index}\t{href}\n")


def noscript(out, paths):
    def no_scripts(driver):
        driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})

    for index, url, driver, f in each_page(out, paths, setup=no_scripts):
        driver.get(url)
        # A refresh asked for by the page comes after its delay;
        # wait a little longer than the longest one a built page uses.
        deadline = time.monotonic() + REFRESH_WAIT
        while driver.current_url == url and time.monotonic() < deadline:
            time.sleep(0.05)
        time.sleep(0.2)  # let a page that moved on settle
        f.write(f"{index}\t{driver.current_url}\n")


def narrow(width, out, paths):
    for index, url, driver, f in each_page(out, paths, width, 640, mobile=True):
        driver.get(url)
        wait_for_paint(driver)
        scroll = driver.execute_script("return document.scrollingElement.scrollWidth;")
        f.write(f"{index}\tscroll\t{scroll}\n")
        # The first link to another page, at the middle of what is
        # drawn for it, as a finger would hit it.
        target = driver.execute_script(
            """
            const here = location.href;
            for (const a of document.querySelectorAll('a[href]')) {
                if (!/\\.html?$/i.test(a.href) || a.href === here) continue;
                const r = (a.querySelector('img') || a).getBoundingClientRect();
                if (r.width < 1 || r.height < 1) continue;
                return [a.href, r.left + r.width / 2, r.top + r.height / 2];
            }
            return null;
            """
        )
        if not target:
            continue
        href, x, y = target
        move_to(driver, int(x), int(y), click=True)
        deadline = time.monotonic() + REFRESH_WAIT
        while driver.current_url != href and time.monotonic() < deadline:
            time.sleep(0.05)
        f.write(f"{index}\tlink\t{href}\t{driver.current_url}\n")


def pictures(out, paths):
    for index, url, driver, f in each_page(out, paths, 1024, 768):
        driver.get(url)
        images_loaded(driver, 0, 0)
        wait_for_paint(driver)
        loaded = driver.execute_script(
            """
            const seen = new Set(Array.from(document.images, i => i.currentSrc));
            for (const e of performance.getEntriesByType('resource'))
                if (e.initiatorType === 'css' || e.initiatorType === 'img' ||
                    e.initiatorType === 'body' || e.initiatorType === 'other')
                    seen.add(e.name);
            return Array.from(seen).filter(u => u);
            """
        )
        for src in loaded:
            f.write(f"{index}\tloaded\t{src}\n")
        spots = driver.execute_script(
            """
            return Array.from(document.images).filter(i => /^img_mo/.test(i.name))
                .map(i => { const r = i.getBoundingClientRect();
                            return [i.name, r.left + r.width / 2, r.top + r.height / 2]; });
            """
        )
        for name, x, y in spots:
            move_to(driver, int(x), int(y))
            images_loaded(driver, int(x), int(y))
            shown = driver.execute_script(
                "return document.getElementsByName(arguments[0])[0].currentSrc;", name
            )
            f.write(f"{index}\thover\t{shown}\n")


def main(argv):
    if len(argv) >= 8 and (len(argv) - 4) % 4 == 0 and argv[1] == "hover":
        groups = argv[4:]
        jobs = [
            (groups[i], int(groups[i + 1]), int(groups[i + 2]), groups[i + 3])
            for i in range(0, len(groups), 4)
        ]
        hover(int(argv[2]), int(argv[3]), jobs)
    elif len(argv) >= 6 and (len(argv) - 2) % 4 == 0 and argv[1] == "shots":
        groups = argv[2:]
        shots(
            [
                (groups[i], int(groups[i + 1]), int(groups[i + 2]), groups[i + 3])
                for i in range(0, len(groups), 4)
            ]
        )
    elif len(argv) >= 4 and argv[1] == "console":
        console(argv[2], argv[3:])
    elif len(argv) >= 4 and argv[1] == "links":
        links(argv[2], argv[3:])
    elif len(argv) >= 4 and argv[1] == "noscript":
        noscript(argv[2], argv[3:])
    elif len(argv) >= 5 and argv[1] == "narrow":
        narrow(int(argv[2]), argv[3], argv[4:])
    elif len(argv) >= 4 and argv[1] == "pictures":
        pictures(argv[2], argv[3:])
    else:
        sys.exit("usage: browser.py hover W H FILE X Y OUT.png... | shots FILE W H OUT.png... | console|links|noscript OUT.txt FILE...")


if __name__ == "__main__":
    main(sys.argv)
