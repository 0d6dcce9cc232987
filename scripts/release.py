#!/usr/bin/env python3
"""Usage: scripts/release.py ORLIMO_EXE BUILD_DIR

Packs what a person downloads: BUILD_DIR/Orlimo-<version>-win64.zip with
Orlimo.exe, the licence, the Korean user guide and its screenshot, and the
web page and bbcode35.js (the script a skin loads) when scripts/build-web.sh
has built them in build-web/; the same files unpacked in
BUILD_DIR/Orlimo-<version>-win64/ (the folder Windows makes when it extracts
the zip); and BUILD_DIR/SHA256SUMS for the zip and each file in it, as
`sha256sum -c` reads it beside them.

The same inputs give the same zip: entries in sorted order, one fixed mode,
and every time SOURCE_DATE_EPOCH (default: the date of the checked-out commit).
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def version():
    text = open(os.path.join(ROOT, "core", "version.h"), encoding="utf-8").read()
    return re.search(r'#define ORLIMO_VERSION_STRING "([^"]+)"', text).group(1)


def source_date_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    git = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"],
                         capture_output=True, text=True)
    if git.returncode != 0 or not git.stdout.strip():
        sys.exit("release.py: not a git checkout; set SOURCE_DATE_EPOCH to the release's date")
    return int(git.stdout)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[0])
    exe, build = sys.argv[1], sys.argv[2]
    files = {  # name in the zip: source
        "Orlimo.exe": exe,
        "LICENSE": os.path.join(ROOT, "LICENSE"),
        "user-guide-ko.html": os.path.join(ROOT, "docs", "user-guide-ko.html"),
        "orlimo-dialog.png": os.path.join(ROOT, "docs", "orlimo-dialog.png"),
    }
    for built, what in (("orlimo.html", "the web page"), ("bbcode35.js", "bbcode35.js")):
        path = os.path.join(ROOT, "build-web", built)
        if os.path.isfile(path):
            files[built] = path
        else:
            print(f"release.py: no {path}: the zip goes without {what}")

    missing = [path for path in files.values() if not os.path.isfile(path)]
    if missing:
        sys.exit(f"release.py: missing {', '.join(missing)}")
    epoch = source_date_epoch()
    # Zip times are local dates without a zone, from 1980 on: UTC, no earlier.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    name = f"Orlimo-{version()}-win64"
    folder = os.path.join(build, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    archive = os.path.join(build, name + ".zip")
    with zipfile.ZipFile(archive + ".tmp", "w") as z:
        for entry in sorted(files):
            target = os.path.join(folder, entry)
            shutil.copyfile(files[entry], target)
            os.utime(target, (epoch, epoch))
            info = zipfile.ZipInfo(entry, stamp)
            info.create_system = 3  # Unix, so that the mode below is read as one
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(target, "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)
    os.replace(archive + ".tmp", archive)

    sums = [(sha256(archive), name + ".zip")]
    sums += [(sha256(os.path.join(folder, entry)), f"{name}/{entry}") for entry in sorted(files)]
    with open(os.path.join(build, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as f:
        f.writelines(f"{digest}  {path}\n" for digest, path in sums)
    print(f"{archive}: {os.path.getsize(archive)} bytes, {len(files)} files")


if __name__ == "__main__":
    main()
