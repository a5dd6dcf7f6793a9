#!/usr/bin/python3
"""The program in the browser, used as a person uses it: headless Chromium, driven through
WebDriver with real pointer and key events, on the site that scripts/web.sh leaves, served by a
plain static web server. Results are read as a person reads them, by select-all and copy through
the browser's clipboard; screenshots go to SHOTS.

Usage: e2e_web.py SITE LISTING_TOOL SHOTS [NATIVE_MS]
Prints the web benchmark lines and "N passed, N failed"."""

import functools
import http.server
import os
import subprocess
import sys
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

site, listing_tool, shots = sys.argv[1], sys.argv[2], sys.argv[3]
native_ms = sys.argv[4] if len(sys.argv) > 4 else "-"
os.makedirs(shots, exist_ok=True)
passed = failed = 0


def ok(what):
    global passed
    passed += 1
    print("ok:", what, flush=True)


def bad(what):
    global failed
    failed += 1
    print("FAILED:", what, flush=True)


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json"}

    def log_message(self, *args):
        pass


# Any static web server serves the site; this is Python's own, on a free port of the loopback.
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
origin = "http://127.0.0.1:%d" % server.server_address[1]

options = Options()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--enable-unsafe-swiftshader",
             "--disable-quic", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--window-size=1280,1024"):
    options.add_argument(flag)
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
driver.set_script_timeout(10)
# The page may read what it copied, as a person pastes it.
driver.execute_cdp_cmd("Browser.grantPermissions", {
    "origin": origin, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})


def canvas():
    return driver.find_element("id", "programm")


def shot(name):
    driver.save_screenshot(os.path.join(shots, name + ".png"))


# Where the window's controls are: the start-up layout in proportion to the screen, which in the
# browser is the page's canvas (15 twips a pixel), as tests/e2e/xwindow.sh reckons it for X.
def layout():
    w, h = driver.execute_script(
        "const c = document.getElementById('programm'); return [c.clientWidth, c.clientHeight];")
    W, H = w * 15, h * 15
    fx = W / 40 + (W / 40 * 38) / 4 + 320
    fy = H / 10 + H / 5 + 320
    px = lambda t: round(t / 15)
    return {
        "number box": (px(fx + 1320 + 1507), px(fy + 240 + 322)),
        "analysis button": (px(fx + 120 + 2107), px(fy + 960 + 367)),
        "two-pair button": (px(fx + 120 + 1867), px(fy + 3720 + 247)),
        "stop button": (px(fx + 3960 + 487), px(fy + 3120 + 547)),
        "listing": (px(W / 40 + 2280), px(fy + 3000)),
    }


def click(where):
    x, y = layout()[where]
    rect = canvas().rect
    ActionChains(driver).move_to_element_with_offset(canvas(), x - rect["width"] / 2, y - rect["height"] / 2) \
        .click().perform()


def keys(*sequence):
    ActionChains(driver).send_keys(*sequence).perform()


def select_all_copy():
    ActionChains(driver).key_down(Keys.CONTROL).send_keys("a").send_keys("c").key_up(Keys.CONTROL).perform()


def clipboard():
    try:
        return driver.execute_async_script(
            "const done = arguments[0]; navigator.clipboard.readText().then(done, () => done(null));")
    except Exception:
        return None


def read(where):
    """What a box holds, by a click into it, select-all and copy, and a paste in the page."""
    driver.execute_async_script(
        "const done = arguments[0]; navigator.clipboard.writeText('').then(done, done);")
    click(where)
    select_all_copy()
    for _ in range(20):
        text = clipboard()
        if text:
            return text.replace("\r", "")
        time.sleep(0.05)
    return ""


def type_number(text):
    click("number box")
    select_all_copy()  # leaves the box's text selected
    keys(text)
    time.sleep(0.3)


def expected_listing(n, bound):
    out = subprocess.run([listing_tool, str(n), str(bound)], capture_output=True, text=True, check=True).stdout
    return out.replace("\r", "")


def same_listing(text, n, bound):
    # Copying from the box may leave out its first, empty line.
    strip = lambda s: s[1:] if s.startswith("\n") else s
    return strip(text) == strip(expected_listing(n, bound))


def check_listing(n, bound, what):
    listing = read("listing")
    if same_listing(listing, n, bound):
        ok(what)
    else:
        bad("%s: the listing reads %r" % (what, listing[:160]))


def settled(where, tries=100):
    last = None
    for _ in range(tries):
        now = read(where).strip()
        if now and now == last:
            return now
        last = now
        time.sleep(0.2)
    return last


def wait_for_listing_of_75():
    """Seconds from the navigation's start until the listing is painted, by the page's own clock:
    polls the canvas's pixels where the listing's first lines are (a tenth of a second or so
    late, the time a screenshot takes)."""
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        at = driver.execute_script("""
            const c = document.getElementById('programm');
            return c && c.style.display === 'block' && c.clientWidth ? performance.now() / 1000 : null;""")
        if at is not None:
            x, y = layout()["listing"]
            if dark_pixels(canvas().screenshot_as_png, x - 120, y - 260, x + 60, y - 120) > 50:
                return at
        time.sleep(0.02)
    return None


def pixels(png, x, y, width, height):
    """The RGB pixels of a rectangle of a PNG screenshot, row by row, cut out by ImageMagick."""
    raw = subprocess.run(["/usr/bin/convert", "png:-", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                          "+repage", "-depth", "8", "rgb:-"], input=png, capture_output=True, check=True).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def dark_pixels(png, x1, y1, x2, y2):
    return sum(1 for p in pixels(png, x1, y1, x2 - x1, y2 - y1) if sum(p) < 150)


def middle(png):
    """The pixels round the middle of the page, where a report over the window opens."""
    rect = canvas().rect
    return pixels(png, int(rect["width"]) // 2 - 150, int(rect["height"]) // 2 - 40, 300, 80)


def changed(a, b):
    return sum(1 for p, q in zip(a, b) if p != q) + abs(len(a) - len(b))


try:
    driver.get(origin + "/index.html?SUMMENLEITER_SEARCH_LOG=1")
    load_s = wait_for_listing_of_75()
    shot("start")
    if load_s is None:
        bad("the listing of 75 was never painted")
        raise SystemExit
    # Before any click the page has given the program the keyboard, whose focus is in the listing
    # as on the desktop: select-all and copy read the listing of 75.
    driver.execute_async_script("const done = arguments[0]; navigator.clipboard.writeText('').then(done, done);")
    select_all_copy()
    time.sleep(0.3)
    listing = (clipboard() or "").replace("\r", "")
    if same_listing(listing, 75, 75):
        ok("the page opens with the listing of 75 (painted after %.2f s) and the keyboard in it" % load_s)
    else:
        bad("the listing at start, copied with the keys alone, reads %r" % listing[:200])
    # Tab goes on to the number scroll bar, the analysis button and
    # the number box, where a number from 3 to 999 is analysed as it is typed.
    keys(Keys.TAB, Keys.TAB, Keys.TAB)
    ActionChains(driver).key_down(Keys.CONTROL).send_keys("a").key_up(Keys.CONTROL).perform()
    keys("12")
    time.sleep(0.3)
    shot("keyboard-12")
    check_listing(12, 12, "from the keyboard alone, Tab three times from the listing and 12 typed: the listing of 12")

    type_number("105")
    click("analysis button")
    check_listing(105, 105, "105 typed and analysed")
    shot("105")

    # Pasted from elsewhere, as a person copies a number from another page.
    driver.execute_async_script("const done = arguments[0]; navigator.clipboard.writeText('945').then(done, done);")
    click("number box")
    ActionChains(driver).key_down(Keys.CONTROL).send_keys("a").send_keys("v").key_up(Keys.CONTROL).perform()
    time.sleep(0.5)
    check_listing(945, 945, "945 pasted into the number box with Ctrl+V is analysed")

    type_number("75")
    click("two-pair button")
    n = settled("number box")
    if n == "105" and same_listing(read("listing"), 105, 106):
        ok("the two-pair search from 75 ends at 105")
    else:
        bad("the two-pair search from 75 ends at %r" % n)
    shot("search-75")

    type_number("1000000.5")
    click("two-pair button")
    time.sleep(0.5)
    click("stop button")
    n = settled("number box")
    try:
        stopped = n.endswith(".5") and float(n) > 1000000.5
    except ValueError:
        stopped = False
    if stopped and read("listing").lstrip("\n").startswith(" %s =" % n):
        ok("the stop button ends the search from 1000000.5 at %s" % n)
    else:
        bad("the search from 1000000.5 was not stopped: the number box shows %r" % n)

    type_number("3000000000")
    before = middle(canvas().screenshot_as_png)
    click("analysis button")
    time.sleep(0.8)
    shot("overflow")
    shown = changed(before, middle(canvas().screenshot_as_png))
    # The report has the keyboard: Return closes it, as on the desktop.
    keys(Keys.RETURN)
    time.sleep(0.5)
    shot("overflow-closed")
    left = changed(before, middle(canvas().screenshot_as_png))
    box = settled("number box")
    if shown > 1000 and left < shown / 10 and box == "3000000000":
        ok("3000000000 shows the overflow report over the window (%d pixels changed), which Return "
           "closes (%d left)" % (shown, left))
    else:
        bad("no overflow report for 3000000000 that Return closes (%d pixels changed, %d left, the number "
            "box shows %r)" % (shown, left, box))
    type_number("945")
    click("analysis button")
    check_listing(945, 945, "after the report the window goes on: 945 analysed")

    # The search of the benchmark, timed by the program itself.
    driver.get_log("browser")
    type_number("1000000000")
    click("two-pair button")
    n = settled("number box")
    web_ms = "-"
    for entry in driver.get_log("browser"):
        if "search ended at 1000383615 after" in entry["message"]:
            web_ms = entry["message"].split(" after ")[1].split(" ms")[0]
    if n == "1000383615" and web_ms != "-":
        ok("the two-pair search from 10^9 ends at 1000383615 after %s ms" % web_ms)
    else:
        bad("the two-pair search from 10^9 ends at %r (logged %s ms)" % (n, web_ms))

    driver.refresh()
    reload_s = wait_for_listing_of_75()
    type_number("15")
    click("analysis button")
    if reload_s is not None and same_listing(read("listing"), 15, 15):
        ok("reloaded, the page works again (listing of 75 after %.2f s, then 15 analysed)" % reload_s)
    else:
        bad("the page does not work after a reload")
    shot("reloaded")

    wasm = os.path.join(site, "summenleiter.wasm")
    import gzip
    with open(wasm, "rb") as f:
        gz = len(gzip.compress(f.read(), 9))
    print("web load_s=%.2f wasm_bytes=%d wasm_gzip_bytes=%d" % (load_s, os.path.getsize(wasm), gz))
    print("websearch from=1000000000 to=1000383615 ms=%s native_ms=%s" % (web_ms, native_ms))
finally:
    driver.quit()
    server.shutdown()
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)
