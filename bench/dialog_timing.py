#!/usr/bin/env python3
"""Times Orlimo.exe's buttons on large skins, under Wine in a private Xvfb.

Usage: dialog_timing.py --bin build-win/bin --prefix WINEPREFIX
                        [--exe Orlimo.exe] [--sizes 900000,1000000] [--runs 3]

For each size (UTF-16 units), a skin of that length with CR LF line ends is
put on Wine's clipboard: the example skin repeated (--shape spread: Apply and
Remove change it from top to bottom), or the example skin with its style sheet
grown (--shape long-head: they change only its last few lines). Then each
button is pressed in turn:
paste (click until the text is in the box), Apply and Remove (click until the
report box is up), copy (click until the button's handler has returned). The
times are wall-clock from the posted click, in seconds: the median of the runs,
each in a fresh Orlimo.exe (the machine's other load shows in the spread).
"""
import argparse
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "ui", "tests", "e2e"))
from wine_session import Driver, Program, Wine, XServer  # noqa: E402

MAIN_TITLE = "Orlimo (skin.html) v3.5"
IDOK, IDC_APPLY, IDC_REMOVE, IDC_SKIN_EDIT, IDC_PASTE, IDC_COPY = 1, 1005, 1006, 1007, 1008, 1009
WM_GETTEXTLENGTH = 0x000E


def skin_of_length(units, shape):
    with open(os.path.join(HERE, "..", "examples", "skin.html"), encoding="utf-8") as example:
        skin = example.read().replace("\r\n", "\n").replace("\n", "\r\n")
    if shape == "spread":
        return (skin * (units // len(skin) + 1))[:units]
    head, rest = skin.split("</style>", 1)
    rule = ".entry h2 { font-size: 1.4em; border-bottom: 1px solid #ddd; }\r\n"
    rules = rule * ((units - len(skin)) // len(rule) + 1)
    return head + rules[:units - len(skin)] + "</style>" + rest


def answered(driver, main, deadline=120):
    """Waits until the dialog's thread answers a sent message again."""
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        try:
            return driver.send(main, IDC_SKIN_EDIT, WM_GETTEXTLENGTH)
        except AssertionError:  # the send timed out while the handler ran
            pass
    raise AssertionError("the dialog did not answer")


def measure(driver, main, skin):
    driver.request("clip-set " + skin.encode("utf-16-le").hex(), 120)
    times = {}

    started = time.monotonic()
    driver.post(main, IDC_PASTE, 0x00F5)  # BM_CLICK
    while answered(driver, main) != len(skin):
        time.sleep(0.01)
    times["paste"] = time.monotonic() - started

    for name, button in (("apply", IDC_APPLY), ("remove", IDC_REMOVE)):
        started = time.monotonic()
        driver.post(main, button, 0x00F5)
        box = driver.wait_window("Orlimo", timeout=120, owner=main)
        times[name] = time.monotonic() - started
        driver.click(box, IDOK)
        driver.wait_gone(box)

    started = time.monotonic()
    driver.post(main, IDC_COPY, 0x00F5)
    answered(driver, main)
    times["copy"] = time.monotonic() - started
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--exe", help="the program to time (default: BIN/Orlimo.exe)")
    parser.add_argument("--sizes", default="900000,1000000")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--shape", choices=("spread", "long-head"), default="spread")
    args = parser.parse_args()

    exe = args.exe or os.path.join(args.bin, "Orlimo.exe")
    x = XServer()
    wine = Wine(os.path.abspath(args.prefix), x.display)
    driver = Driver(wine, os.path.join(args.bin, "orlimo_driver.exe"))
    program = None
    try:
        print("| characters | paste s | Apply s | Remove s | copy s |")
        print("|---:|---:|---:|---:|---:|")
        for units in (int(s) for s in args.sizes.split(",")):
            runs = []
            for _ in range(args.runs):
                program = Program(wine, os.path.abspath(exe))
                runs.append(measure(driver, driver.wait_window(MAIN_TITLE, timeout=60),
                                    skin_of_length(units, args.shape)))
                program.stop()
                program = None
            cells = [statistics.median(r[k] for r in runs) for k in ("paste", "apply", "remove", "copy")]
            print(f"| {units:,} | " + " | ".join(f"{c:.2f}" for c in cells) + " |", flush=True)
    finally:
        if program:
            program.stop()
        driver.stop()
        wine.kill_server()
        x.stop()


if __name__ == "__main__":
    main()
