#!/usr/bin/env python3
"""Builds the generated benchmark modules into a scratch directory (never into git).

Usage:  bench/make-modules.py DIR

  groups-100.dll, groups-1000.dll, groups-5000.dll
      that many icon groups of 3 images each (16x16 4-bit, 32x32 8-bit, 48x48 32-bit);
  large.dll
      3 such icon groups behind 128 MiB of other resource data (RCDATA).

The modules are built the way the test fixtures are: a generated .rc compiled by windres and
linked by ld, through tests/fixtures/make-fixtures.py's own helpers. A module that exists
and was made by the same version of this script is kept.
"""

import hashlib
import importlib.util
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURE_SCRIPT = os.path.join(HERE, "..", "tests", "fixtures", "make-fixtures.py")

GROUP_COUNTS = (100, 1000, 5000)
DISTINCT_ICON_FILES = 16          # groups cycle through these, so neighbouring outputs differ
LARGE_BULK_PIECES = 4             # RCDATA resources of the large module
LARGE_BULK_PIECE_BYTES = 32 << 20
LARGE_GROUPS = 3


def load_fixture_helpers():
    spec = importlib.util.spec_from_file_location("make_fixtures", FIXTURE_SCRIPT)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def write_icon_files(fixtures, directory):
    names = []
    for index in range(DISTINCT_ICON_FILES):
        seed = f"bench/{index}"
        images = [fixtures.bitmap(16, 16, 4, seed + "/0"), fixtures.bitmap(32, 32, 8, seed + "/1"),
                  fixtures.bitmap(48, 48, 32, seed + "/2")]
        name = f"bench-{index}.ico"
        with open(os.path.join(directory, name), "wb") as out:
            out.write(fixtures.icon_file(images))
        names.append(name)
    return names


def icon_statements(icon_names, count):
    return "".join(f'{group} ICON "{icon_names[group % len(icon_names)]}"\n' for group in range(1, count + 1))


def write_bulk(directory):
    """Other resource data: large pieces of bytes that no icon group uses."""
    names = []
    piece = hashlib.sha256(b"bench/bulk").digest() * (LARGE_BULK_PIECE_BYTES // 32)
    for index in range(LARGE_BULK_PIECES):
        name = f"bulk-{index}.bin"
        with open(os.path.join(directory, name), "wb") as out:
            out.write(piece)
        names.append(name)
    return names


def build(fixtures, directory, module_name, rc_text, stamp):
    """Builds one module unless the same script already built it."""
    target = os.path.join(directory, module_name)
    stamp_path = target + ".stamp"
    if os.path.exists(target) and os.path.exists(stamp_path) and open(stamp_path).read() == stamp:
        return
    rc = os.path.join(directory, module_name + ".rc")
    with open(rc, "w") as out:
        out.write(rc_text)
    # build_pe runs windres in the given directory, where the .rc's files are.
    built = fixtures.build_pe(module_name, rc, "x86_64", "dll", directory)
    assert built == target
    with open(stamp_path, "w") as out:
        out.write(stamp)
    print(f"{module_name:18} {os.path.getsize(target):>11} bytes", flush=True)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    directory = os.path.abspath(sys.argv[1])
    os.makedirs(directory, exist_ok=True)
    fixtures = load_fixture_helpers()
    stamp = hashlib.sha256(open(__file__, "rb").read() + open(FIXTURE_SCRIPT, "rb").read()).hexdigest()

    icon_names = write_icon_files(fixtures, directory)
    for count in GROUP_COUNTS:
        build(fixtures, directory, f"groups-{count}.dll", icon_statements(icon_names, count), stamp)

    large = os.path.join(directory, "large.dll")
    if not (os.path.exists(large) and open(large + ".stamp").read() == stamp):
        bulk = write_bulk(directory)
        rc_text = "".join(f'{100 + index} RCDATA "{name}"\n' for index, name in enumerate(bulk))
        build(fixtures, directory, "large.dll", rc_text + icon_statements(icon_names, LARGE_GROUPS), stamp)
        for name in bulk:
            os.remove(os.path.join(directory, name))


if __name__ == "__main__":
    main()
