"""Drives the real quorvane binary under Xvfb with xdotool: real mouse clicks, typing and
drags. The program, started with QUORVANE_WIDGET_MAP, writes where its controls are; the
driver reads that map to know where to click and what the screen shows."""

import json
import os
import shutil
import signal
import sqlite3
import subprocess
import tempfile
import time


class DriverError(AssertionError):
    pass


class Display:
    """A private Xvfb server."""

    def __init__(self, number=None):
        # QUORVANE_XVFB_DISPLAY names a display number of one's own where several people
        # run the scripted tests on one machine.
        self.number = number or int(os.environ.get("QUORVANE_XVFB_DISPLAY") or 90 + os.getpid() % 100)
        self.name = f":{self.number}"
        self.proc = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while time.time() < deadline:
            if subprocess.run(["xdotool", "getmouselocation"], env=self.env(),
                              capture_output=True).returncode == 0:
                return
            time.sleep(0.1)
        raise DriverError("Xvfb did not start")

    def env(self):
        e = dict(os.environ)
        e["DISPLAY"] = self.name
        e.pop("QT_QPA_PLATFORM", None)
        return e

    def close(self):
        self.proc.terminate()
        self.proc.wait(5)


class Program:
    """One run of quorvane in a data folder."""

    def __init__(self, display, binary, workdir):
        self.display = display
        self.workdir = workdir
        self.map_file = os.path.join(workdir, "widgets.json")
        if os.path.exists(self.map_file):
            os.remove(self.map_file)
        env = display.env()
        env["QUORVANE_WIDGET_MAP"] = self.map_file
        env["QT_QPA_PLATFORM"] = "xcb"
        env["ASAN_OPTIONS"] = "detect_leaks=0"
        self.log = open(os.path.join(workdir, "quorvane.log"), "ab")
        self.proc = subprocess.Popen([binary], cwd=workdir, env=env, stdout=self.log, stderr=self.log)

    # --- reading the screen -------------------------------------------------------------
    def widgets(self):
        try:
            with open(self.map_file, encoding="utf-8") as f:
                return json.load(f)
        except (OSError, ValueError):
            return []

    def wait(self, predicate, what, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None and what != "exit":
                raise DriverError(f"program ended while waiting for {what}")
            found = predicate(self.widgets())
            if found:
                return found
            time.sleep(0.05)
        raise DriverError(f"timed out waiting for {what}")

    def find(self, window, name, timeout=15):
        def pred(ws):
            for w in ws:
                if w.get("window") == window and w.get("name") == name:
                    return w
            return None
        return self.wait(pred, f"{window}.{name}", timeout)

    def get(self, window, name):
        for w in self.widgets():
            if w.get("window") == window and w.get("name") == name:
                return w
        return None

    def window_shown(self, window, timeout=15):
        return self.find(window, window, timeout)

    def wait_gone(self, window, timeout=15):
        self.wait(lambda ws: not any(w.get("name") == window and w.get("window") == window for w in ws)
                  or None, f"{window} hidden", timeout)

    def message(self, timeout=15):
        """The text of the message box on screen."""
        def pred(ws):
            modal = [w for w in ws if w.get("modal")]
            if not modal:
                return None
            title = modal[0]["window"]
            texts = [w.get("text", "") for w in ws if w.get("window") == title and w["class"] == "QLabel"
                     and w.get("text")]
            buttons = [w for w in ws if w.get("window") == title and "Button" in w["class"]]
            return {"text": max(texts, key=len) if texts else "", "buttons": buttons} if buttons else None
        return self.wait(pred, "message box", timeout)

    def answer(self, button_text="OK", timeout=15):
        box = self.message(timeout)
        for b in box["buttons"]:
            if b.get("text", "").replace("&", "") == button_text:
                self.click(b)
                self.wait(lambda ws: not any(w.get("modal") for w in ws) or None, "message closed")
                return box["text"]
        raise DriverError(f"no button {button_text} in {box}")

    # --- acting -------------------------------------------------------------------------
    def xdo(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.display.env(), check=True)

    @staticmethod
    def centre(w):
        return w["x"] + w["w"] // 2, w["y"] + w["h"] // 2

    def click(self, w):
        x, y = self.centre(w)
        self.xdo("mousemove", "--sync", x, y)
        time.sleep(0.05)
        self.xdo("click", "1")
        time.sleep(0.15)

    def click_name(self, window, name):
        self.click(self.find(window, name))

    def type_into(self, window, name, text):
        self.click_name(window, name)
        self.xdo("type", "--delay", "20", text)
        time.sleep(0.1)

    def drag(self, src, dst):
        """A real drag: press on the source, move in steps, release over the target."""
        sx, sy = self.centre(src)
        dx, dy = self.centre(dst)
        self.xdo("mousemove", "--sync", sx, sy)
        time.sleep(0.05)
        self.xdo("mousedown", "1")
        time.sleep(0.1)
        steps = 8
        for i in range(1, steps + 1):
            self.xdo("mousemove", "--sync", sx + (dx - sx) * i // steps, sy + (dy - sy) * i // steps)
            time.sleep(0.04)
        time.sleep(0.1)
        self.xdo("mouseup", "1")
        time.sleep(0.2)

    def wait_exit(self, timeout=15):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired as e:
            raise DriverError("program did not end") from e

    def kill(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait(5)


def prepare(bin_dir, workdir):
    subprocess.run([os.path.join(bin_dir, "mkquorvane"), "Perquorvane"], cwd=workdir, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run([os.path.join(bin_dir, "mkassets"), "Perquorvane"], cwd=workdir, check=True,
                   stdout=subprocess.DEVNULL, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


def records(workdir, table):
    con = sqlite3.connect(os.path.join(workdir, "Perquorvane", "quorvane.mdb"))
    con.row_factory = sqlite3.Row
    try:
        return [dict(r) for r in con.execute(f'SELECT * FROM "{table}" ORDER BY rowid')]
    finally:
        con.close()


def integrity(workdir):
    con = sqlite3.connect(os.path.join(workdir, "Perquorvane", "quorvane.mdb"))
    try:
        return con.execute("PRAGMA integrity_check").fetchone()[0]
    finally:
        con.close()
