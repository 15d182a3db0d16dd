#!/usr/bin/env python3
"""An independent reader of a game directory: builds, from the archives and
loose maps alone, the WAD2 package an extraction must write, and lists what it
keeps, meets again and skips, so a test can compare both with moxtrel-cli.

    reference_package.py GAME_DIR [--all] PACKAGE_OUT ACCOUNT_OUT

ACCOUNT_OUT is a JSON document with "sources", "textures", "repeats" and
"skipped" in the shape of the run's report (skips give only where, not the
words).
Standard library only.
"""
import json
import os
import re
import stat
import struct
import sys

LARGEST = 2**31 - 1


def i32(data, at):
    return struct.unpack_from("<i", data, at)[0]


def lookup_ignoring_case(folder, name):
    """The entry of `folder` spelled `name` in any letter case: exact first."""
    if os.path.lexists(os.path.join(folder, name)):
        return os.path.join(folder, name)
    for entry in sorted(os.listdir(folder)):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    return None


def is_regular(path):
    return stat.S_ISREG(os.lstat(path).st_mode)


def numbered_archives(game_dir):
    found = {}
    for entry in sorted(os.listdir(game_dir)):
        m = re.fullmatch(r"pak(0|[1-9][0-9]{0,5})\.pak", entry, re.IGNORECASE)
        if m and is_regular(os.path.join(game_dir, entry)):
            found.setdefault(int(m.group(1)), entry)
    paths, n = [], 0
    while n in found:
        paths.append(os.path.join(game_dir, found[n]))
        n += 1
    return paths


def loose_maps(game_dir):
    folders = [e for e in sorted(os.listdir(game_dir)) if e.lower() == "maps"
               and stat.S_ISDIR(os.lstat(os.path.join(game_dir, e)).st_mode)]
    if not folders:
        return []
    folder = os.path.join(game_dir, "maps" if "maps" in folders else folders[0])
    names = sorted((e for e in os.listdir(folder) if len(e) > 4 and e.lower().endswith(".bsp")),
                   key=os.fsencode)
    return [os.path.join(folder, n) for n in names]


class Harvest:
    def __init__(self):
        self.kept = {}        # name up to its NUL -> record
        self.order = []
        self.repeats = []
        self.skipped = []
        self.sources = []

    def place(self, source, member):
        where = {"source": source}
        if member is not None and member != "":
            where["member"] = member
        return where

    def skip(self, source, member):
        self.skipped.append(self.place(source, member))

    def archive(self, path, data):
        if data[:4] != b"PACK":
            return self.skip(path, None)
        if len(data) < 12:
            return self.skip(path, None)
        dir_pos, dir_len = i32(data, 4), i32(data, 8)
        if dir_len < 0 or dir_pos < 0 or dir_pos > len(data):
            return self.skip(path, None)
        count = dir_len // 64
        if count > (len(data) - dir_pos) // 64:
            self.skip(path, None)
            count = (len(data) - dir_pos) // 64
        for i in range(count):
            entry = data[dir_pos + 64 * i: dir_pos + 64 * (i + 1)]
            name = entry[:56].split(b"\0")[0]
            if b"." in name and name.split(b".", 1)[1] == b"bsp":
                self.map(path, name.decode("latin-1"), data, i32(entry, 56))

    def map(self, source, member, data, start):
        if start < 0 or start + 28 > len(data):
            return self.skip(source, member)
        lump_at, lump_len = i32(data, start + 20), i32(data, start + 24)
        lump = start + lump_at
        if lump_len == 0:
            return
        if lump_at < 0 or lump_len < 4 or lump + 4 > len(data):
            return self.skip(source, member)
        count = i32(data, lump)
        if count < 0 or 4 + 4 * count > lump_len or lump + 4 + 4 * count > len(data):
            return self.skip(source, member)
        offsets = [o for o in struct.unpack_from("<%di" % count, data, lump + 4) if o != -1]
        for i, offset in enumerate(offsets):
            size = (offsets[i + 1] if i + 1 < len(offsets) else lump_len) - offset
            at = lump + offset
            if offset < 0 or offset + 16 > lump_len or at + 16 > len(data) or size < 0 \
                    or at + size > len(data) or at + size > LARGEST:
                self.skip(source, member)
                continue
            record = data[at:at + size]
            key = data[at:at + 16].split(b"\0")[0]
            found = dict(self.place(source, member), name=key.decode("latin-1"), position=at, size=size)
            if size >= 24:
                found["width"], found["height"] = i32(record, 16), i32(record, 20)
            if key in self.kept:
                same = record == self.kept[key]["record"]
                self.repeats.append(dict(found, content="same" if same else "different"))
                continue
            found["kind"] = "animated" if key[:1] in (b"+", b"*") else "simple"
            self.kept[key] = {"record": record, "name16": data[at:at + 16], "entry": found}
            self.order.append(key)

    def package(self):
        lumps, directory, at = b"", b"", 12
        for key in self.order:
            record, name16 = self.kept[key]["record"], self.kept[key]["name16"]
            directory += struct.pack("<iiiBBH", at, len(record), len(record), 0x44, 0, 0) + name16
            lumps += record
            at += len(record)
        return b"WAD2" + struct.pack("<ii", len(self.order), at) + lumps + directory


def main():
    args = [a for a in sys.argv[1:] if a != "--all"]
    every = "--all" in sys.argv[1:]
    game_dir, package_out, account_out = os.path.abspath(args[0]), args[1], args[2]
    harvest = Harvest()
    if every:
        archives, maps = numbered_archives(game_dir), loose_maps(game_dir)
    else:
        archives, maps = [lookup_ignoring_case(game_dir, "PAK0.PAK"), lookup_ignoring_case(game_dir, "PAK1.PAK")], []
    for path in archives:
        with open(path, "rb") as f:
            data = f.read()
        harvest.sources.append({"path": path, "size": len(data)})
        harvest.archive(path, data)
    for path in maps:
        if not is_regular(path):
            harvest.skip(path, None)
            continue
        with open(path, "rb") as f:
            data = f.read()
        harvest.sources.append({"path": path, "size": len(data)})
        harvest.map(path, None, data, 0)
    with open(package_out, "wb") as f:
        f.write(harvest.package())
    account = {"sources": harvest.sources, "textures": [harvest.kept[k]["entry"] for k in harvest.order],
               "repeats": harvest.repeats, "skipped": harvest.skipped}
    with open(account_out, "w") as f:
        json.dump(account, f, indent=1)


if __name__ == "__main__":
    main()
