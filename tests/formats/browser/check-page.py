#!/usr/bin/python3
"""Exports a walkthrough as one HTML page and reads it in headless Chromium: the keys move
through the stops, the address and the highlighted box follow, the console stays empty and
nothing but the page itself is loaded.

Usage: check-page.py PATHWICKS
Exits with 77 when Chromium, its driver or Selenium is not installed."""

import json
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def find_browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def write_walkthrough(folder):
    """Three boxes over code with a tab and a bidirectional control, titles that try to make
    markup, a web link and a label."""
    os.makedirs(os.path.join(folder, "src"))
    with open(os.path.join(folder, "src", "main.c"), "w", encoding="utf-8") as code:
        code.write("int main() { // pathwick-1\n\treturn 0; /* \u202e */\n}\n"
                   "void other() {} // pathwick-2\n")
    boxes = [
        ("pathwick-1", "</title><script>alert(1)</script>", 20),
        ("pathwick-2", "Second <img src=x onerror=alert(2)>", 120),
        ("pathwick-3", "Docs,https://example.org/", 220),
    ]
    content = [{"id": id, "title": title, "rect": "{{20, %d}, {220, 50}}" % y,
                "editor": "Safari" if id == "pathwick-3" else "Xcode", "arrows": []}
               for id, title, y in boxes]
    labels = [{"title": "Read me <b>first</b>", "rect": "{{300, 20}, {160, 30}}"}]
    path = os.path.join(folder, "walk.pathwicks")
    with open(path, "w", encoding="utf-8") as document:
        json.dump({"content": content, "labels": labels}, document)
    return path


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    browser = find_browser()
    driver_path = shutil.which("chromedriver")
    try:
        from selenium import webdriver
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        browser = None
    if not browser or not driver_path:
        print("Chromium, chromedriver or python3-selenium is not installed: skipped")
        return SKIP

    work = tempfile.mkdtemp()
    try:
        document = write_walkthrough(work)
        page = os.path.join(work, "out", "walk.html")
        os.makedirs(os.path.dirname(page))
        result = subprocess.run([sys.argv[1], "export", document, page],
                                capture_output=True, text=True)
        if result.returncode != 0:
            fail("export: %d %s" % (result.returncode, result.stderr))

        options = webdriver.ChromeOptions()
        options.binary_location = browser
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--user-data-dir=" + os.path.join(work, "profile")):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        driver = webdriver.Chrome(service=Service(executable_path=driver_path),
                                  options=options)
        try:
            check(driver, "file://" + page, By, Keys)
        finally:
            driver.quit()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("The page reads as a tour, loads nothing else and logs nothing.")
    return 0


def check(driver, url, By, Keys):
    driver.get(url)
    if driver.title != "walk":
        fail("title: %r" % driver.title)
    if driver.execute_script("return document.querySelectorAll('script').length") != 1:
        fail("the document's titles made a script")
    if driver.find_elements(By.CSS_SELECTOR, ".stop img, .labels b"):
        fail("the document's titles made markup")
    body = driver.find_element(By.TAG_NAME, "body")

    def expect(key, stop):
        body.send_keys(key)
        hash = driver.execute_script("return window.location.hash")
        if hash != "#stop-%d" % stop:
            fail("after %r the address ends in %r, not #stop-%d" % (key, hash, stop))
        current = driver.execute_script(
            "return Array.from(document.querySelectorAll('.current')).map(e => e.id)")
        if sorted(current) != sorted(["box-%d" % stop, "stop-%d" % stop]):
            fail("after %r the highlighted items are %r" % (key, current))

    for key, stop in ((Keys.ARROW_RIGHT, 1), (Keys.ARROW_RIGHT, 2), (Keys.SPACE, 3),
                      (Keys.SPACE, 3), (Keys.ARROW_LEFT, 2), (Keys.PAGE_UP, 1),
                      (Keys.PAGE_DOWN, 2)):
        expect(key, stop)
    driver.find_element(By.ID, "box-3").click()
    if driver.execute_script("return window.location.hash") != "#stop-3":
        fail("a click on a box does not lead to its stop")
    if "<U+202E>" not in driver.find_element(By.CSS_SELECTOR, "#stop-1 .excerpt").text:
        fail("the bidirectional control is not shown")

    messages = driver.get_log("browser")
    if messages:
        fail("the console has messages: %r" % messages)
    requested = set()
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        # The browser's own pages (the new tab) load their parts too: only the page's count.
        if (message["method"] == "Network.requestWillBeSent"
                and message["params"].get("documentURL", "").split("#")[0] == url):
            requested.add(message["params"]["request"]["url"].split("#")[0])
    if url not in requested:
        fail("the page's own request was not seen: %r" % sorted(requested))
    if requested - {url}:
        fail("the page requested %r" % sorted(requested - {url}))
    if driver.execute_script("return performance.getEntriesByType('resource').length") != 0:
        fail("the page loaded resources")


if __name__ == "__main__":
    sys.exit(main())
