#!/usr/bin/env python3
"""Reads the compiled resources of the Windows build and checks them.

check_resources.py RESOURCE_DIR

RESOURCE_DIR is the build's resources folder: <Program>/<Program>.res for each
program (the two runners and the console), and icons/console.ico. The .res
files are what windres made from the resource scripts and what goes into the
programs; they are parsed here as Windows lays them out, without windres' help.
"""
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
PROCESS_MANIFEST_ID = 1
VERSION_INFO_ID = 1
LANG_EN_US = 0x0409
VFT_APP = 1

VERSION = (1, 0, 0, 38)
VERSION_TEXT = "1.0.0.38"
# Width and colour depth of each image; every image is square.
ICON_IMAGES = sorted([(48, 8), (32, 8), (16, 8), (256, 32), (48, 32), (32, 32), (16, 32)])
# The programs' resources differ in these version strings and in their icon
# group, and nowhere else.
FILE_NAME_KEYS = ("InternalName", "OriginalFilename")

PROGRAMS = [
    {"program": "ZoltInstaller", "file_name": "ZoltInstaller.exe", "icon_group": 101, "icon_file": "runner.ico"},
    {"program": "ZoltUnInstaller", "file_name": "ZoltUnInstaller.exe", "icon_group": 101, "icon_file": "runner.ico"},
    {"program": "KZ4Xelqdesk", "file_name": "KZ4Xelqdesk.exe", "icon_group": 104, "icon_file": "console.ico"},
]

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
    return condition


def align4(n):
    return (n + 3) & ~3


# --- .res files -----------------------------------------------------------

def read_name(data, pos):
    """A resource type or name: 0xFFFF and a number, or a NUL-terminated UTF-16 text."""
    (first,) = struct.unpack_from("<H", data, pos)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def read_res(path):
    """{(type, name, language): bytes} for every resource of a .res file."""
    data = path.read_bytes()
    resources = {}
    pos = 0
    while pos < len(data):
        data_size, header_size = struct.unpack_from("<II", data, pos)
        kind, p = read_name(data, pos + 8)
        name, p = read_name(data, p)
        p = align4(p)
        _data_version, _flags, language = struct.unpack_from("<IHH", data, p)
        body = data[pos + header_size:pos + header_size + data_size]
        if not (kind == 0 and data_size == 0):  # the empty first entry marks a 32-bit .res
            key = (kind, name, language)
            expect(key not in resources, f"{path.name}: resource {key} appears twice")
            resources[key] = body
        pos = align4(pos + header_size + data_size)
    return resources


def only(resources, kind, path):
    found = {k: v for k, v in resources.items() if k[0] == kind}
    expect(len(found) == 1, f"{path.name}: {len(found)} resources of type {kind}, one expected")
    return next(iter(found.items()), ((kind, None, None), b""))


# --- version resource ------------------------------------------------------

def read_version_node(data, pos):
    """(key, value bytes, children) of one node of a version resource."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, pos)
    end = pos + length
    key_start = pos + 6
    key_end = key_start
    while struct.unpack_from("<H", data, key_end)[0] != 0:
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = align4(key_end + 2)
    value_size = value_length * (2 if value_type == 1 else 1)
    value = data[value_start:value_start + value_size]
    children = []
    child = align4(value_start + value_size)
    while child < end:
        node = read_version_node(data, child)
        children.append(node)
        child = align4(child + struct.unpack_from("<H", data, child)[0])
    return key, value, children


def text_of(value):
    return value.decode("utf-16-le").rstrip("\0")


def version_strings(root):
    """{string table name: {key: text}} of the StringFileInfo block."""
    tables = {}
    for key, _value, children in root[2]:
        if key == "StringFileInfo":
            for table, _v, strings in children:
                tables[table] = {k: text_of(v) for k, v, _c in strings}
    return tables


def translations(root):
    for key, _value, children in root[2]:
        if key == "VarFileInfo":
            for var, value, _c in children:
                if var == "Translation":
                    return [struct.unpack_from("<HH", value, i) for i in range(0, len(value), 4)]
    return []


def check_version(resources, path, file_name):
    (_, name, language), body = only(resources, RT_VERSION, path)
    expect(name == VERSION_INFO_ID and language == LANG_EN_US,
           f"{path.name}: version resource is {name}/{language:#06x}, expected 1/0x0409")
    root = read_version_node(body, 0)
    expect(root[0] == "VS_VERSION_INFO", f"{path.name}: version root key {root[0]!r}")
    fixed = struct.unpack_from("<13I", root[1], 0) if len(root[1]) >= 52 else (0,) * 13
    expect(fixed[0] == 0xFEEF04BD, f"{path.name}: no VS_FIXEDFILEINFO signature")
    as_numbers = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    expect(as_numbers(fixed[2], fixed[3]) == VERSION,
           f"{path.name}: file version {as_numbers(fixed[2], fixed[3])}, expected {VERSION}")
    expect(as_numbers(fixed[4], fixed[5]) == VERSION,
           f"{path.name}: product version {as_numbers(fixed[4], fixed[5])}, expected {VERSION}")
    expect(fixed[9] == VFT_APP, f"{path.name}: file type {fixed[9]}, expected an application")

    tables = version_strings(root)
    expect(list(tables) == ["040904b0"], f"{path.name}: string tables {list(tables)}, expected 040904b0")
    strings = tables.get("040904b0", {})
    wanted = {"FileVersion": VERSION_TEXT, "ProductVersion": VERSION_TEXT,
              "InternalName": file_name, "OriginalFilename": file_name}
    for key, text in wanted.items():
        expect(strings.get(key) == text, f"{path.name}: {key} is {strings.get(key)!r}, expected {text!r}")
    expect(translations(root) == [(LANG_EN_US, 1200)],
           f"{path.name}: translations {translations(root)}, expected [(0x0409, 1200)]")
    return root


def without_file_names(node):
    key, value, children = node
    if key in FILE_NAME_KEYS:
        value = b""
    return key, value, [without_file_names(c) for c in children]


# --- manifest --------------------------------------------------------------

def local(tag):
    return tag.rsplit("}", 1)[-1]


def elements_at(root, path):
    """Elements reached from root by the local names in path."""
    found = [root]
    for step in path:
        found = [child for parent in found for child in parent if local(child.tag) == step]
    return found


def check_manifest(resources, path):
    (_, name, _), body = only(resources, RT_MANIFEST, path)
    expect(name == PROCESS_MANIFEST_ID, f"{path.name}: manifest has id {name}, expected 1 (the process manifest)")
    try:
        root = ET.fromstring(body)
    except ET.ParseError as error:
        expect(False, f"{path.name}: manifest is not XML: {error}")
        return
    expect(root.tag == "{urn:schemas-microsoft-com:asm.v1}assembly" and root.get("manifestVersion") == "1.0",
           f"{path.name}: manifest root is {root.tag} {root.attrib}")
    levels = elements_at(root, ["trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"])
    expect(len(levels) == 1, f"{path.name}: {len(levels)} requested execution levels, one expected")
    for level in levels:
        expect(level.get("level") == "requireAdministrator", f"{path.name}: execution level {level.get('level')!r}")
        expect(level.get("uiAccess") == "false", f"{path.name}: uiAccess {level.get('uiAccess')!r}")
    identities = elements_at(root, ["dependency", "dependentAssembly", "assemblyIdentity"])
    wanted = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
              "processorArchitecture": "X86", "publicKeyToken": "6595b64144ccf1df"}
    expect(len(identities) == 1, f"{path.name}: {len(identities)} dependencies, one expected")
    for identity in identities:
        for attribute, value in wanted.items():
            expect(identity.get(attribute) == value,
                   f"{path.name}: dependency {attribute} is {identity.get(attribute)!r}, expected {value!r}")


# --- icons -----------------------------------------------------------------

def image_shape(data, what):
    """(width, bits per pixel) of one icon image, after checking that it is whole."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        width, height, depth, colour_type = struct.unpack_from(">IIBB", data, 16)
        expect(data[12:16] == b"IHDR" and width == height and colour_type == 6,
               f"{what}: PNG image {width}x{height} colour type {colour_type}, expected square RGBA")
        expect(data[-8:-4] == b"IEND", f"{what}: PNG image has no end")
        return width, depth * 4
    size, width, height, planes, bits = struct.unpack_from("<IiiHH", data, 0)
    expect(size == 40 and planes == 1 and height == 2 * width,
           f"{what}: bitmap header size {size}, {width}x{height}, planes {planes}")
    palette = 4 * (1 << bits) if bits <= 8 else 0
    colour_rows = ((width * bits + 31) // 32) * 4 * width
    mask_rows = ((width + 31) // 32) * 4 * width
    expect(len(data) == size + palette + colour_rows + mask_rows,
           f"{what}: {len(data)} bytes, a {width}-pixel {bits}-bit image with its mask takes "
           f"{size + palette + colour_rows + mask_rows}")
    return width, bits


def directory_entry_shape(width_byte, height_byte, colours, planes, bits, what):
    width = width_byte or 256
    expect(width_byte == height_byte, f"{what}: directory entry is not square")
    expect(colours == 0 and planes == 1, f"{what}: directory entry colours {colours}, planes {planes}")
    return width, bits


def check_icon_group(resources, path, group):
    (_, name, _), body = only(resources, RT_GROUP_ICON, path)
    expect(name == group, f"{path.name}: icon group {name}, expected {group}")
    _reserved, kind, count = struct.unpack_from("<HHH", body, 0)
    expect(kind == 1 and len(body) == 6 + 14 * count, f"{path.name}: icon group header type {kind}, {count} entries")
    icons = {k[1]: v for k, v in resources.items() if k[0] == RT_ICON}
    shapes = []
    for i in range(count):
        w, h, colours, _r, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", body, 6 + 14 * i)
        what = f"{path.name}: icon {icon_id}"
        shape = directory_entry_shape(w, h, colours, planes, bits, what)
        shapes.append(shape)
        if expect(icon_id in icons, f"{what} is named by the group but missing"):
            expect(len(icons[icon_id]) == size, f"{what}: {len(icons[icon_id])} bytes, the group says {size}")
            expect(image_shape(icons[icon_id], what) == shape, f"{what}: image differs from its group entry")
    expect(sorted(shapes) == ICON_IMAGES, f"{path.name}: icon images {sorted(shapes)}, expected {ICON_IMAGES}")
    expect(len(icons) == count, f"{path.name}: {len(icons)} icon images for {count} group entries")


def icon_file_images(path):
    """The images of an icon file, each as its bytes, in the file's order."""
    data = path.read_bytes()
    _reserved, _kind, count = struct.unpack_from("<HHH", data, 0)
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


def check_icon_source(resources, path, icon_file):
    """The group's images are those of the icon file the program is meant to show."""
    icons = sorted(v for k, v in resources.items() if k[0] == RT_ICON)
    expect(icons == sorted(icon_file_images(icon_file)), f"{path.name}: icon images are not those of {icon_file.name}")


def check_icon_file(path):
    data = path.read_bytes()
    _reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    expect(kind == 1, f"{path.name}: not an icon file")
    shapes = []
    for i in range(count):
        w, h, colours, _r, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        what = f"{path.name}: image {i}"
        shape = directory_entry_shape(w, h, colours, planes, bits, what)
        shapes.append(shape)
        expect(offset + size <= len(data), f"{what} runs past the end of the file")
        expect(image_shape(data[offset:offset + size], what) == shape, f"{what}: image differs from its entry")
    expect(sorted(shapes) == ICON_IMAGES, f"{path.name}: icon images {sorted(shapes)}, expected {ICON_IMAGES}")


# --- the programs ----------------------------------------------------------

def check_programs(resource_dir):
    seen = []
    for program in PROGRAMS:
        path = resource_dir / program["program"] / (program["program"] + ".res")
        if not expect(path.is_file(), f"{path} was not built"):
            continue
        resources = read_res(path)
        root = check_version(resources, path, program["file_name"])
        check_manifest(resources, path)
        check_icon_group(resources, path, program["icon_group"])
        icon_file = resource_dir / "icons" / program["icon_file"]
        if expect(icon_file.is_file(), f"{icon_file} was not built"):
            check_icon_source(resources, path, icon_file)
        seen.append((program, path, resources, root))
    for (program_a, path_a, res_a, root_a), (program_b, path_b, res_b, root_b) in zip(seen, seen[1:]):
        expect(without_file_names(root_a) == without_file_names(root_b),
               f"{path_a.name} and {path_b.name} differ in their version resource beyond the file name")
        manifest_a, manifest_b = only(res_a, RT_MANIFEST, path_a)[1], only(res_b, RT_MANIFEST, path_b)[1]
        expect(manifest_a == manifest_b, f"{path_a.name} and {path_b.name} have different manifests")
        if program_a["icon_group"] != program_b["icon_group"]:
            continue
        expect(res_a.keys() == res_b.keys(), f"{path_a.name} and {path_b.name} hold different resources")
        for key in res_a.keys() & res_b.keys():
            if key[0] != RT_VERSION:
                expect(res_a[key] == res_b[key], f"{path_a.name} and {path_b.name} differ in resource {key}")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_resources.py RESOURCE_DIR")
    resource_dir = Path(sys.argv[1])
    check_programs(resource_dir)
    console_icon = resource_dir / "icons" / "console.ico"
    if expect(console_icon.is_file(), f"{console_icon} was not built"):
        check_icon_file(console_icon)
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("resources: the programs' version, manifest and icon group, and the console's icon file are as expected")


if __name__ == "__main__":
    main()
