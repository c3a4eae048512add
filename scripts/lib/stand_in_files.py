#!/usr/bin/env python3
"""Turns the stand-in files of the service's working data into what they stand for.

The service's data in the source tree holds no binaries: where a program, an archive or a large
file belongs, a short text says what goes there. scripts/lib/service.sh runs this at each start
over the data folder the service serves from (never over the source tree):

  "Stand-in installer. ..."      the sample installer program (tests/win32/tools)
  "Stand-in ZIP archive. ...:"   a ZIP archive; each line after the one ending in ":" names an
                                 entry, each holding the sample installer. Names are taken as
                                 written, "../" and drive letters included, for the tests that
                                 show they are refused.
  "Stand-in 7z archive. ..."     the 7z signature and a few bytes: detected as 7z, runs as nothing
  "Stand-in data of N bytes. ..." N bytes of data

usage: stand_in_files.py FILES_FOLDER SAMPLE_INSTALLER
"""
import os
import re
import sys
import zipfile

SEVEN_ZIP = b"7z\xbc\xaf\x27\x1c\x00\x04" + bytes(24)


def stand_in_text(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    if not head.startswith(b"Stand-in "):
        return None
    return head.decode("utf-8", "replace")


def zip_entries(text):
    lines = text.splitlines()
    for i, line in enumerate(lines):
        if line.rstrip().endswith(":"):
            return [entry.strip() for entry in lines[i + 1:] if entry.strip()]
    return []


def write_zip(path, entries, program):
    temporary = path + ".partial"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in entries:
            # ZipInfo keeps the name exactly as given; ZipFile.write would clean it up.
            archive.writestr(zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0)), program)
    os.replace(temporary, path)


def write_bytes(path, data):
    temporary = path + ".partial"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main(folder, installer):
    with open(installer, "rb") as f:
        program = f.read()
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            text = stand_in_text(path)
            if text is None:
                continue
            if text.startswith("Stand-in installer."):
                write_bytes(path, program)
            elif text.startswith("Stand-in ZIP archive."):
                write_zip(path, zip_entries(text), program)
            elif text.startswith("Stand-in 7z archive."):
                write_bytes(path, SEVEN_ZIP)
            else:
                size = re.match(r"Stand-in data of (\d+) bytes\.", text)
                if size:
                    count = int(size.group(1))
                    write_bytes(path, (bytes(range(256)) * (count // 256 + 1))[:count])


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
