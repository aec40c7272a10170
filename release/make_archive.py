#!/usr/bin/env python3
"""Writes the release archive for Windows users and the checksum file beside it.

    make_archive.py --out DIR/NAME.zip --source-dir TREE ENTRY=FILE...

Every ENTRY (a name inside the archive) gets the bytes of FILE. Two runs on
the same inputs give the same bytes: the entries are sorted by name, all carry
one time (SOURCE_DATE_EPOCH, else the date of the commit checked out in TREE)
and a fixed mode, no extra fields are written, and the text files get Windows
line ends whatever line ends the checkout has. DIR/SHA256SUMS then lists the
archive's SHA-256 digest in the form that `sha256sum -c` reads.
"""
import argparse
import hashlib
import os
import subprocess
import sys
import time
import zipfile

# A zip entry's time is a date from 1980 on.
ZIP_EPOCH_FLOOR = 315532800


def is_text(name):
    return name.endswith(".txt") or name == "LICENSE"


def source_date_epoch(tree):
    value = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    if not value:
        try:
            value = subprocess.run(["git", "-C", tree, "log", "-1", "--format=%ct"], check=True,
                                   capture_output=True, text=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            value = ""
    if not value.isdigit():
        sys.exit("make_archive: no commit date in %s; set SOURCE_DATE_EPOCH" % tree)
    return int(value)


def entry_bytes(name, path):
    with open(path, "rb") as f:
        data = f.read()
    if is_text(name):
        data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return data


def write_archive(out, entries, epoch):
    # The time is written in UTC, so the machine's time zone cannot change it.
    stamp = time.gmtime(max(epoch, ZIP_EPOCH_FLOOR))[:6]
    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3  # Unix, so that unpackers there read the mode
            mode = 0o755 if name.endswith(".exe") else 0o644
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, entry_bytes(name, entries[name]), compresslevel=9)
    # Replaced in one step: an interrupted run never leaves half an archive.
    os.replace(partial, out)


def write_sums(out):
    with open(out, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    sums = os.path.join(os.path.dirname(out), "SHA256SUMS")
    with open(sums, "w", newline="\n") as f:
        f.write("%s  %s\n" % (digest, os.path.basename(out)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("entries", nargs="+", metavar="ENTRY=FILE")
    args = parser.parse_args()
    entries = {}
    for item in args.entries:
        name, sep, path = item.partition("=")
        if not sep or not name or name in entries:
            sys.exit("make_archive: bad or repeated entry %r" % item)
        entries[name] = path
    out = os.path.abspath(args.out)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    write_archive(out, entries, source_date_epoch(args.source_dir))
    write_sums(out)
    print("wrote %s and SHA256SUMS" % out)


if __name__ == "__main__":
    main()
