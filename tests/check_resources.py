#!/usr/bin/env python3
"""Reads the resource directory of the built plug-ins straight from the PE
files (nothing here can run them) and compares every resource with the bytes
a host expects, built below from this file's own tables.

Usage: check_resources.py STEPEDGE.8bf CORNERKEY.8bf
Prints one line per check; exits 1 if any fails.
"""
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

RT_CURSOR, RT_ICON, RT_DIALOG, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION = 1, 3, 5, 12, 14, 16
ENGLISH_US, JAPANESE = 0x0409, 0x0411

# What differs between the two plug-ins.
PRODUCTS = {
    "stepedge": {
        "menu": "ハードエッジ...",
        "event": "ハードエッジ",
        "description": "Hardedge Filter for Photoshop",
        "internal": "STEPEDGE",
    },
    "cornerkey": {
        "menu": "コーナーキー...",
        "event": "コーナーキー",
        "description": "Huedrop Filter for Photoshop",
        "internal": "CORNERKEY",
    },
}

# The data lengths hosts step through, counted by hand: names of 15 bytes
# plus count and NUL padded to 20, "Quillmere " and 12 Shift-JIS bytes of
# scope after 14 bytes of 'hstm' fields padded to 40.
PROPERTY_LENGTHS = {
    name: {"kind": 4, "name": 20, "catg": 8, "vers": 4, "wx86": 12, "hstm": 40,
           "mode": 4, "enbl": 32, "fici": 28}
    for name in PRODUCTS
}

FILTER_CASE_FLAGS = [0x07, 0x0F, 0x0F, 0x07, 0x0F, 0x07, 0x0F]

TERMINOLOGY_PARAMETERS = [
    ("amount", "Amnt", "doub", "dissolve amount", 0x0000),
    ("disposition", "disP", "mooD", "dissolve disposition", 0x2000),
    ("entire image", "entI", "bool", "filter entire image", 0x0000),
]
DISPOSITIONS = [
    ("clear", "moD0", "clear headed"),
    ("cool", "moD1", "got the blues"),
    ("hot", "moD2", "red-faced"),
    ("sick", "moD3", "green with envy"),
]

# (size, bits per pixel) of the icon images, in the icon file's order.
ICON_IMAGES = [(16, 4), (16, 8), (32, 4), (32, 8)]
CURSOR_HOT_SPOT = (6, 1)


# ---- bytes a host expects ----

def fourcc(text):
    return struct.pack("<I", int.from_bytes(text.encode("ascii"), "big"))


def counted(text):
    raw = text.encode("cp932")
    return bytes([len(raw)]) + raw


def zero_terminated(text):
    return text.encode("cp932") + b"\0"


def padded(data, multiple):
    return data + b"\0" * (-len(data) % multiple)


def property_list(product):
    def prop(key, data, align=4):
        data = padded(data, align)
        return fourcc("8BIM") + fourcc(key) + struct.pack("<ii", 0, len(data)) + data
    scope = zero_terminated("Quillmere " + product["event"])
    properties = [
        prop("kind", fourcc("8BFM")),
        prop("name", counted(product["menu"]) + b"\0"),
        prop("catg", counted("何か") + b"\0"),
        prop("vers", struct.pack("<i", 0x00040000)),
        prop("wx86", b"ENTRYPOINT\0"),
        prop("hstm", struct.pack("<i", 0) + fourcc("wtMS") + fourcc("wtMS") +
             struct.pack("<h", 16000) + scope, 8),
        prop("mode", bytes([0x5F, 0xC0, 0, 0])),
        prop("enbl", b"in (PSHOP_ImageMode, RGBMode)\0"),
        prop("fici", b"".join(bytes([4, 4, flags, 0]) for flags in FILTER_CASE_FLAGS)),
    ]
    return struct.pack("<hii", 1, 0, len(properties)) + b"".join(properties)


def terminology_event_offset():
    """Where the event name starts: after the header and the suite."""
    return 10 + len(counted("Quillmere")) + len(counted("Adobe example plug-ins")) + 10


def terminology(product):
    out = struct.pack("<hBBhhh", 1, 1, 0, 0, 0, 1)
    out += counted("Quillmere") + counted("Adobe example plug-ins")
    out += fourcc("wtMS") + struct.pack("<hhh", 1, 1, 1)
    assert len(out) == terminology_event_offset()
    out += counted(product["event"]) + counted("Filter module")
    out += fourcc("wtMS") + fourcc("wtMS") + fourcc("null") + counted("")
    out += struct.pack("<h", 0) + fourcc("#ImR") + counted("")
    out += struct.pack("<Hh", 0xB000, len(TERMINOLOGY_PARAMETERS))
    for name, key, kind, description, flags in TERMINOLOGY_PARAMETERS:
        out += counted(name) + fourcc(key) + fourcc(kind) + counted(description)
        out += struct.pack("<H", flags)
    out += struct.pack("<hhh", 0, 0, 1)
    out += fourcc("mooD") + struct.pack("<h", len(DISPOSITIONS))
    for name, code, description in DISPOSITIONS:
        out += counted(name) + fourcc(code) + counted(description)
    return out


def version_strings(product):
    return [
        ("Comments", "None"),
        ("CompanyName", "Quillmere"),
        ("FileDescription", product["description"]),
        ("FileVersion", "1.10"),
        ("InternalName", product["internal"]),
        ("LegalCopyright", "Copyright (C) 2026 Quillmere"),
        ("LegalTrademarks", "None"),
        ("OriginalFilename", product["internal"] + ".8BF"),
        ("PrivateBuild", "None"),
        ("ProductName", product["description"]),
        ("ProductVersion", "1.10"),
        ("SpecialBuild", "None"),
    ]


def version_node(key, value=b"", value_length=0, text=False, children=()):
    """One node of a version block: length, value length, type, key, value,
    children, each of them starting on a 32-bit boundary."""
    head = struct.pack("<HHH", 0, value_length, 1 if text else 0)
    head = padded(head + key.encode("utf-16-le") + b"\0\0", 4)
    body = head + value
    for child in children:
        body = padded(body, 4) + child
    return struct.pack("<H", len(body)) + body[2:]


def version_block(product):
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x00010000,
                        (1 << 16) | 10, 0, (1 << 16) | 10, 0,
                        0x3F, 0x28, 0x4, 0x2, 0, 0, 0)
    strings = [version_node(key, value.encode("utf-16-le") + b"\0\0", len(value) + 1, True)
               for key, value in version_strings(product)]
    table = version_node("041104b0", text=True, children=strings)
    string_info = version_node("StringFileInfo", text=True, children=[table])
    translation = version_node("Translation", struct.pack("<HH", 0x0411, 0x04B0), 4)
    var_info = version_node("VarFileInfo", text=True, children=[translation])
    return version_node("VS_VERSION_INFO", fixed, len(fixed), children=[string_info, var_info])


def icon_file_images(path, kind):
    """(directory entry fields, image bytes) of an .ico (kind 1) or .cur (2)."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, file_kind, count = struct.unpack_from("<HHH", data)
    if (reserved, file_kind) != (0, kind):
        raise ValueError("%s is not a %s file" % (path, "icon" if kind == 1 else "cursor"))
    images = []
    for i in range(count):
        entry = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((entry, data[entry[7]:entry[7] + entry[6]]))
    return images


# ---- reading the built files ----

def read_resources(path):
    """{(type, name, language): bytes}; type and name are ints or strings."""
    with open(path, "rb") as f:
        image = f.read()
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    if struct.unpack_from("<H", image, optional)[0] != 0x10B:
        raise ValueError("not a 32-bit PE file")
    rsrc_rva, rsrc_size = struct.unpack_from("<II", image, optional + 96 + 2 * 8)
    table = optional + optional_size
    section_list = [struct.unpack_from("<8sIIII", image, table + 40 * i) for i in range(sections)]

    def at(rva):
        for _, vsize, vaddr, raw_size, raw_ptr in section_list:
            if vaddr <= rva < vaddr + max(vsize, raw_size):
                return raw_ptr + rva - vaddr
        raise ValueError("address 0x%x is in no section" % rva)

    base = at(rsrc_rva)

    def name_of(entry_name):
        if entry_name & 0x80000000:
            offset = base + (entry_name & 0x7FFFFFFF)
            length = struct.unpack_from("<H", image, offset)[0]
            return image[offset + 2:offset + 2 + 2 * length].decode("utf-16-le")
        return entry_name

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", image, base + offset + 12)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", image, base + offset + 16 + 8 * i)

    found = {}
    for type_name, type_dir in entries(0):
        for res_name, name_dir in entries(type_dir & 0x7FFFFFFF):
            for lang, leaf in entries(name_dir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + leaf)
                start = at(rva)
                found[(name_of(type_name), name_of(res_name), lang)] = image[start:start + size]
    return found


# ---- the checks ----

failures = 0


# The threshold dialog of stepedge: (style, x, y, width, height, caption,
# point size, face), then its controls in tab order as (class atom or name,
# id, text, x, y, width, height, style). windres stores a class given by name
# in capitals; the dialog manager finds window classes whatever their case.
THRESHOLD_DIALOG = (0x80C800C0, 0, 0, 151, 51, "ハードエッジ", 9, "ＭＳ Ｐゴシック")
THRESHOLD_CONTROLS = [
    (0x0080, 0xFFFF, "しきい値(&V)", 7, 7, 83, 38, 0x50020007),
    ("ZBSPINEDIT", 1010, "", 14, 21, 30, 14, 0x50010000),
    (0x0082, 0xFFFF, "（1～254）", 51, 25, 35, 8, 0x50020000),
    (0x0080, 1, "OK", 94, 7, 50, 14, 0x50030001),
    (0x0080, 2, "キャンセル", 94, 25, 50, 14, 0x50010000),
]


def utf16z(text):
    return text.encode("utf-16-le") + b"\0\0"


def dialog_template():
    """A classic DLGTEMPLATE with its items, each item DWORD-aligned."""
    style, x, y, cx, cy, caption, points, face = THRESHOLD_DIALOG
    data = struct.pack("<IIHhhhh", style, 0, len(THRESHOLD_CONTROLS), x, y, cx, cy)
    data += b"\0\0" + b"\0\0" + utf16z(caption) + struct.pack("<H", points) + utf16z(face)
    for kind, item_id, text, x, y, cx, cy, style in THRESHOLD_CONTROLS:
        data = padded(data, 4)
        data += struct.pack("<IIhhhhH", style, 0, x, y, cx, cy, item_id)
        data += struct.pack("<HH", 0xFFFF, kind) if isinstance(kind, int) else utf16z(kind)
        data += utf16z(text) + b"\0\0"
    return data


def check(label, passed, detail=""):
    global failures
    if not passed:
        failures += 1
    print("%s %s%s" % ("ok  " if passed else "FAIL", label, "" if passed or not detail else ": " + detail))


def first_difference(actual, expected):
    for i, (a, b) in enumerate(zip(actual, expected)):
        if a != b:
            return "first difference at byte %d (0x%02x, expected 0x%02x)" % (i, a, b)
    return "%d bytes, expected %d" % (len(actual), len(expected))


def check_bytes(label, actual, expected):
    if actual is None:
        check(label, False, "missing")
    else:
        check(label, actual == expected, first_difference(actual, expected))


def bitmap_checks(label, data, size, bits):
    """The image is a classic bitmap of the right size and depth (not PNG),
    and its parts add up to its length."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        check(label + " is a bitmap", False, "PNG-compressed")
        return
    header = struct.unpack_from("<IiiHHI", data)
    colours = 1 << bits
    xor = (size * bits + 31) // 32 * 4 * size
    mask = (size + 31) // 32 * 4 * size
    check(label + " is a %dx%d %d-bit bitmap" % (size, size, bits),
          header == (40, size, 2 * size, 1, bits, 0) and len(data) == 40 + 4 * colours + xor + mask,
          "header %r, %d bytes" % (header, len(data)))


def pixel(data, size, bits, x, y):
    """(palette colour as r, g, b, transparent) of pixel x, y (y downwards)."""
    colours = 1 << bits
    xor_stride = (size * bits + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    row = size - 1 - y
    xor_at = 40 + 4 * colours + row * xor_stride
    bit = x * bits
    index = (data[xor_at + bit // 8] >> (8 - bits - bit % 8)) & (colours - 1)
    and_at = 40 + 4 * colours + xor_stride * size + row * and_stride
    transparent = bool(data[and_at + x // 8] & (0x80 >> (x % 8)))
    b, g, r, _ = data[40 + 4 * index:44 + 4 * index]
    return (r, g, b), transparent


def check_icon(name, res):
    group = res.get((RT_GROUP_ICON, 102, JAPANESE))
    images = icon_file_images(os.path.join(ROOT, "assets", "plugin.ico"), 1)
    check("%s: the icon file holds %s" % (name, ICON_IMAGES),
          [(e[0], e[5]) for e, _ in images] == ICON_IMAGES and
          all(e[4] == 1 for e, _ in images))
    if group is None:
        check("%s: icon group 102" % name, False, "missing")
        return
    count = struct.unpack_from("<HHH", group)[2]
    ids = [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(count)]
    expected = struct.pack("<HHH", 0, 1, len(images))
    for (entry, data), icon_id in zip(images, ids):
        width, height, colours, _, planes, bits, _, _ = entry
        expected += struct.pack("<BBBBHHIH", width, height, colours, 0, planes, bits,
                                len(data), icon_id)
    check_bytes("%s: icon group 102" % name, group, expected)
    check("%s: icon ids are distinct" % name, len(set(ids)) == len(ids), repr(ids))
    for ((size, bits), (_, data), icon_id) in zip(ICON_IMAGES, images, ids):
        label = "%s: icon %d (%dx%d, %d-bit)" % (name, icon_id, size, size, bits)
        built = res.get((RT_ICON, icon_id, JAPANESE))
        check_bytes(label, built, data)
        if built != data:
            continue
        bitmap_checks(label, built, size, bits)
        edge = size - 3
        band = edge - 2
        look = {
            "outline corner is black": pixel(built, size, bits, 0, 0) == ((0, 0, 0), False),
            "band is dark red": pixel(built, size, bits, 1, band) == ((128, 0, 0), False),
            "shadow is grey": pixel(built, size, bits, size - 1, size - 1) == ((128, 128, 128), False),
            "corners beside the shadow are clear": pixel(built, size, bits, size - 1, 0)[1] and
                                                   pixel(built, size, bits, 0, size - 1)[1],
        }
        bad = [what for what, ok in look.items() if not ok]
        check(label + " looks as drawn", not bad, ", ".join(bad))


def check_cursor(name, res):
    group = res.get((RT_GROUP_CURSOR, 106, JAPANESE))
    (entry, data), = icon_file_images(os.path.join(ROOT, "assets", "hand.cur"), 2)
    check("%s: the cursor file's hot spot is %s" % (name, CURSOR_HOT_SPOT),
          (entry[4], entry[5]) == CURSOR_HOT_SPOT)
    if group is None:
        check("%s: cursor group 106" % name, False, "missing")
        return
    cursor_id = struct.unpack_from("<H", group, 6 + 12)[0]
    # A cursor group gives the doubled bitmap height and counts the hot spot
    # in the image's size.
    expected = struct.pack("<HHH", 0, 2, 1) + struct.pack("<HHHHIH", 32, 64, 1, 1,
                                                          len(data) + 4, cursor_id)
    check_bytes("%s: cursor group 106" % name, group, expected)
    built = res.get((RT_CURSOR, cursor_id, JAPANESE))
    check_bytes("%s: cursor %d" % (name, cursor_id), built,
                struct.pack("<HH", *CURSOR_HOT_SPOT) + data)
    if built is not None:
        bitmap = built[4:]
        bitmap_checks("%s: cursor %d" % (name, cursor_id), bitmap, 32, 1)
        x, y = CURSOR_HOT_SPOT
        tip = pixel(bitmap, 32, 1, x, y)
        above = pixel(bitmap, 32, 1, x, y - 1)
        check("%s: the hot spot sits on the fingertip's edge" % name,
              tip == ((0, 0, 0), False) and above[1], "tip %r, above %r" % (tip, above))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    built = {}
    for name, path in zip(PRODUCTS, sys.argv[1:]):
        try:
            built[name] = read_resources(path)
        except (OSError, ValueError, struct.error) as error:
            check("%s: resource directory readable" % name, False, str(error))
    for name, res in built.items():
        product = PRODUCTS[name]
        check_bytes("%s: property list PIPL 16000 (US English)" % name,
                    res.get(("PIPL", 16000, ENGLISH_US)), property_list(product))
        pipl = res.get(("PIPL", 16000, ENGLISH_US))
        if pipl is not None:
            lengths = {key: len(data) for key, data in properties(pipl).items()}
            check("%s: property data lengths" % name, lengths == PROPERTY_LENGTHS[name],
                  repr(lengths))
        check_bytes("%s: terminology AETE 16000 (US English)" % name,
                    res.get(("AETE", 16000, ENGLISH_US)), terminology(product))
        check_bytes("%s: version block 1 (Japanese)" % name,
                    res.get((RT_VERSION, 1, JAPANESE)), version_block(product))
        check_icon(name, res)
        check_cursor(name, res)
        expected_kinds = {("PIPL", ENGLISH_US), ("AETE", ENGLISH_US), (RT_VERSION, JAPANESE),
                          (RT_GROUP_ICON, JAPANESE), (RT_ICON, JAPANESE),
                          (RT_GROUP_CURSOR, JAPANESE), (RT_CURSOR, JAPANESE)}
        if name == "stepedge":
            check_bytes("%s: threshold dialog 101 (Japanese)" % name,
                        res.get((RT_DIALOG, 101, JAPANESE)), dialog_template())
            expected_kinds.add((RT_DIALOG, JAPANESE))
        kinds = {(kind, lang) for kind, _, lang in res}
        check("%s: no other resources" % name, kinds == expected_kinds,
              "unexpected %r, missing %r" % (kinds - expected_kinds, expected_kinds - kinds))

    if len(built) == 2:
        a, b = (built[name] for name in PRODUCTS)
        check("the property lists differ only in 'name' and the 'hstm' scope",
              differing_properties(a.get(("PIPL", 16000, ENGLISH_US)),
                                   b.get(("PIPL", 16000, ENGLISH_US))) == ["hstm", "name"])
        check("the terminologies differ only in the event name",
              terminologies_differ_only_in_event(a.get(("AETE", 16000, ENGLISH_US)),
                                                 b.get(("AETE", 16000, ENGLISH_US))))
    return 1 if failures else 0


def properties(data):
    out = {}
    at = 10
    for _ in range(struct.unpack_from("<i", data, 6)[0]):
        _, key, _, length = struct.unpack_from("<4sIiI", data, at)
        out[key.to_bytes(4, "big").decode("ascii")] = data[at + 16:at + 16 + length]
        at += 16 + length
    return out


def differing_properties(a, b):
    if a is None or b is None:
        return None
    pa, pb = properties(a), properties(b)
    if pa["hstm"][:14] != pb["hstm"][:14]:
        return None
    return sorted(key for key in set(pa) | set(pb) if pa.get(key) != pb.get(key))


def terminologies_differ_only_in_event(a, b):
    if a is None or b is None:
        return False
    at = terminology_event_offset()
    end_a, end_b = at + 1 + a[at], at + 1 + b[at]
    return a[:at] == b[:at] and a[at:end_a] != b[at:end_b] and a[end_a:] == b[end_b:]


if __name__ == "__main__":
    sys.exit(main())
