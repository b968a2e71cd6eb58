#!/usr/bin/python3
"""The web console in a real browser: headless Chromium through WebDriver against the program and
the control-unit simulator. Screenshots go to $VANTORA_WEB_SHOTS when it is set."""

import os
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from station import OPERATOR_PASSWORD, VIEWER_PASSWORD, Station, wait_until  # noqa: E402

SHOTS = os.environ.get("VANTORA_WEB_SHOTS")


def browser():
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage"):
        options.add_argument(flag)
    profile = tempfile.mkdtemp(prefix="vantora-chromium-")
    options.add_argument(f"--user-data-dir={profile}")
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_window_size(1280, 800)
    return driver


def viewport(driver, width, height):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})


def login(driver, url, password):
    driver.get(url)
    field = WebDriverWait(driver, 10).until(lambda d: d.find_element(By.ID, "password"))
    WebDriverWait(driver, 10).until(lambda d: field.is_displayed())
    field.send_keys(password + "\n")


def degrees(driver, element_id):
    text = driver.find_element(By.ID, element_id).text.replace("°", "").strip()
    try:
        return int(text)
    except ValueError:
        return None


def console_shown(driver):
    found = driver.find_elements(By.ID, "console")
    return bool(found) and found[0].is_displayed()


def type_target(driver, text):
    field = driver.find_element(By.ID, "target")
    field.clear()
    field.send_keys(text + "\n")


def still(station, index, seconds=0.6):
    """True when the unit's rotator `index` stands still for `seconds`."""
    before = station.truth()[index]
    time.sleep(seconds)
    return station.truth()[index] == before


class WebConsoleInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.station = Station().start()
        cls.driver = browser()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.station.stop()

    def setUp(self):
        self.driver.switch_to.window(self.driver.window_handles[0])
        if not console_shown(self.driver):
            login(self.driver, self.station.url, OPERATOR_PASSWORD)
        WebDriverWait(self.driver, 10).until(console_shown)
        # Each case starts from a standing unit.
        self.driver.find_element(By.ID, "stop").click()
        wait_until(lambda: still(self.station, 0, 0.3), 5)

    def test_01_a_wrong_password_is_refused(self):
        driver = browser()
        try:
            login(driver, self.station.url, "not-the-password")
            error = WebDriverWait(driver, 10).until(lambda d: d.find_element(By.ID, "login-error").text)
            self.assertEqual(error, "Wrong password")
            self.assertFalse(console_shown(driver))
        finally:
            driver.quit()

    def test_02_the_dial_follows_the_unit_within_a_second(self):
        type_target(self.driver, "40")
        self.assertTrue(wait_until(lambda: self.station.truth()[0] == 40, 30), self.station.truth())
        arrived = time.monotonic()
        shown = wait_until(lambda: degrees(self.driver, "position1") == 40, 3, 0.01)
        self.assertTrue(shown, degrees(self.driver, "position1"))
        self.assertLessEqual(time.monotonic() - arrived, 1.0)

    def test_03_an_elevation_target_reaches_the_unit(self):
        type_target(self.driver, "E30")
        self.assertTrue(wait_until(lambda: self.station.truth()[1] == 30, 20), self.station.truth())
        self.assertEqual(self.driver.find_element(By.ID, "command-error").text, "")

    def test_04_a_dropped_target_text_is_reported_beside_the_box(self):
        type_target(self.driver, "ZZZ")
        error = WebDriverWait(self.driver, 5).until(lambda d: d.find_element(By.ID, "command-error").text)
        self.assertEqual(error, "not a target")

    def test_05_a_preset_and_stop_reach_the_unit(self):
        start = self.station.truth()[0]
        button = WebDriverWait(self.driver, 5).until(
            lambda d: d.find_element(By.CSS_SELECTOR, "#presets button[data-preset='3']"))
        self.assertEqual(button.text, "Beacon")
        button.click()
        self.assertTrue(wait_until(lambda: abs(self.station.truth()[0] - start) >= 3, 10), self.station.truth())
        self.driver.find_element(By.ID, "stop").click()
        time.sleep(0.3)
        self.assertTrue(still(self.station, 0), self.station.truth())
        self.assertNotEqual(self.station.truth()[0], 200)

    def test_06_closing_the_tab_ends_a_held_turn_within_half_a_second(self):
        driver = self.driver
        driver.switch_to.new_window("tab")
        driver.get(self.station.url)  # the session cookie is shared: straight to the console
        WebDriverWait(driver, 10).until(console_shown)
        WebDriverWait(driver, 10).until(lambda d: d.find_element(By.CSS_SELECTOR, "#jog [data-dir='cw']").is_enabled())
        start = self.station.truth()[0]
        ActionChains(driver).click_and_hold(driver.find_element(By.CSS_SELECTOR, "#jog [data-dir='cw']")).perform()
        self.assertTrue(wait_until(lambda: self.station.truth()[0] != start, 5), "the held button did not turn")
        time.sleep(0.5)
        self.assertNotEqual(self.station.truth()[0], start)
        driver.close()
        closed = time.monotonic()
        driver.switch_to.window(driver.window_handles[0])
        time.sleep(max(0.0, 0.5 - (time.monotonic() - closed)))
        stopped_at = self.station.truth()[0]
        time.sleep(1.0)
        self.assertEqual(self.station.truth()[0], stopped_at, "the turn outlived the closed tab")

    def test_07_a_viewer_sees_disabled_controls_and_its_forged_command_is_refused(self):
        driver = browser()
        try:
            login(driver, self.station.url, VIEWER_PASSWORD)
            WebDriverWait(driver, 10).until(console_shown)
            WebDriverWait(driver, 10).until(lambda d: d.find_element(By.ID, "callsign").text == "OK1WEB")
            for selector in ("#stop", "#park", "#target", "#jog button", "#tracking button", "#presets button"):
                for element in driver.find_elements(By.CSS_SELECTOR, selector):
                    self.assertFalse(element.is_enabled(), selector)
            start = self.station.truth()
            reply = driver.execute_async_script("""
                const done = arguments[arguments.length - 1];
                const socket = new WebSocket(`ws://${location.host}/api/live`);
                socket.onmessage = (event) => {
                  const message = JSON.parse(event.data);
                  if (message.type === "state") socket.send(JSON.stringify({cmd: "target", text: "300"}));
                  if (message.type === "reply") { done(message); socket.close(); }
                };
                socket.onerror = () => done(null);
            """)
            self.assertEqual(reply, {"type": "reply", "error": "not allowed"})
            time.sleep(0.5)
            self.assertEqual(self.station.truth()[0], start[0])
        finally:
            driver.quit()

    def test_08_screenshots(self):
        if not SHOTS:
            self.skipTest("VANTORA_WEB_SHOTS is not set")
        shoot(self.driver, "en")


def shoot(driver, language):
    os.makedirs(SHOTS, exist_ok=True)
    for width, height in ((390, 844), (1280, 800)):
        viewport(driver, width, height)
        time.sleep(0.5)
        wide = driver.execute_script("return document.documentElement.scrollWidth")
        if wide > width:
            raise AssertionError(f"{wide} px wide at {width} px: the page scrolls sideways")
        driver.save_screenshot(os.path.join(SHOTS, f"web-{language}-{width}x{height}.png"))
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


class WebConsoleInCzech(unittest.TestCase):
    def test_texts_follow_the_language_setting(self):
        station = Station(language=1).start()
        driver = browser()
        try:
            driver.get(station.url)
            button = WebDriverWait(driver, 10).until(lambda d: d.find_element(By.CSS_SELECTOR, "#login-form button"))
            WebDriverWait(driver, 10).until(lambda d: button.text != "Log in")
            self.assertEqual(driver.find_element(By.TAG_NAME, "html").get_attribute("lang"), "cs")
            login(driver, station.url, OPERATOR_PASSWORD)
            WebDriverWait(driver, 10).until(console_shown)
            self.assertEqual(driver.find_element(By.CSS_SELECTOR, "[data-text='Presets']").text, "Předvolby")
            if SHOTS:
                shoot(driver, "cs")
        finally:
            driver.quit()
            station.stop()


class PhoneLayout(unittest.TestCase):
    def test_no_sideways_scroll_and_buttons_at_least_44_px_high(self):
        station = Station().start()
        driver = browser()
        try:
            viewport(driver, 360, 640)
            login(driver, station.url, OPERATOR_PASSWORD)
            WebDriverWait(driver, 10).until(console_shown)
            WebDriverWait(driver, 10).until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#presets button")) == 8)
            self.assertLessEqual(driver.execute_script("return document.documentElement.scrollWidth"), 360)
            heights = driver.execute_script(
                "return [...document.querySelectorAll('#console button')].map(b => b.getBoundingClientRect().height)")
            self.assertTrue(heights)
            self.assertGreaterEqual(min(heights), 44)
            stop = driver.find_element(By.ID, "stop").rect
            self.assertLessEqual(stop["y"] + stop["height"], 640, "STOP is not in view")
        finally:
            driver.quit()
            station.stop()


if __name__ == "__main__":
    unittest.main(verbosity=2)
