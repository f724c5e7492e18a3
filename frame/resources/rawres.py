#!/usr/bin/env python3
"""Turns a field table (properties.txt, terminology.txt) and a product's texts
into the raw bytes of a custom resource.

The resource compiler copies strings in raw data blocks byte for byte, so the
Shift-JIS the host expects has to exist before it runs: that is this script's
whole job. Usage: rawres.py TABLE TEXTS OUTPUT
"""
import struct
import sys

STRING_TYPES = ("pstring", "cstring")


def read_texts(path):
    texts = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            key, _, value = line.partition(" ")
            texts[key] = value.strip()
    return texts


def fourcc(text):
    raw = text.encode("ascii")
    if len(raw) != 4:
        raise ValueError("four-character code %r" % text)
    return struct.pack("<I", int.from_bytes(raw, "big"))


def field(kind, value, texts):
    if kind in STRING_TYPES:
        raw = value.format(**texts).encode("cp932")
        if kind == "cstring":
            return raw + b"\0"
        if len(raw) > 255:
            raise ValueError("counted string longer than 255 bytes: %r" % value)
        return bytes([len(raw)]) + raw
    if kind == "fourcc":
        return fourcc(value)
    number = int(value, 0)
    if kind == "byte":
        return struct.pack("<B", number)
    if kind == "int16":
        return struct.pack("<h" if number < 0x8000 else "<H", number)
    if kind == "int32":
        return struct.pack("<i" if number < 0x80000000 else "<I", number)
    raise ValueError("unknown field type %r" % kind)


def fields(line, texts):
    """The fields on one table line: strings take the rest of the line, the
    other types come in type/value pairs, several allowed on a line."""
    words = line.split()
    out = []
    while words:
        kind = words[0]
        if kind in STRING_TYPES:
            value = line.split(None, 1)[1] if len(line.split(None, 1)) > 1 else ""
            # Keep the spacing inside the string itself.
            out.append(field(kind, value.strip(), texts))
            return out
        if len(words) < 2:
            raise ValueError("no value for %r" % kind)
        out.append(field(kind, words[1], texts))
        words = words[2:]
        line = line.split(None, 2)[2] if len(line.split(None, 2)) > 2 else ""
    return out


def build(table_path, texts):
    body = bytearray()
    # (key, alignment, data) of the property being read, if any.
    current = None
    properties = []
    with open(table_path, encoding="utf-8") as f:
        for number, raw_line in enumerate(f, 1):
            line = raw_line.split("--", 1)[0].rstrip()
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            try:
                words = line.split()
                if words[0] == "property":
                    align = int(words[3]) if len(words) > 3 and words[2] == "align" else 4
                    current = [words[1], align, bytearray()]
                    properties.append(current)
                    continue
                target = current[2] if current else body
                for data in fields(line.strip(), texts):
                    target += data
            except (ValueError, KeyError, IndexError) as error:
                sys.exit("%s:%d: %s" % (table_path, number, error))
    for key, align, data in properties:
        data += b"\0" * (-len(data) % align)
        body += fourcc("8BIM") + fourcc(key) + struct.pack("<ii", 0, len(data)) + data
    return bytes(body)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    table, texts, output = sys.argv[1:]
    data = build(table, read_texts(texts))
    with open(output, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
