#!/usr/bin/env python3
"""Byte-exact assembly and checks for the generated content.

sox and ImageMagick make the samples and pixels; the containers are written
here because the program depends on layouts neither tool produces on its own
(a sample chunk glued to an odd-sized "data" chunk with no pad byte, an
8-bit paletted icon with its AND mask).
"""

import argparse
import re
import struct
import sys


def fail(message):
    sys.stderr.write("content_tool: " + message + "\n")
    sys.exit(1)


# ---------------------------------------------------------------------------
# RIFF WAVE


def sample_chunk(rate):
    # A minimal "smpl" chunk: no loops, unity note middle C. Nothing reads
    # it; it is there so the chunk after "data" is real-looking.
    period_ns = round(1_000_000_000 / rate)
    body = struct.pack("<9I", 0, 0, period_ns, 60, 0, 0, 0, 0, 0)
    return b"smpl" + struct.pack("<I", len(body)) + body


def cmd_wave(args):
    with open(args.raw, "rb") as f:
        samples = f.read()
    if len(samples) != args.data_bytes:
        fail("%s holds %d bytes, expected %d" % (args.raw, len(samples), args.data_bytes))
    block_align = args.channels * args.bits // 8
    if args.data_bytes % block_align:
        fail("%d data bytes is not a whole number of %d-byte frames" % (args.data_bytes, block_align))
    fmt = struct.pack("<HHIIHH", 1, args.channels, args.rate,
                      args.rate * block_align, block_align, args.bits)
    body = b"WAVE"
    body += b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(samples)) + samples
    if args.trailer:
        # Deliberately no pad byte after odd-sized data: the loader must stop
        # at the end of "data" and never walk on to whatever follows.
        body += sample_chunk(args.rate)
    elif len(samples) % 2:
        body += b"\0"
    image = b"RIFF" + struct.pack("<I", len(body)) + body
    with open(args.out, "wb") as f:
        f.write(image)


# ---------------------------------------------------------------------------
# Icon


def read_exact(path, size):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) != size:
        fail("%s holds %d bytes, expected %d" % (path, len(data), size))
    return data


def icon_image(rgb_path, mask_path, size):
    rgb = read_exact(rgb_path, size * size * 3)
    mask = read_exact(mask_path, size * size)
    palette = []
    index_of = {}
    indices = bytearray(size * size)
    for p in range(size * size):
        if mask[p] < 128:
            continue  # transparent: index 0, AND bit set below
        colour = rgb[3 * p:3 * p + 3]
        if colour not in index_of:
            index_of[colour] = len(palette)
            palette.append(colour)
        indices[p] = index_of[colour]
    if len(palette) > 256:
        fail("%s has %d colours" % (rgb_path, len(palette)))
    while len(palette) < 256:
        palette.append(b"\0\0\0")

    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    xor_stride = (size + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    andmask = bytearray()
    for y in reversed(range(size)):  # DIB rows are stored bottom-up
        row = indices[y * size:(y + 1) * size]
        xor += row + bytes(xor_stride - size)
        bits = bytearray(and_stride)
        for x in range(size):
            if mask[y * size + x] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    return header + pal + bytes(xor) + bytes(andmask)


def cmd_icon(args):
    images = []
    for spec in args.image:
        size_text, rgb_path, mask_path = spec.split(":")
        size = int(size_text)
        images.append((size, icon_image(rgb_path, mask_path, size)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        # A colour count of 0 means 256 or more in an icon directory.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(args.out, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------------------
# Bitmap check


def cmd_check_bmp(args):
    with open(args.path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM" or len(data) < 54:
        fail("%s is not a BMP" % args.path)
    file_size = struct.unpack_from("<I", data, 2)[0]
    off_bits = struct.unpack_from("<I", data, 10)[0]
    header_size, width, height, planes, bits, compression, _, _, _, used, _ = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    stride = (width * 3 + 3) & ~3
    problems = []
    if file_size != len(data):
        problems.append("file size field %d, file %d" % (file_size, len(data)))
    if header_size != 40:
        problems.append("header is %d bytes" % header_size)
    if (width, height) != (args.width, args.height):
        problems.append("size %dx%d" % (width, height))
    if planes != 1 or bits != 24 or compression != 0 or used != 0:
        problems.append("planes %d bits %d compression %d colours %d" % (planes, bits, compression, used))
    if off_bits != 54:
        problems.append("pixels at %d (a palette or extra header crept in)" % off_bits)
    if len(data) != 54 + stride * height:
        problems.append("%d bytes for %d rows of %d" % (len(data), height, stride))
    if problems:
        fail("%s: %s" % (args.path, "; ".join(problems)))


# ---------------------------------------------------------------------------
# The captions, as the program's catalogue gives them


def cmd_captions(args):
    # Rows of kHotRegions: left, top, right, bottom, hover id, overlay id,
    # overlay height, name, game.
    with open(args.header) as f:
        text = f.read()
    table = re.search(r"kHotRegions = std::to_array<HotRegion>\(\{(.*?)\}\);", text, re.S)
    if not table:
        fail("no caption table in " + args.header)
    rows = re.findall(r'\{\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),[^,]+,[^,]+,\s*(\d+),\s*"([^"]*)"',
                      table.group(1))
    if not rows or len({(r[0], r[2]) for r in rows}) != 1:
        fail("the captions in %s do not share one column" % args.header)
    print("col_left=%s col_width=%d" % (rows[0][0], int(rows[0][2]) - int(rows[0][0])))
    for name, column in (("names", 5), ("tops", 1), ("bottoms", 3), ("pressed_heights", 4)):
        print("%s=(%s)" % (name, " ".join(row[column] for row in rows)))


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)

    wave = sub.add_parser("wave")
    wave.add_argument("--raw", required=True)
    wave.add_argument("--channels", type=int, required=True)
    wave.add_argument("--rate", type=int, required=True)
    wave.add_argument("--bits", type=int, required=True)
    wave.add_argument("--data-bytes", type=int, required=True)
    wave.add_argument("--trailer", action="store_true")
    wave.add_argument("--out", required=True)
    wave.set_defaults(run=cmd_wave)

    icon = sub.add_parser("icon")
    icon.add_argument("--image", action="append", required=True, help="SIZE:RGB:MASK")
    icon.add_argument("--out", required=True)
    icon.set_defaults(run=cmd_icon)

    check = sub.add_parser("check-bmp")
    check.add_argument("path")
    check.add_argument("width", type=int)
    check.add_argument("height", type=int)
    check.set_defaults(run=cmd_check_bmp)

    captions = sub.add_parser("captions", help="the caption table as shell variables")
    captions.add_argument("header")
    captions.set_defaults(run=cmd_captions)

    args = parser.parse_args()
    args.run(args)


if __name__ == "__main__":
    main()
