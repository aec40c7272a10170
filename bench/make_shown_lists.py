#!/usr/bin/env python3
"""Builds the game lists that the shown-window benchmark loads into the real
program: many small games rather than a few big ones, since there the cost
that grows is the rows, not the walks.

  small-3000/    3,000 games of a few small files each, one executable each
  small-20000/   20,000 such games
  plain-100000/  100,000 empty game folders at ordinary path depth: every
                 one a real folder (the load drops a game whose folder is
                 gone), none with anything to walk

Each folder holds its games below games/ and a data.ini listing them, as the
program saves it. A list is built once and reused while its stamp (list.txt)
matches what is asked; the executables are hard links to the fixture where
the file system allows, so 20,000 of them cost no space.

Usage: make_shown_lists.py --fixtures <build>/fixtures [--out DIR] [--lists 3000,20000,100000]
"""

import argparse
import os
import shutil
import sys

from make_library import WORDS, windows_path

# Names of the form "Ashen Harbor 01234": unique by their number, of the
# length of real game names.
def game_name(index):
    return "%s %s %05d" % (WORDS[index % len(WORDS)], WORDS[(index // len(WORDS)) % len(WORDS)], index)


def place_executable(fixture, target):
    try:
        os.link(fixture, target)
    except OSError:
        shutil.copyfile(fixture, target)


def small_game(root, name, index, fixture):
    """A few small files and one executable. Every second game keeps it in
    its game folder (listed without an executable folder, so the load looks
    for it again), the others in bin\\x64, listed as such."""
    os.makedirs(os.path.join(root, "data"))
    with open(os.path.join(root, "data", "level0.pak"), "wb") as f:
        f.write(b"\0" * (1000 + index % 7 * 300))
    with open(os.path.join(root, "readme.txt"), "w") as f:
        f.write("%s\n" % name)
    compact = name.replace(" ", "")
    if index % 2:
        os.makedirs(os.path.join(root, "bin", "x64"))
        place_executable(fixture, os.path.join(root, "bin", "x64", compact + ".exe"))
        return "bin\\x64"
    place_executable(fixture, os.path.join(root, compact + ".exe"))
    return ""


def build_list(out, kind, count, fixture, drive):
    stamp = "kind=%s games=%d drive=%s root=%s\n" % (kind, count, drive, os.path.abspath(out))
    stamp_path = os.path.join(out, "list.txt")
    if os.path.isfile(stamp_path) and open(stamp_path).read() == stamp:
        print("list up to date:", out)
        return
    if os.path.exists(out):
        shutil.rmtree(out)
    lines = []
    for index in range(count):
        name = game_name(index)
        # At most 1,000 games per folder, as games are spread over libraries.
        root = os.path.join(out, "games", "%03d" % (index // 1000), name)
        if kind == "small":
            exe_folder = small_game(root, name, index, fixture)
        else:
            os.makedirs(root)
            exe_folder = ""
        lines.append("[Line%d]\r\nPath=%s\r\nExeFolder=%s\r\nName=%s\r\n\r\n"
                     % (index, windows_path(root, drive), exe_folder, name))
    with open(os.path.join(out, "data.ini"), "wb") as f:
        f.write(b"\xef\xbb\xbf" + "".join(lines).encode("utf-8"))
    with open(stamp_path, "w") as f:
        f.write(stamp)
    print("built %d games in %s" % (count, out))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--fixtures", required=True, help="folder holding plain.exe")
    parser.add_argument("--out", default="build/bench-shown")
    parser.add_argument("--lists", default="3000,20000,100000",
                        help="which lists: 3000 and 20000 are small games, 100000 empty folders")
    parser.add_argument("--drive", default="Z:", help="drive the Linux root appears as under Wine")
    args = parser.parse_args()
    fixture = os.path.join(args.fixtures, "plain.exe")
    if not os.path.isfile(fixture):
        sys.exit("missing fixture plain.exe in %s (build the windows preset first)" % args.fixtures)
    for wanted in args.lists.split(","):
        count = int(wanted)
        kind = "plain" if count >= 100_000 else "small"
        build_list(os.path.join(args.out, "%s-%d" % (kind, count)), kind, count, fixture, args.drive)


if __name__ == "__main__":
    main()
