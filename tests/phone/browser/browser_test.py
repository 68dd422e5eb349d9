#!/usr/bin/python3
"""The phone page in a real browser (headless Chromium): it loads with the
token (which then opens nothing more), shows every scripted maxima frame
(its frame counter rises to the count sent), then "Keine Daten" when the
frames stop, fits screens from 360 x 640 up with each cylinder a sixth of
the height, opens a fresh stream when the phone wakes, reloads in English for an English browser (still paired by its
cookie), and says "Connection lost" once the laptop is gone. Everything
stays on 127.0.0.1.

  browser_test.py SERVER [--program] [--screenshot PNG [--landscape PNG]] [--measure]

SERVER is the built phone_page_server, or with --program the whole program
fed by a pseudo-terminal device (tests/app/phone_program_server), whose
numbers come from the workshop view's calculation; --screenshot writes the page at
412 x 892 while frames arrive (--landscape PNG: then at 892 x 412 too);
--measure prints the time from a frame's sending to its value in the
document (median, p99)."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

FRAMES = 40


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait(predicate, seconds, what):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("server")
    ap.add_argument("--screenshot")
    ap.add_argument("--landscape", help="also a picture at 892 x 412")
    ap.add_argument("--measure", action="store_true")
    ap.add_argument("--program", action="store_true", help="SERVER is the program: its own numbers")
    args = ap.parse_args()

    home = tempfile.mkdtemp(prefix="qv-browser-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_DATA_HOME=os.path.join(home, "data"), XDG_CACHE_HOME=os.path.join(home, "cache"),
               XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM="offscreen")
    server = subprocess.Popen([args.server, "--frames", str(FRAMES), "--interval-ms", "100"],
                              stdout=subprocess.PIPE, text=True, env=env)
    driver = None
    try:
        first = server.stdout.readline().split()
        if len(first) != 2 or first[0] != "URL" or not first[1].startswith("http://127.0.0.1:"):
            fail("no address from the server: %r" % first)
        url = first[1]

        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + os.path.join(home, "chromium"), "--lang=de-DE", "--no-proxy-server",
                     "--window-size=412,892"]:
            options.add_argument(flag)
        options.add_experimental_option("prefs", {"intl.accept_languages": "de-DE,de"})
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver", env=env), options=options)
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 412, "height": 892, "deviceScaleFactor": 1, "mobile": True})
        driver.get(url)
        if driver.current_url.find("t=") >= 0:
            fail("the token stayed in the address: " + driver.current_url)
        # The code that paired the browser pairs nothing else.
        try:
            # No proxy, whatever the environment says: nothing leaves the machine.
            urllib.request.build_opener(urllib.request.ProxyHandler({})).open(url, timeout=5)
            fail("the used address still opens the page")
        except urllib.error.HTTPError as e:
            if e.code != 403:
                fail("the used address answers %d" % e.code)
        # Each change of the frame counter, with the time it happened.
        driver.execute_script("""
          window.qvSeen = [];
          new MutationObserver(() => window.qvSeen.push([Number(document.getElementById('frames').textContent),
                                                         Date.now()]))
            .observe(document.getElementById('frames'), {childList: true, characterData: true, subtree: true});""")

        sent = {}
        shot = False
        for line in server.stdout:
            parts = line.split()
            if parts and parts[0] == "FRAME":
                sent[int(parts[1])] = int(parts[2])
                if int(parts[1]) == FRAMES // 2:
                    if driver.execute_script("return document.body.dataset.banner") != "none":
                        fail("a banner while frames arrive: " + driver.find_element("id", "banner").text)
                    if args.screenshot and not shot:
                        time.sleep(0.3)
                        driver.save_screenshot(args.screenshot)
                        shot = True
                        if args.landscape:
                            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                                   {"width": 892, "height": 412, "deviceScaleFactor": 1,
                                                    "mobile": True})
                            time.sleep(0.3)
                            driver.save_screenshot(args.landscape)
            if parts and parts[0] == "SILENT":
                break
        if len(sent) != FRAMES:
            fail("the server sent %d frames" % len(sent))

        counted = wait(lambda: int(driver.find_element("id", "frames").text) >= FRAMES and
                       int(driver.find_element("id", "frames").text), 10, "the frame counter")
        if counted != FRAMES:
            fail("the page counted %d frames of %d" % (counted, FRAMES))
        seen = driver.execute_script("return window.qvSeen")
        values = [v for v, _ in seen]
        if values != list(range(values[0], FRAMES + 1)) or values[0] > 2:
            fail("the counter skipped frames: %r" % values)
        if driver.execute_script("return document.documentElement.lang") != "de":
            fail("the page is not in German")
        number = driver.find_element("css selector", "#c2 .num").text
        word = driver.find_element("css selector", "#c2 .word").text
        if args.program:
            # The device's third cylinder draws more vacuum than the others: the real minus sign.
            if not number.startswith("\u2212") or not number[1:].replace(",", "").isdigit():
                fail("cylinder 3 shows %r" % number)
            if word not in ("OK", "KNAPP", "WEIT"):
                fail("cylinder 3's word is %r" % word)
        else:
            if number not in ("\u221213", "\u221214", "\u221215"):
                fail("cylinder 3 shows %r" % number)
            if word != "KNAPP":
                fail("cylinder 3's word is %r" % word)
        english = {"OK": "OK", "KNAPP": "NEAR", "WEIT": "FAR"}[word]

        wait(lambda: driver.execute_script("return document.body.dataset.banner") == "nodata", 5, "'Keine Daten'")
        banner = driver.find_element("id", "banner").text
        if banner != "Keine Daten":
            fail("the banner says %r" % banner)
        quiet = (time.time() * 1000) - sent[FRAMES]
        if quiet < 900:
            fail("'Keine Daten' came %d ms after the last frame, before a second" % quiet)

        # Each cylinder's box a sixth of the height at least, its number whole,
        # and everything on one screen, upright and on its side.
        for width, height in [(360, 640), (412, 892), (768, 1024), (640, 360), (892, 412)]:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": True})
            time.sleep(0.3)
            got = driver.execute_script("""
              const boxes = [...document.querySelectorAll('.cyl:not([hidden])')];
              return {h: innerHeight, w: innerWidth, n: boxes.length,
                      low: Math.min(...boxes.map((b) => b.getBoundingClientRect().height)),
                      cut: boxes.some((b) => { const n = b.querySelector('.num');
                                               return n.scrollWidth > n.clientWidth + 1; }),
                      scroll: document.documentElement.scrollHeight > innerHeight + 1};""")
            if got["w"] != width or got["h"] != height or got["n"] != 4:
                fail("at %dx%d the page measures %r" % (width, height, got))
            if got["low"] < height / 6:
                fail("at %dx%d a cylinder is %.0f px high, less than a sixth" % (width, height, got["low"]))
            if got["cut"] or got["scroll"]:
                fail("at %dx%d the page does not fit: %r" % (width, height, got))

        # The phone wakes (the page shown again, or taken from the back-forward
        # cache): the page opens a fresh stream at once.
        streams = int(driver.execute_script("return document.body.dataset.streams"))
        driver.execute_script("document.dispatchEvent(new Event('visibilitychange'))")
        wait(lambda: int(driver.execute_script("return document.body.dataset.streams")) == streams + 1, 5,
             "a new stream after visibilitychange")
        driver.execute_script("window.dispatchEvent(new PageTransitionEvent('pageshow', {persisted: true}))")
        wait(lambda: int(driver.execute_script("return document.body.dataset.streams")) == streams + 2, 5,
             "a new stream after pageshow")

        # A browser in English, reloading: the cookie keeps it paired, the words follow its language.
        ua = driver.execute_script("return navigator.userAgent")
        driver.execute_cdp_cmd("Network.setUserAgentOverride", {"userAgent": ua, "acceptLanguage": "en-US,en"})
        driver.refresh()
        wait(lambda: driver.execute_script("return document.documentElement.lang") == "en", 10, "the English page")
        wait(lambda: driver.execute_script("return document.body.dataset.banner") == "nodata", 5, "'No data'")
        if driver.find_element("id", "banner").text != "No data":
            fail("the English banner says %r" % driver.find_element("id", "banner").text)
        if driver.find_element("css selector", "#c2 .word").text != english:
            fail("the English word of cylinder 3 is %r" % driver.find_element("css selector", "#c2 .word").text)

        server.terminate()
        server.wait(10)
        wait(lambda: driver.execute_script("return document.body.dataset.banner") == "lost", 10,
             "'Connection lost'")
        if driver.find_element("id", "banner").text != "Connection lost":
            fail("the banner says %r" % driver.find_element("id", "banner").text)

        if args.measure:
            lags = sorted(at - sent[v] for v, at in seen if v in sent)
            p99 = lags[min(len(lags) - 1, int(round(0.99 * (len(lags) - 1))))]
            print("frame sent -> value in the document: median %.1f ms, p99 %d ms, %d frames"
                  % (statistics.median(lags), p99, len(lags)))
        print("PASS: %d frames shown, 'Keine Daten' after the last, in English after a reload, 'Connection lost' "
              "without the server" % FRAMES)
    finally:
        if driver:
            driver.quit()
        if server.poll() is None:
            server.terminate()
            server.wait(10)
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
