#!/usr/bin/python3
"""The workbench page in headless Chromium: sentences of the bundled example
typed into it, the tree checked against the -json record, the chart against
the node count, the diagnosis of a failing sentence, a suite run before and
after a reload; a screenshot of each view.
page_test.py MIRASK EXAMPLES_DIR SCREENSHOT_DIR (exit 77 without Chromium)"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from server_process import Server  # noqa: E402

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skipped: python3-selenium is missing")
    sys.exit(77)

mirask, examples, shots = (os.path.abspath(a) for a in sys.argv[1:4])
driver_path = shutil.which("chromedriver")
browser_path = shutil.which("chromium")
if driver_path is None or browser_path is None:
    print("skipped: chromium or chromium-driver is missing")
    sys.exit(77)
os.makedirs(shots, exist_ok=True)


def json_record(folder, sentence):
    """The record `Mirask -json` prints for the sentence."""
    run = subprocess.run([mirask, "-c", "mirask.cfg", "-i", "/dev/stdin", "-json"], cwd=folder,
                         input=sentence + "\n", capture_output=True, text=True, check=False)
    return json.loads(run.stdout.splitlines()[0])


def tree_nodes(tree):
    """(category, start, end) of every node, depth first."""
    found = [(tree["category"], tree["start"], tree["end"])]
    for child in tree.get("children", []):
        found += tree_nodes(child)
    return found


def make_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = browser_path
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--window-size=1400,1100", "--user-data-dir=" + profile]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(driver_path), options=options)


failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def analyse(browser, sentence):
    box = browser.find_element(By.ID, "sentence")
    box.clear()
    box.send_keys(sentence, Keys.ENTER)  # the keyboard alone
    WebDriverWait(browser, 20).until(
        lambda b: b.find_element(By.ID, "outcome").text.startswith(sentence.upper().rstrip(".")))


def count(browser, selector):
    return browser.execute_script("return document.querySelectorAll(arguments[0]).length", selector)


def check_sentence(browser, folder, sentence):
    analyse(browser, sentence)
    record = json_record(folder, sentence)
    shown = [(g.get_attribute("data-category"), int(g.get_attribute("data-start")),
              int(g.get_attribute("data-end")))
             for g in browser.find_elements(By.CSS_SELECTOR, "#tree svg.tree g.node")]
    check(shown == tree_nodes(record["analysis"]), "tree of %r: %s" % (sentence, shown))
    # The chart's node table is the full parse (nodes: true), as with -list.
    full = subprocess.run([mirask, "-c", "mirask.cfg", "-i", "/dev/stdin", "-json", "-list"],
                          cwd=folder, input=sentence + "\n", capture_output=True, text=True)
    node_count = json.loads(full.stdout.splitlines()[0])["node_count"]
    cells = count(browser, "#chart .cell")
    check(cells == node_count, "cells of %r: %d, not %d" % (sentence, cells, node_count))
    marked = count(browser, "#chart .cell.in-analysis")
    check(marked == len(shown), "marked cells of %r: %d" % (sentence, marked))
    return record


with tempfile.TemporaryDirectory() as scratch:
    folder = os.path.join(scratch, "examples")
    shutil.copytree(examples, folder, ignore=shutil.ignore_patterns("guide", "utf8", "library"))
    with Server(mirask, folder) as server:
        browser = make_browser(os.path.join(scratch, "profile"))
        try:
            browser.get(server.origin + "/")
            WebDriverWait(browser, 20).until(
                lambda b: "34 rules" in b.find_element(By.ID, "grammar").text)
            for sentence in ["Der Hund bellt.", "Die Kinder spielen im Garten.",
                             "Die kleine Katze trinkt die Milch."]:
                check_sentence(browser, folder, sentence)
            # A sentence of 3,802 nodes and 1,012 analyses: every node a cell.
            check_sentence(browser, folder, "Er sieht den Mann im Park mit dem Fernglas in der Stadt "
                           "neben dem Haus im Garten auf dem Tisch vor dem Haus mit dem Hund.")

            # Two analyses: the exact count, and the next one drawn.
            record = check_sentence(browser, folder, "Der Mann sieht die Frau mit dem Fernglas.")
            check("exactly 2 analyses" in browser.find_element(By.ID, "outcome").text, "count shown")
            first_svg = browser.find_element(By.ID, "tree").get_attribute("innerHTML")
            browser.find_element(By.CSS_SELECTOR, "#tree g.node").click()
            check("SATZ" in browser.find_element(By.ID, "node-info").text, "node details")
            browser.save_screenshot(os.path.join(shots, "page-tree.png"))
            browser.find_element(By.ID, "next").click()
            WebDriverWait(browser, 20).until(
                lambda b: "analysis 2 of 2" in b.find_element(By.ID, "position").text)
            check(browser.find_element(By.ID, "tree").get_attribute("innerHTML") != first_svg,
                  "the second analysis is drawn")
            check(browser.find_element(By.ID, "next").get_attribute("disabled") is not None,
                  "no analysis after the last")

            # A failing sentence: no tree, the chart, the diagnosis.
            analyse(browser, "Der Hund bellen.")
            check(browser.find_elements(By.CSS_SELECTOR, "#tree g.node") == [], "no tree")
            check(len(browser.find_elements(By.CSS_SELECTOR, "#chart .cell")) ==
                  json_record(folder, "Der Hund bellen.")["node_count"], "chart of a failing sentence")
            diagnosis = browser.find_element(By.ID, "diagnosis").text
            check("NPHR(DETA NOMN)" in diagnosis and "condition" in diagnosis, "diagnosis: " + diagnosis)
            analyse(browser, "Das Mann schläft.")
            check("Neighbours no rule joins" in browser.find_element(By.ID, "diagnosis").text,
                  "missing neighbours")
            browser.save_screenshot(os.path.join(shots, "page-diagnosis.png"))

            # A suite, run; a rule removed and the grammar reloaded; run again.
            with open(os.path.join(folder, "saetze.suite"), encoding="latin-1") as f:
                suite = f.read()
            area = browser.find_element(By.ID, "suite-text")
            browser.execute_script("arguments[0].value = arguments[1];", area, suite)
            browser.find_element(By.ID, "run-suite").click()
            WebDriverWait(browser, 30).until(
                lambda b: "80 passed, 0 failed" in b.find_element(By.ID, "suite-summary").text)
            check(len(browser.find_elements(By.CSS_SELECTOR, "#suite-table tbody tr")) == 80, "80 rows")
            rules = os.path.join(folder, "regeln.txt")
            with open(rules, encoding="latin-1") as f:
                kept = [line for line in f if not line.startswith("GRAD + ADJS = ADJS")]
            with open(rules, "w", encoding="latin-1") as f:
                f.writelines(kept)
            browser.find_element(By.ID, "reload").click()
            WebDriverWait(browser, 20).until(
                lambda b: "33 rules" in b.find_element(By.ID, "grammar").text)
            browser.find_element(By.ID, "run-suite").click()
            WebDriverWait(browser, 30).until(
                lambda b: "77 passed, 3 failed" in b.find_element(By.ID, "suite-summary").text)
            worse = browser.find_elements(By.CSS_SELECTOR, "#suite-table tr.worse")
            check(len(worse) == 3, "3 rows marked worse, not %d" % len(worse))
            browser.execute_script("document.getElementById('suite-view').scrollIntoView()")
            browser.save_screenshot(os.path.join(shots, "page-suite.png"))
            errors = [e for e in browser.get_log("browser") if e["level"] == "SEVERE"]
            check(errors == [], "errors in the browser's console: %s" % errors)
        finally:
            browser.quit()
        check(server.stop() == 0, "the server ends with status 0")

print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
sys.exit(1 if failures else 0)
