#!/usr/bin/env python3
"""Builds a synthetic Steam library for the loading benchmark.

The same seed always gives the same library: game names, layouts, folder
trees, file names and file sizes. Files are sparse: each has the size a game
file might have, but holds no data, since the program reads sizes from the
directory listings and never the contents (except of executables and DLLs,
which are copies of the PE fixtures).

Layout written below --out:
  steamapps/appmanifest_<id>.acf      one manifest per game
  steamapps/common/<Game Name>/...    the games
  data.ini                            the list the program would have saved
  library.txt                         what was asked for (reused when equal)

Usage: make_library.py --fixtures <build>/fixtures [--out DIR] [--seed N]
                       [--games N] [--files N] [--max-depth N]
"""

import argparse
import os
import random
import shutil
import sys

WORDS = [
    "Iron", "Coast", "Halcyon", "Wanderer", "Ember", "Frost", "Shadow", "Crimson", "Silent", "Star",
    "Forge", "Hollow", "Echo", "Drift", "Rift", "Neon", "Ashen", "Velvet", "Thunder", "Arc",
    "Harbor", "Lantern", "Quarry", "Summit", "Tide", "Vector", "Warden", "Zenith", "Orbit", "Pyre",
]
FOLDER_WORDS = [
    "audio", "textures", "maps", "shaders", "movies", "fonts", "localization", "models", "scripts",
    "materials", "levels", "ui", "effects", "animations", "sounds", "music", "config", "cache",
    "props", "characters", "vehicles", "terrain", "skies", "weapons", "voices", "meshes",
]
FILE_EXTENSIONS = [".pak", ".bin", ".dat", ".wem", ".bnk", ".json", ".xml", ".txt", ".dds", ".png",
                   ".ogg", ".lua", ".cfg", ".assets", ".resS", ".ushaderbytecode"]
MAX_PATH_DEPTH = 8


def windows_path(posix_path, drive):
    """The path as the program sees it under Wine: drive letter, backslashes."""
    return drive + os.path.abspath(posix_path).replace("/", "\\")


def sparse_file(path, size):
    with open(path, "wb") as f:
        if size:
            f.truncate(size)


def game_names(rng, count):
    names, seen = [], set()
    while len(names) < count:
        parts = rng.sample(WORDS, rng.choice([1, 2, 2, 3]))
        if rng.random() < 0.3:
            parts.append(str(rng.choice([2, 3, 4, 2077, 1998, 64])))
        name = " ".join(parts)
        if name.lower() in seen:
            continue
        seen.add(name.lower())
        names.append(name)
    return names


def file_counts(rng, games, total):
    """Files per game: a few huge games, many middling ones, some small."""
    weights = [rng.lognormvariate(0.0, 1.0) for _ in range(games)]
    scale = total / sum(weights)
    counts = [max(20, int(w * scale)) for w in weights]
    # Bring the sum to exactly `total` by trimming or padding the largest.
    largest = max(range(games), key=lambda i: counts[i])
    counts[largest] += total - sum(counts)
    return counts


class Game:
    def __init__(self, rng, root, name, files, fixtures):
        self.rng = rng
        self.root = root
        self.name = name
        self.compact = "".join(ch for ch in name if ch.isalnum())
        self.files_left = files
        self.fixtures = fixtures
        self.exe_folder = ""   # relative folder the program would detect
        self.kind = rng.choices(["unreal", "unity", "plain"], [4, 4, 2])[0]

    def copy_fixture(self, fixture, relative):
        target = os.path.join(self.root, *relative.split("\\"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(self.fixtures, fixture), target)
        self.files_left -= 1

    def sparse(self, relative, size):
        target = os.path.join(self.root, *relative.split("\\"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        sparse_file(target, size)
        self.files_left -= 1

    def build(self):
        rng = self.rng
        c = self.compact
        content_roots = []
        if self.kind == "unreal":
            binaries = c + "\\Binaries\\Win64"
            if rng.random() < 0.7:
                self.copy_fixture("plain.exe", c + ".exe")  # the bootstrap launcher, which the program looks past
            self.copy_fixture("plain.exe", binaries + "\\" + c + "-Win64-Shipping.exe")
            self.copy_fixture("plain.dll", binaries + "\\steam_api64.dll")
            self.copy_fixture("plain.exe", "Engine\\Binaries\\Win64\\CrashReportClient.exe")
            self.sparse("Engine\\Binaries\\ThirdParty\\PhysX\\PhysX_64.dll", 2_000_000)
            mod_folder = binaries
            content_roots = [c + "\\Content\\Paks", "Engine\\Content", c + "\\Content\\Movies"]
        elif self.kind == "unity":
            self.copy_fixture("plain.exe", c + ".exe")
            self.copy_fixture("plain.dll", "UnityPlayer.dll")
            self.copy_fixture("plain.exe", "UnityCrashHandler64.exe")
            self.sparse("MonoBleedingEdge\\EmbedRuntime\\mono-2.0-bdwgc.dll", 5_000_000)
            mod_folder = ""
            content_roots = [c + "_Data", c + "_Data\\Managed", c + "_Data\\StreamingAssets", "MonoBleedingEdge\\etc"]
        else:
            self.copy_fixture("plain.exe", "bin\\x64\\" + c + ".exe")
            self.copy_fixture("plain.exe", "launcher.exe")
            self.copy_fixture("plain.dll", "bin\\x64\\engine.dll")
            mod_folder = "bin\\x64"
            content_roots = ["data", "data\\packs", "redist"]
        if rng.random() < 0.6:
            self.copy_fixture("plain.exe", "unins000.exe")
        # What detection finds: the one executable named after the game.
        if self.kind == "unity":
            self.exe_folder = ""
        elif self.kind == "plain":
            self.exe_folder = "bin\\x64"
        else:
            self.exe_folder = binaries
        mod = rng.random()
        if mod < 0.15:
            self.copy_fixture("zandrivell.dll", (mod_folder + "\\" if mod_folder else "") + "ZandRivell.dll")
        elif mod < 0.25:
            self.copy_fixture("zandrivell.dll", (mod_folder + "\\" if mod_folder else "") + "zr_proxy.dll")
        self.content(content_roots)

    def content(self, roots):
        """The remaining files spread over a random tree, never deeper than eight folders."""
        rng = self.rng
        folders = []  # (relative path, depth)
        for root in roots:
            folders.append((root, root.count("\\") + 1))
        wanted = max(1, self.files_left // 15)
        serial = 0
        while len(folders) < wanted + len(roots):
            parent, depth = rng.choice(folders)
            if depth >= MAX_PATH_DEPTH:
                continue
            serial += 1
            folders.append((parent + "\\" + rng.choice(FOLDER_WORDS) + str(serial), depth + 1))
        for folder, _ in folders:
            os.makedirs(os.path.join(self.root, *folder.split("\\")), exist_ok=True)
        for n in range(self.files_left):
            folder, _ = rng.choice(folders)
            size = int(rng.paretovariate(1.2) * 4000) if rng.random() < 0.97 else rng.randrange(50_000_000)
            name = "f%05d%s" % (n, rng.choice(FILE_EXTENSIONS))
            sparse_file(os.path.join(self.root, *folder.split("\\"), name), size)
        self.files_left = 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--fixtures", required=True, help="folder holding plain.exe, plain.dll, zandrivell.dll")
    parser.add_argument("--out", default="build/bench-library")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--games", type=int, default=200)
    parser.add_argument("--files", type=int, default=300_000)
    parser.add_argument("--drive", default="Z:", help="drive the Linux root appears as under Wine")
    args = parser.parse_args()

    for fixture in ("plain.exe", "plain.dll", "zandrivell.dll"):
        if not os.path.isfile(os.path.join(args.fixtures, fixture)):
            sys.exit("missing fixture %s in %s (build the windows preset first)" % (fixture, args.fixtures))

    stamp = "seed=%d games=%d files=%d drive=%s\n" % (args.seed, args.games, args.files, args.drive)
    stamp_path = os.path.join(args.out, "library.txt")
    if os.path.isfile(stamp_path) and open(stamp_path).read() == stamp:
        print("library up to date:", args.out)
        return
    if os.path.exists(args.out):
        shutil.rmtree(args.out)
    steamapps = os.path.join(args.out, "steamapps")
    common = os.path.join(steamapps, "common")
    os.makedirs(common)

    rng = random.Random(args.seed)
    names = game_names(rng, args.games)
    counts = file_counts(rng, args.games, args.files)
    entries = []
    for index, (name, files) in enumerate(zip(names, counts)):
        game = Game(random.Random("%d/%d" % (args.seed, index)), os.path.join(common, name), name, files,
                    args.fixtures)
        game.build()
        appid = 400000 + index * 10
        with open(os.path.join(steamapps, "appmanifest_%d.acf" % appid), "w", newline="\n") as f:
            f.write('"AppState"\n{\n\t"appid"\t\t"%d"\n\t"name"\t\t"%s"\n\t"installdir"\t\t"%s"\n}\n'
                    % (appid, name, name))
        entries.append((windows_path(game.root, args.drive), game.exe_folder, name))

    text = "".join("[Line%d]\r\nPath=%s\r\nExeFolder=%s\r\nName=%s\r\n\r\n" % (i, p, e, n)
                   for i, (p, e, n) in enumerate(entries))
    with open(os.path.join(args.out, "data.ini"), "wb") as f:
        f.write(b"\xef\xbb\xbf" + text.encode("utf-8"))
    with open(stamp_path, "w") as f:
        f.write(stamp)
    print("built %d games, %d files in %s" % (args.games, args.files, args.out))


if __name__ == "__main__":
    main()
