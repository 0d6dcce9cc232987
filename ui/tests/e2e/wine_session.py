"""The pieces of an end-to-end run under Wine: a private X server, the Wine
environment, Orlimo.exe itself and the driver that looks at its windows.

Everything waits by polling with a deadline; nothing waits forever.
"""
import os
import select
import shutil
import signal
import subprocess
import time


class TestFailure(AssertionError):
    pass


def poll(what, probe, timeout=10.0, interval=0.05):
    """Calls probe() until it returns something true; returns that. Raises
    TestFailure naming `what` when `timeout` seconds pass first."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = probe()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise TestFailure(f"timed out after {timeout:.0f} s waiting for {what} (last: {last!r})")
        time.sleep(interval)


def to_hex(text):
    """Text as the driver takes it: hex of UTF-16LE; lone surrogates pass."""
    return text.encode("utf-16-le", "surrogatepass").hex() or "-"


def windows_path(path):
    """A Linux path as Wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def from_hex(hex_text):
    if hex_text == "-":
        return ""
    return bytes.fromhex(hex_text).decode("utf-16-le", "surrogatepass")


class XServer:
    """An Xvfb of our own, on whatever display number is free."""

    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            # Xvfb writes the number and then a newline; it gives up if the pipe
            # closes in between.
            answer = b""
            deadline = time.monotonic() + 30
            while not answer.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
                chunk = os.read(read_end, 64) if ready else b""
                if not chunk:
                    raise TestFailure("Xvfb did not start within 30 s")
                answer += chunk
            number = answer.decode().strip()
        finally:
            os.close(read_end)
        self.display = f":{number}"

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)


class Wine:
    """Runs Windows programs in one prefix on one X display."""

    def __init__(self, prefix, display):
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "DISPLAY": display,
        })
        self.wine = shutil.which("wine") or "wine"

    def start(self, exe, *args, **kwargs):
        return subprocess.Popen([self.wine, exe, *args], env=self.env, **kwargs)

    def run(self, exe, *args, timeout=300, **kwargs):
        return subprocess.run([self.wine, exe, *args], env=self.env, timeout=timeout, **kwargs)

    def run_tool(self, argv, timeout=60, **kwargs):
        """A Linux tool (xdotool, xclip, import) on the same display."""
        return subprocess.run(argv, env=self.env, timeout=timeout, **kwargs)

    def kill_server(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Driver:
    """orlimo_driver.exe, one request and one reply per line."""

    def __init__(self, wine, exe):
        self.process = wine.start(exe, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        self.buffer = b""
        self.request("ping", timeout=60)

    def request(self, line, timeout=30):
        """Sends one request; returns the words of an "ok" reply."""
        self.process.stdin.write(line.encode() + b"\n")
        self.process.stdin.flush()
        deadline = time.monotonic() + timeout
        out = self.process.stdout.fileno()
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or self.process.poll() is not None:
                raise TestFailure(f"driver gave no answer to {line.split()[0]!r}")
            ready, _, _ = select.select([out], [], [], left)
            if ready:
                chunk = os.read(out, 1 << 20)
                if not chunk:
                    raise TestFailure("driver ended")
                self.buffer += chunk
        reply, self.buffer = self.buffer.split(b"\n", 1)
        words = reply.decode().strip().split(" ")
        if words[0] != "ok":
            raise TestFailure(f"driver: {line.split()[0]}: {' '.join(words[1:])}")
        return words[1:]

    def stop(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
                self.process.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait(10)

    # ---- Convenience over the raw requests ------------------------------------
    def wait_window(self, title, timeout=20, owner=None):
        ms = int(timeout * 1000)
        owner_arg = f" {owner}" if owner else ""
        return self.request(f"wait-window {to_hex(title)} {ms}{owner_arg}", timeout + 10)[0]

    def count_windows(self, title):
        return int(self.request(f"count-windows {to_hex(title)}")[0])

    def wait_gone(self, hwnd, timeout=20):
        self.request(f"wait-gone {hwnd} {int(timeout * 1000)}", timeout + 10)

    def top_windows(self):
        """[(class, title)] of the visible top-level windows."""
        pairs = []
        for item in self.request("top-windows"):
            cls, title = item.split(":")
            pairs.append((from_hex(cls), from_hex(title)))
        return pairs

    def text(self, hwnd, control_id=0):
        return from_hex(self.request(f"get-text {hwnd} {control_id}", 60)[0])

    def set_text(self, hwnd, control_id, text):
        self.request(f"set-text {hwnd} {control_id} {to_hex(text)}", 60)

    def click(self, hwnd, control_id):
        self.request(f"click {hwnd} {control_id}")

    def send(self, hwnd, control_id, message, wparam=0, lparam=0):
        return int(self.request(f"send {hwnd} {control_id} {message} {wparam} {lparam}")[0])

    def post(self, hwnd, control_id, message, wparam=0, lparam=0):
        self.request(f"post {hwnd} {control_id} {message} {wparam} {lparam}")

    def focus(self, hwnd):
        value = self.request(f"focus {hwnd}")[0]
        return None if value == "none" else int(value)

    def in_menu(self, hwnd):
        """Whether the window's thread is tracking a menu."""
        return self.request(f"menu-mode {hwnd}")[0] == "1"

    def rect(self, hwnd, control_id=None):
        """(left, top, right, bottom) of a window or of one of its controls."""
        target = f"{hwnd}" if control_id is None else f"{hwnd} {control_id}"
        return tuple(int(v) for v in self.request(f"rect {target}"))

    def close_point(self, hwnd):
        return tuple(int(v) for v in self.request(f"close-point {hwnd}"))

    def clipboard(self):
        return from_hex(self.request("clip-get", 60)[0])

    def set_clipboard(self, text):
        self.request(f"clip-set {to_hex(text)}", 60)

    def drop(self, hwnd, paths):
        """Drops files (Linux paths) on the window, as from a file manager."""
        self.request(f"drop {hwnd} " + " ".join(to_hex(windows_path(p)) for p in paths))

    def load_string(self, exe, string_id):
        """The string of a program file's string table."""
        return from_hex(self.request(f"load-string {to_hex(windows_path(exe))} {string_id}")[0])


class Program:
    """Orlimo.exe, started under Wine; stop() makes sure it is gone."""

    def __init__(self, wine, exe):
        self.process = wine.start(exe, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired as error:
            raise TestFailure(f"the program did not end within {timeout} s") from error

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait(10)
