#!/usr/bin/env python3
"""Orlimo.exe as a person uses it, under Wine in a private Xvfb.

Usage: run_e2e.py --bin BUILD/bin --prefix WINEPREFIX --out DIR

Real key presses and mouse clicks go through xdotool; the driver (a small
Windows program in the same Wine) finds the windows, presses buttons and reads
what the windows and the clipboard hold. Every step waits by polling with a
deadline. Prints one line per test and ends with "N passed, N failed".
"""
import argparse
import os
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_session import (Driver, Program, TestFailure, Wine, XServer,  # noqa: E402
                          poll)

MAIN_TITLE = "Orlimo (skin.html) v3.5"
ABOUT_TITLE = "Orlimo에 대하여\u2026"
REPORT_TITLE = "Orlimo"

IDOK, IDCANCEL = 1, 2
IDC_APPLY, IDC_REMOVE, IDC_SKIN_EDIT, IDC_PASTE, IDC_COPY = 1005, 1006, 1007, 1008, 1009
IDS_UNPAIRED_SURROGATE, IDS_FILE_IS_FOLDER, IDS_FILE_UNREADABLE = 111, 114, 115
IDS_FILE_TOO_LARGE, IDS_FILE_NOT_TEXT, IDS_DROP_ONE_FILE = 116, 117, 118
MESSAGE_BOX_TEXT = 0xFFFF  # the static control of a message box
WM_SYSCOMMAND, EM_SETLIMITTEXT = 0x0112, 0x00C5

SCRIPT_LINE = '<script type="text/javascript" src="./images/bbcode35.js"></script>\r\n'
COMMENT = "[##_rp_rep_desc_##]"
GUEST = "[##_guest_rep_desc_##]"
SKIN = (
    "<html>\r\n<head>\r\n<title>나의 블로그 🐱</title>\r\n</head>\r\n<body>\r\n"
    f"<ol>\r\n<li><p>{COMMENT}</p></li>\r\n</ol>\r\n"
    f'<div class="guest">{GUEST}</div>\r\n'
    "<p>방명록에 글을 남겨 주세요 😀</p>\r\n</body>\r\n</html>\r\n")
APPLIED = (SKIN.replace("</head>", SCRIPT_LINE + "</head>")
           .replace(f"<p>{COMMENT}</p>", f'<div class="bbcode"><p>{COMMENT}</p></div>')
           .replace(GUEST, f'<div class="bbcode">{GUEST}</div>'))


class Session:
    """One X server and Wine prefix shared by the tests; each test starts
    its own Orlimo.exe."""

    def __init__(self, args):
        self.bin = args.bin
        self.out = args.out
        self.x = XServer()
        self.wine = Wine(args.prefix, self.x.display)
        self.clipboard_owner = None
        # The first program in a fresh prefix waits for Wine's font cache.
        self.driver = Driver(self.wine, os.path.join(self.bin, "orlimo_driver.exe"))
        self.program = None

    def close(self):
        for stop in (self.stop_program, self.stop_clipboard_owner, self.driver.stop,
                     self.wine.kill_server, self.x.stop):
            try:
                stop()
            except Exception:  # noqa: BLE001 - cleaning up whatever is left
                traceback.print_exc()

    # ---- The program ---------------------------------------------------------
    def start_program(self):
        self.stop_program()
        self.program = Program(self.wine, os.path.join(self.bin, "Orlimo.exe"))
        main = self.driver.wait_window(MAIN_TITLE, timeout=60)
        self.focus_desktop()
        poll("the edit box to have the focus",
             lambda: self.driver.focus(main) == IDC_SKIN_EDIT)
        return main

    def stop_program(self):
        if self.program:
            self.program.stop()
            self.program = None

    # ---- Keys, mouse, clipboard and screen of the X side ------------------------
    def focus_desktop(self):
        """Gives the X focus to Wine's desktop window, so keys reach Wine."""
        found = self.wine.run_tool(["xdotool", "search", "--name", "Wine desktop"],
                                   capture_output=True, text=True, timeout=30)
        ids = found.stdout.split()
        if not ids:
            raise TestFailure("no Wine desktop window on the X display")
        self.wine.run_tool(["xdotool", "windowfocus", "--sync", ids[0]], timeout=30,
                           check=True)

    def keys(self, *names):
        self.wine.run_tool(["xdotool", "key", "--delay", "60", *names], timeout=30, check=True)

    def type_text(self, text):
        self.wine.run_tool(["xdotool", "type", "--delay", "60", text], timeout=30, check=True)

    def click_at(self, x, y):
        # Not --sync: that waits for the pointer to move, which it never does
        # when it is already there.
        self.wine.run_tool(["xdotool", "mousemove", str(x), str(y), "click", "1"],
                           timeout=30, check=True)

    def drag(self, x, y, to_x, to_y):
        """Presses the left button at (x, y), moves to (to_x, to_y) and lets go."""
        self.wine.run_tool(["xdotool", "mousemove", str(x), str(y), "mousedown", "1", "sleep", "0.2",
                            "mousemove", str((x + to_x) // 2), str((y + to_y) // 2), "sleep", "0.2",
                            "mousemove", str(to_x), str(to_y), "sleep", "0.2", "mouseup", "1"],
                           timeout=30, check=True)

    def set_x_clipboard(self, text):
        """Owns the X clipboard with `text` (UTF-8) until replaced."""
        self.stop_clipboard_owner()
        self.clipboard_owner = subprocess.Popen(
            ["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.wine.env,
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.clipboard_owner.stdin.write(text.encode("utf-8"))
        self.clipboard_owner.stdin.close()

    def stop_clipboard_owner(self):
        if self.clipboard_owner and self.clipboard_owner.poll() is None:
            self.clipboard_owner.kill()
            self.clipboard_owner.wait(10)
        self.clipboard_owner = None

    def x_clipboard(self):
        result = self.wine.run_tool(["xclip", "-selection", "clipboard", "-o"],
                                    capture_output=True, timeout=10)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None

    def screenshot(self, hwnd, name):
        left, top, right, bottom = self.driver.rect(hwnd)
        os.makedirs(self.out, exist_ok=True)
        path = os.path.join(self.out, name)
        self.wine.run_tool(["import", "-window", "root", "-crop",
                            f"{right - left}x{bottom - top}+{left}+{top}", "+repage", path],
                           timeout=60, check=True)
        return path

    def screenshot_root(self, name):
        os.makedirs(self.out, exist_ok=True)
        self.wine.run_tool(["import", "-window", "root", os.path.join(self.out, name)],
                           timeout=60, check=True)

    # ---- What the windows show ----------------------------------------------
    def edit_text(self, main):
        return self.driver.text(main, IDC_SKIN_EDIT)

    def wait_edit_text(self, main, expected, what):
        def holds():
            try:
                return self.edit_text(main) == expected
            except TestFailure:  # the dialog has gone: the wait fails with `what`
                return False
        poll(what, holds)

    def expect_report(self, main, text, timeout=20):
        """Waits for the message box over `main`, checks its caption and text
        (or string-table id), and returns its window."""
        if isinstance(text, int):
            text = self.driver.load_string(os.path.join(self.bin, "Orlimo.exe"), text)
        box = self.driver.wait_window(REPORT_TITLE, timeout=timeout, owner=main)
        shown = self.driver.text(box, MESSAGE_BOX_TEXT)
        if shown != text:
            raise TestFailure(f"message box says {shown!r}, expected {text!r}")
        return box

    def dismiss(self, box):
        self.driver.click(box, IDOK)
        self.driver.wait_gone(box)


def check(condition, message):
    if not condition:
        raise TestFailure(message)


# ---- Tests -----------------------------------------------------------------------

def test_paste_apply_copy_remove_undo(s):
    main = s.start_program()
    s.set_x_clipboard(SKIN)
    # Wine reads the X clipboard on demand; the text may take a moment to cross.
    poll("the skin to reach Wine's clipboard", lambda: s.driver.clipboard() == SKIN)
    s.driver.click(main, IDC_PASTE)
    s.wait_edit_text(main, SKIN, "the pasted skin in the edit box")

    # After a command the focus is back in the edit box: Enter on the report,
    # then Ctrl+Z takes the command back and Ctrl+Z again redoes it.
    s.driver.click(main, IDC_APPLY)
    box = s.expect_report(main, "3 개의 BBCode 관련 코드 추가")
    check(s.edit_text(main) == APPLIED, "the changed text is in place while the report is up")
    s.keys("Return")
    s.driver.wait_gone(box)
    s.keys("ctrl+z")
    s.wait_edit_text(main, SKIN, "Ctrl+Z right after Apply to bring back the pasted skin")
    s.keys("ctrl+z")
    s.wait_edit_text(main, APPLIED, "a second Ctrl+Z to redo Apply")

    s.driver.click(main, IDC_COPY)
    poll("the changed skin on Wine's clipboard", lambda: s.driver.clipboard() == APPLIED)
    # Wine's X clipboard bridge turns each CR LF into LF on the way out; that is
    # the only difference allowed on the X side.
    poll("the changed skin on the X clipboard",
         lambda: s.x_clipboard() == APPLIED.replace("\r\n", "\n"), timeout=15)

    s.driver.click(main, IDC_REMOVE)
    box = s.expect_report(main, "3 개의 BBCode 관련 코드 제거!")
    check(s.edit_text(main) == SKIN, "Remove gives back the pasted skin")
    s.dismiss(box)
    s.keys("ctrl+z")
    s.wait_edit_text(main, APPLIED, "Ctrl+Z to bring back the text from before Remove")

    # Paste replaces the whole text, whatever was selected; Ctrl+Z takes it back.
    s.set_x_clipboard("새 스킨")
    poll("the new text on Wine's clipboard", lambda: s.driver.clipboard() == "새 스킨")
    s.driver.click(main, IDC_PASTE)
    s.wait_edit_text(main, "새 스킨", "paste to replace the whole text")
    s.keys("ctrl+z")
    s.wait_edit_text(main, APPLIED, "Ctrl+Z right after paste")


def test_a_long_skin_is_never_cut(s):
    """A skin past the 1,000,000 characters the box once took goes in by
    paste, through Apply and out by copy whole."""
    main = s.start_program()
    head, tail = "<html>\r\n<head>\r\n</head>\r\n<body>\r\n", "</body>\r\n</html>\r\n<!-- 끝 -->"
    line = f"<p>{COMMENT}</p>" + "<i>글</i>" * 200 + "\r\n"
    lines = (1_050_000 - len(head) - len(tail)) // len(line) + 1
    skin = head + line * lines + tail
    s.driver.set_clipboard(skin)
    s.driver.click(main, IDC_PASTE)
    poll("the whole skin in the edit box", lambda: len(s.edit_text(main)) == len(skin))
    s.driver.click(main, IDC_APPLY)
    s.dismiss(s.expect_report(main, f"{lines + 1} 개의 BBCode 관련 코드 추가", timeout=60))
    s.driver.click(main, IDC_COPY)
    applied = (skin.replace("</head>", SCRIPT_LINE + "</head>")
               .replace(f"<p>{COMMENT}</p>", f'<div class="bbcode"><p>{COMMENT}</p></div>'))
    check(applied.endswith("<!-- 끝 -->"), "the skin ends with its marker")
    poll("Apply's text, marker and all, on the clipboard", lambda: s.driver.clipboard() == applied)


def test_resizing_grows_the_edit_box(s):
    main = s.start_program()
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "..", "examples", "skin.html"),
              encoding="utf-8") as example:
        s.driver.set_text(main, IDC_SKIN_EDIT, example.read().replace("\n", "\r\n"))
    window = s.driver.rect(main)
    buttons = (IDC_PASTE, IDC_APPLY, IDC_REMOVE, IDC_COPY, IDCANCEL)
    before = {i: s.driver.rect(main, i) for i in (IDC_SKIN_EDIT, *buttons)}
    # The bottom-right corner dragged with the mouse: the edit box takes the
    # room, the buttons keep their size and their place at the bottom right.
    s.drag(window[2] - 2, window[3] - 2, window[2] + 298, window[3] + 178)
    grown = poll("the window to grow", lambda: (r := s.driver.rect(main)) != window and r)
    dx, dy = grown[2] - window[2], grown[3] - window[3]
    check(grown[:2] == window[:2] and (dx, dy) == (300, 180), f"{window} dragged to {grown}")
    left, top, right, bottom = before[IDC_SKIN_EDIT]
    check(s.driver.rect(main, IDC_SKIN_EDIT) == (left, top, right + dx, bottom + dy),
          "the edit box grows with the window")
    for i in buttons:
        left, top, right, bottom = before[i]
        check(s.driver.rect(main, i) == (left + dx, top + dy, right + dx, bottom + dy),
              f"button {i} keeps its size at the bottom right")
    s.screenshot(main, "orlimo-dialog.png")
    # The template's size is the smallest.
    s.drag(grown[2] - 2, grown[3] - 2, window[0] + 100, window[1] + 100)
    poll("the window back at its smallest", lambda: s.driver.rect(main) == window)


def test_dropping_a_file_loads_it(s):
    main = s.start_program()
    folder = os.path.join(s.out, "drop")
    os.makedirs(folder, exist_ok=True)
    korean = "<title>나의 블로그</title>\r\n<p>방명록에 글을 남겨 주세요</p>\r\n"
    files = {"skin-utf8.html": SKIN.encode("utf-8-sig"), "skin-cp949.html": korean.encode("cp949"),
             "binary.bin": b"GIF89a\x00\x01"}
    paths = {}
    for name, data in files.items():
        paths[name] = os.path.join(folder, name)
        with open(paths[name], "wb") as out:
            out.write(data)
    s.driver.set_text(main, IDC_SKIN_EDIT, "그 전의 텍스트")
    s.driver.drop(main, [paths["skin-utf8.html"]])
    s.wait_edit_text(main, SKIN, "the UTF-8 skin (byte-order mark dropped) in the box")
    s.driver.drop(main, [paths["skin-cp949.html"]])
    s.wait_edit_text(main, korean, "the code page 949 skin, Hangul intact, in the box")
    s.keys("ctrl+z")
    s.wait_edit_text(main, SKIN, "Ctrl+Z after a drop to bring back the text from before it")

    refused = [([folder], IDS_FILE_IS_FOLDER),
               ([os.path.join(folder, "missing.html")], IDS_FILE_UNREADABLE),
               ([paths["skin-utf8.html"], paths["skin-cp949.html"]], IDS_DROP_ONE_FILE),
               ([paths["binary.bin"]], IDS_FILE_NOT_TEXT)]
    for dropped, message in refused + [("limit", IDS_FILE_TOO_LARGE)]:
        if dropped == "limit":  # a box that takes fewer characters than the file has
            s.driver.send(main, IDC_SKIN_EDIT, EM_SETLIMITTEXT, len(SKIN) - 1)
            dropped = [paths["skin-utf8.html"]]
        s.driver.drop(main, dropped)
        s.dismiss(s.expect_report(main, message))
        check(s.edit_text(main) == SKIN, f"the text is left as it was (message {message})")


def test_escape_and_enter(s):
    main = s.start_program()
    s.driver.set_text(main, IDC_SKIN_EDIT, "줄 하나")
    s.keys("ctrl+End", "Escape")
    s.type_text("a")
    s.keys("Return")
    s.type_text("b")
    # The letters arrive after Escape, so once they are there Escape has been
    # handled: it neither closed the dialog nor reached the edit box.
    s.wait_edit_text(main, "줄 하나a\r\nb", "Escape ignored and Enter starting a new line")
    check(s.driver.count_windows(MAIN_TITLE) == 1, "the dialog is still open")

    s.keys("Tab")
    poll("the focus on the paste button", lambda: s.driver.focus(main) == IDC_PASTE)
    s.keys("Escape", "shift+Tab")
    poll("the focus back in the edit box", lambda: s.driver.focus(main) == IDC_SKIN_EDIT)
    check(s.driver.count_windows(MAIN_TITLE) == 1, "Escape on a button leaves the dialog open")
    check(s.edit_text(main) == "줄 하나a\r\nb", "the text is unchanged")


def test_help_key_opens_about(s):
    main = s.start_program()
    s.driver.set_text(main, IDC_SKIN_EDIT, SKIN)
    s.keys("F1")
    about = s.driver.wait_window(ABOUT_TITLE, owner=main)
    check(s.driver.text(about, IDOK) == "확인", "the About box's button reads 확인")
    s.screenshot(about, "orlimo-about.png")

    # F1 inside the About box must open nothing: were a second box to open,
    # Escape would close only that one and the count would never reach 0.
    s.keys("F1", "Escape")
    poll("Escape to close the About box", lambda: s.driver.count_windows(ABOUT_TITLE) == 0)
    check(s.driver.count_windows(MAIN_TITLE) == 1, "the main dialog is still open")
    check(s.edit_text(main) == SKIN, "the main dialog's text is unchanged")


def test_system_menu_about(s):
    main = s.start_program()
    # Alt+Space opens the system menu; Up wraps round to its last entry.
    check(not s.driver.in_menu(main), "no menu is open yet")
    s.keys("alt+space")
    poll("the system menu to open", lambda: s.driver.in_menu(main))
    s.keys("Up", "Return")
    about = s.driver.wait_window(ABOUT_TITLE, owner=main)
    s.keys("Return")  # 확인 is the default button
    s.driver.wait_gone(about)

    # Every system command from 0x0010 to 0x001F is the About entry.
    s.driver.post(main, 0, WM_SYSCOMMAND, 0x001F)
    about = s.driver.wait_window(ABOUT_TITLE, owner=main)
    s.driver.click(about, IDOK)
    s.driver.wait_gone(about)
    check(s.driver.count_windows(MAIN_TITLE) == 1, "the main dialog is still open")


def test_unpaired_surrogate_is_refused(s):
    main = s.start_program()
    text = "<head>\r\n</head>\r\nbroken \ud800 pair\r\n"
    s.driver.set_text(main, IDC_SKIN_EDIT, text)
    s.driver.click(main, IDC_APPLY)
    s.dismiss(s.expect_report(main, IDS_UNPAIRED_SURROGATE))
    check(s.edit_text(main) == text, "the text is left as it was")


def test_exit_button_ends_the_program(s):
    main = s.start_program()
    s.driver.click(main, IDCANCEL)
    s.program.wait_exit()
    s.driver.wait_gone(main)
    left = [title for _, title in s.driver.top_windows() if title.startswith("Orlimo")]
    check(not left, f"windows left behind: {left}")


def test_close_box_ends_the_program(s):
    main = s.start_program()
    x, y = s.driver.close_point(main)
    s.click_at(x, y)
    s.program.wait_exit()
    check(s.driver.count_windows(MAIN_TITLE) == 0, "no dialog remains")


TESTS = [
    test_paste_apply_copy_remove_undo,
    test_a_long_skin_is_never_cut,
    test_resizing_grows_the_edit_box,
    test_dropping_a_file_loads_it,
    test_escape_and_enter,
    test_help_key_opens_about,
    test_system_menu_about,
    test_unpaired_surrogate_is_refused,
    test_exit_button_ends_the_program,
    test_close_box_ends_the_program,
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("-k", dest="only", help="run only tests whose name contains this")
    args = parser.parse_args()
    args.bin = os.path.abspath(args.bin)
    args.prefix = os.path.abspath(args.prefix)

    passed = failed = 0
    session = Session(args)
    try:
        for test in TESTS:
            if args.only and args.only not in test.__name__:
                continue
            started = time.monotonic()
            try:
                test(session)
                passed += 1
                print(f"PASS {test.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
            except Exception as error:  # noqa: BLE001 - a test's failure, reported
                failed += 1
                print(f"FAIL {test.__name__}: {error}", flush=True)
                if not isinstance(error, TestFailure):
                    traceback.print_exc()
                try:
                    session.screenshot_root(f"failure-{test.__name__}.png")
                except Exception:  # noqa: BLE001
                    pass
            finally:
                session.stop_program()
    finally:
        session.close()
    print(f"e2e: {passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
