#!/usr/bin/python3
"""Benchmark peer: the eight facts of lumbrel-scan's json rows, read with the
pefile module, for every *.exe, *.ocx and *.dll below a folder.

Usage: pefile_peer.py FOLDER   (JSON Lines on standard output)
"""
import datetime
import json
import os
import sys

import pefile

EXTENSIONS = (".exe", ".ocx", ".dll")


def version_facts(path):
    facts = {"version": "", "desc": "", "product": "", "company": ""}
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(
            directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    except pefile.PEFormatError:
        return facts
    for fixed in getattr(pe, "VS_FIXEDFILEINFO", []) or []:
        ms, ls = fixed.FileVersionMS, fixed.FileVersionLS
        facts["version"] = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        break
    wanted = {b"FileDescription": "desc", b"ProductName": "product", b"CompanyName": "company"}
    for info in getattr(pe, "FileInfo", []) or []:
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                for key, value in table.entries.items():
                    if key in wanted and not facts[wanted[key]]:
                        facts[wanted[key]] = value.decode("utf-8", "replace")
    pe.close()
    return facts


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = sys.stdout
    for folder, _, names in os.walk(argv[1]):
        for name in names:
            if not name.lower().endswith(EXTENSIONS):
                continue
            path = os.path.join(folder, name)
            facts = os.stat(path)
            row = {"filename": name}
            row.update(version_facts(path))
            row["size"] = facts.st_size
            row["date"] = datetime.datetime.fromtimestamp(int(facts.st_mtime)).strftime("%Y-%m-%d %H:%M:%S")
            row["path"] = folder.rstrip("/") + "/"
            out.write(json.dumps(row) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
