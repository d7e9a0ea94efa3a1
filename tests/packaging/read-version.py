"""Reads back what Explorer shows of a Windows program: its version resource and its icon.

    read-version.py PROGRAM.exe VERSION

Fails unless the file and product versions, in the fixed part and as text, are VERSION, the
description and product name are there, and an icon group holds the small and large sizes.
"""
import sys

import pefile

RT_ICON = 3
RT_GROUP_ICON = 14


def fail(message):
    sys.exit(f"FAIL: {message}")


def strings(pe):
    found = {}
    for info in getattr(pe, "FileInfo", [[]])[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                found.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return found


def icon_sizes(pe):
    """The sizes of the icons in the first icon group, as Explorer picks from them."""
    groups = [e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == RT_GROUP_ICON]
    if not groups:
        return []
    resource = groups[0].directory.entries[0].directory.entries[0].data.struct
    data = pe.get_data(resource.OffsetToData, resource.Size)
    count = int.from_bytes(data[4:6], "little")
    sizes = []
    for i in range(count):
        entry = data[6 + 14 * i : 6 + 14 * (i + 1)]
        sizes.append(entry[0] or 256)
    return sorted(sizes)


def main():
    path, version = sys.argv[1], sys.argv[2]
    pe = pefile.PE(path)
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        fail(f"{path} has no version resource")
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = [int(n) for n in version.split(".")] + [0]
    for name, high, low in (
        ("file", fixed.FileVersionMS, fixed.FileVersionLS),
        ("product", fixed.ProductVersionMS, fixed.ProductVersionLS),
    ):
        shown = [high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF]
        if shown != numbers[:4]:
            fail(f"the fixed {name} version is {shown}, not {numbers[:4]}")
    texts = strings(pe)
    for key in ("FileVersion", "ProductVersion"):
        if texts.get(key) != version:
            fail(f"{key} is {texts.get(key)!r}, not {version!r}")
    for key in ("FileDescription", "ProductName", "OriginalFilename", "LegalCopyright"):
        if not texts.get(key):
            fail(f"the version resource has no {key}")
    sizes = icon_sizes(pe)
    if 16 not in sizes or 32 not in sizes or 256 not in sizes:
        fail(f"the icon group holds the sizes {sizes}, not 16, 32 and 256")
    print(f"{path}: {texts['FileDescription']} {texts['FileVersion']}, icon sizes {sizes}")


main()
