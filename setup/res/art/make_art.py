#!/usr/bin/env python3
"""Draws the setup program's bitmaps and icon into this folder.

The BMP and ICO files are committed and the build only reads them, so this
script is needed only when the art changes. It wants Pillow and the DejaVu
fonts (Debian: python3-pil, fonts-dejavu-core, fonts-dejavu-extra):

    python3 make_art.py

The BMPs are written by hand rather than by Pillow so that the format is
always the plain one the resource compiler and old GDI expect: a 40-byte
info header, bottom-up rows, and for 8 bpp a full 256-entry palette.

Every drawing is made for each display scale in SCALES: 100 % here (BI_RGB,
exactly the art the pages have always had), the others in a folder named by
their per cent, run-length coded, and listed in scaled.rc for the resources.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))

# Shapes are drawn this many times larger and then averaged down, which
# gives smooth edges; text is drawn at final size so that hinting keeps it
# crisp.
SS = 4

# The display scales the wizard chooses from, in per cent of 96 DPI. The art
# is laid out in 100 % pixels; S is the scale being drawn and K the factor
# from layout units to supersampled ones. At 100 % both stay integers, so the
# art comes out exactly as it always has.
SCALES = (100, 125, 150, 175, 200, 250)
S = 1
K = SS


def set_scale(percent):
    global S, K
    S = 1 if percent == 100 else percent / 100.0
    K = SS if S == 1 else SS * S


def px(v):
    """Layout pixels at the current scale."""
    return v if S == 1 else int(round(v * S))

NAVY = (22, 46, 88)
BLUE = (38, 99, 168)
TEAL = (40, 146, 160)
ORANGE = (242, 140, 40)
ORANGE_DARK = (206, 104, 18)
PAPER = (255, 255, 255)
FOLD = (206, 219, 236)
INK_LINE = (176, 190, 212)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

FONT_DIRS = [
    "/usr/share/fonts/truetype/dejavu",
    "/usr/local/share/fonts",
    os.path.expanduser("~/.fonts"),
]


def font(name, size):
    for d in FONT_DIRS:
        path = os.path.join(d, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    sys.exit("font %s not found; install fonts-dejavu-core and "
             "fonts-dejavu-extra" % name)


SANS = "DejaVuSans.ttf"
SANS_BOLD = "DejaVuSans-Bold.ttf"
SANS_BOLD_ITALIC = "DejaVuSans-BoldOblique.ttf"
COND_BOLD_ITALIC = "DejaVuSansCondensed-BoldOblique.ttf"
SERIF_ITALIC = "DejaVuSerif-Italic.ttf"


# ---------------------------------------------------------------- helpers

def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def gradient(size, stops, vertical=True):
    """RGB image with a linear gradient through (position, colour) stops."""
    w, h = size
    n = h if vertical else w
    line = Image.new("RGB", (1, n) if vertical else (n, 1))
    for i in range(n):
        t = i / max(n - 1, 1)
        for j in range(len(stops) - 1):
            (p0, c0), (p1, c1) = stops[j], stops[j + 1]
            if t <= p1 or j == len(stops) - 2:
                u = 0.0 if p1 == p0 else min(max((t - p0) / (p1 - p0), 0), 1)
                c = mix(c0, c1, u)
                break
        line.putpixel((0, i) if vertical else (i, 0), c)
    return line.resize(size, Image.NEAREST)


def text_mask(text, fnt):
    """Anti-aliased ink of the text, cropped to the pixels it really covers
    (italic overhang included), so that placement can be exact."""
    l, t, r, b = fnt.getbbox(text)
    pad = 8
    m = Image.new("L", (r - l + 2 * pad, b - t + 2 * pad), 0)
    ImageDraw.Draw(m).text((pad - l, pad - t), text, font=fnt, fill=255)
    return m.crop(m.getbbox())


def put_text(img, xy, text, fnt, colour):
    m = text_mask(text, fnt)
    x, y = xy
    assert x >= 0 and y >= 0 and x + m.width <= img.width \
        and y + m.height <= img.height, "text %r does not fit" % text
    img.paste(colour, (x, y, x + m.width, y + m.height), m)
    return m.size


def fitting_font(name, texts, max_w, max_h, start=40):
    for size in range(start, 5, -1):
        f = font(name, size)
        if all(text_mask(t, f).width <= max_w and
               text_mask(t, f).height <= max_h for t in texts):
            return f
    raise ValueError("nothing fits")


def shrink(img, size):
    return img.resize(size, Image.BOX)


def shadow(alpha, radius, strength):
    """Soft black shadow layer from an alpha mask."""
    a = alpha.filter(ImageFilter.GaussianBlur(radius))
    a = a.point(lambda v: int(v * strength))
    layer = Image.new("RGBA", alpha.size, (0, 0, 0, 0))
    layer.putalpha(a)
    return layer


def offset(layer, dx, dy):
    out = Image.new(layer.mode, layer.size, (0, 0, 0, 0))
    out.paste(layer, (int(dx), int(dy)))
    return out


# ------------------------------------------------------ the page and pen

def pen_polygons(tip, tail, width):
    """The pen as coloured polygons, from its nib at `tip` to its cap at
    `tail` (both in the caller's coordinates)."""
    tx, ty = tip
    ex, ey = tail
    length = ((ex - tx) ** 2 + (ey - ty) ** 2) ** 0.5
    ux, uy = (ex - tx) / length, (ey - ty) / length
    nx, ny = -uy, ux

    def at(s, w):
        # s: fraction along the pen from the nib, w: offset across it
        return (tx + ux * s * length + nx * w * width,
                ty + uy * s * length + ny * w * width)

    def band(s0, s1, w0, w1):
        return [at(s0, -w0 / 2), at(s1, -w1 / 2), at(s1, w1 / 2),
                at(s0, w0 / 2)]

    return [
        ((196, 204, 216), [at(0.0, 0.0), at(0.22, -0.42), at(0.22, 0.42)]),
        ((120, 132, 150), [at(0.0, 0.0), at(0.22, 0.0), at(0.22, 0.42)]),
        (NAVY, band(0.21, 0.33, 0.84, 0.92)),
        (ORANGE, band(0.33, 0.90, 1.0, 1.0)),
        # Shade along one side so the barrel reads as round.
        (ORANGE_DARK, [at(0.33, 0.18), at(0.90, 0.18), at(0.90, 0.5),
                       at(0.33, 0.5)]),
        (NAVY, band(0.90, 1.0, 1.0, 0.8)),
    ]


def draw_pen(draw, tip, tail, width):
    for colour, poly in pen_polygons(tip, tail, width):
        draw.polygon(poly, fill=colour)


def mark(px, outline=True):
    """The company's mark: a page with a folded corner and a pen across it.
    Laid out on a 48-unit grid and drawn large, then averaged down to px."""
    big = 16 * px if px < 32 else 8 * px
    k = big / 48.0
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def P(x, y):
        return (x * k, y * k)

    # Strokes never thinner than one final pixel, or they vanish at 16 px.
    stroke = max(1.6 * k, big / px)
    page = [P(5, 3), P(27, 3), P(36, 12), P(36, 45), P(5, 45)]
    d.polygon(page, fill=PAPER)
    d.polygon([P(27, 3), P(27, 12), P(36, 12)], fill=FOLD)
    if outline:
        d.line(page + page[:2], fill=NAVY, width=int(round(stroke)),
               joint="curve")
        d.line([P(27, 3), P(27, 12), P(36, 12)], fill=NAVY,
               width=max(1, int(stroke * 0.8)))

    line_h = max(3.0 * k, big / px)
    rows = [(17, 18), (24, 22), (31, 12)] if px <= 16 else \
        [(17, 17), (22.5, 22), (28, 22), (33.5, 16), (39, 11)]
    for i, (y, w) in enumerate(rows):
        colour = BLUE if i == 0 else INK_LINE
        d.rectangle([P(10, y), (P(10, y)[0] + w * k - 1 * k,
                                P(10, y)[1] + line_h)], fill=colour)

    draw_pen(d, P(22, 40), P(46, 9), 7.5 * k)
    return shrink(img, (px, px))


def document(w, h):
    """The large page of the side panel, as an RGBA layer at SS scale."""
    W, H = int(w * K), int(h * K)
    img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    f = 26 * K
    d.polygon([(0, 0), (W - f, 0), (W, f), (W, H), (0, H)], fill=PAPER)
    d.polygon([(W - f, 0), (W - f, f), (W, f)], fill=FOLD)
    d.line([(W - f, 0), (W - f, f), (W, f)], fill=(170, 186, 210),
           width=int(K))

    def bar(x, y, length, colour, thick=3):
        d.rounded_rectangle([x * K, y * K, (x + length) * K,
                             (y + thick) * K], radius=thick * K // 2,
                            fill=colour)

    m = 12
    bar(m, 16, 52, BLUE, 6)
    bar(m, 29, 74, INK_LINE)
    bar(m, 37, 66, INK_LINE)
    # A picture block, as a document editor would lay one out.
    px, py, pw, ph = m, 50, 38, 30
    d.rectangle([px * K, py * K, (px + pw) * K, (py + ph) * K],
                fill=(214, 230, 246))
    d.ellipse([(px + 24) * K, (py + 5) * K, (px + 31) * K,
               (py + 12) * K], fill=(250, 196, 90))
    d.polygon([(px * K, (py + ph) * K), ((px + 12) * K, (py + 14) * K),
               ((px + 22) * K, (py + ph) * K)], fill=(92, 160, 140))
    d.polygon([((px + 13) * K, (py + ph) * K),
               ((px + 26) * K, (py + 17) * K),
               ((px + pw) * K, (py + ph) * K)], fill=(64, 130, 118))
    for i, length in enumerate((30, 34, 26, 32)):
        bar(m + pw + 6, py + 2 + i * 8, length - 6, INK_LINE)
    for i, length in enumerate((80, 72, 78, 44)):
        bar(m, 90 + i * 8, length, INK_LINE)
    return img


# ------------------------------------------------------------ writers

def rle8_rows(img):
    """The pixels of a P image as BI_RLE8 data, bottom row first: runs of
    one index where three or more repeat, literal stretches between them."""
    w, h = img.size
    data = img.tobytes()
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = data[y * w:(y + 1) * w]
        x = 0
        while x < w:
            run = 1
            while x + run < w and run < 255 and row[x + run] == row[x]:
                run += 1
            if run >= 3:
                out += bytes((run, row[x]))
                x += run
                continue
            start = x
            while x < w and x - start < 255 and not (
                    x + 2 < w and row[x] == row[x + 1] == row[x + 2]):
                x += 1
            n = x - start
            if n < 3:
                # An absolute stretch needs three or more; shorter ones are
                # runs of one.
                for i in range(start, x):
                    out += bytes((1, row[i]))
            else:
                out += bytes((0, n)) + row[start:x] + (b"\0" if n & 1
                                                       else b"")
        out += b"\0\0"
    out += b"\0\1"
    return bytes(out)


def write_bmp(path, img, rle=False):
    """Writes img as a bottom-up BMP: 24 bpp for RGB, 8 bpp with a 256-entry
    palette for P, run-length coded (BI_RLE8) when rle is set."""
    w, h = img.size
    if img.mode == "RGB":
        bits, palette = 24, b""
        row_bytes = lambda y: b"".join(
            bytes((b, g, r)) for r, g, b in
            (img.getpixel((x, y)) for x in range(w)))
    elif img.mode == "P":
        bits = 8
        pal = (img.getpalette() + [0] * 768)[:768]
        palette = b"".join(bytes((pal[3 * i + 2], pal[3 * i + 1],
                                  pal[3 * i], 0)) for i in range(256))
        row_bytes = lambda y: bytes(img.getpixel((x, y)) for x in range(w))
    else:
        raise ValueError(img.mode)
    stride = (w * bits // 8 + 3) & ~3
    if rle:
        assert bits == 8
        pixels = rle8_rows(img)
    else:
        pixels = b"".join(row_bytes(y).ljust(stride, b"\0")
                          for y in range(h - 1, -1, -1))
    off = 14 + 40 + len(palette)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", off + len(pixels), 0, 0, off))
        f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits,
                            1 if rle else 0,  # BI_RLE8 or BI_RGB
                            len(pixels), 3780, 3780,
                            256 if bits == 8 else 0, 0))
        f.write(palette)
        f.write(pixels)


def write_ico(path, images):
    """Writes RGBA images as a classic icon: 32 bpp DIB entries with an AND
    mask taken from the alpha, so systems without alpha still cut it out."""
    entries, blobs = [], []
    for img in images:
        w, h = img.size
        xor = b"".join(
            bytes((b, g, r, a)) for y in range(h - 1, -1, -1)
            for r, g, b, a in (img.getpixel((x, y)) for x in range(w)))
        mask_stride = ((w + 31) // 32) * 4
        and_rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if img.getpixel((x, y))[3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            and_rows.append(bytes(row))
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                             len(xor) + mask_stride * h, 0, 0, 0, 0)
        blobs.append(header + xor + b"".join(and_rows))
        entries.append((w, h))
    off = 6 + 16 * len(images)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for (w, h), blob in zip(entries, blobs):
            f.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                                len(blob), off))
            off += len(blob)
        for blob in blobs:
            f.write(blob)


def to_8bpp(img):
    """Palettizes an RGB image. Pure white keeps an exact palette entry,
    because the art sits on the pages' white background and a near-white
    seam would show."""
    img = img.convert("RGB")
    r, g, b = img.split()
    colours = img.getcolors(1 << 24)
    if all(c[0] == c[1] == c[2] for _, c in colours):
        # Grey only (the titles): an exact grey ramp loses nothing.
        p = r.convert("P")
        p.putpalette([v for i in range(256) for v in (i, i, i)])
        return p
    q = img.quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                     dither=Image.Dither.NONE)
    pal = (q.getpalette() + [0] * 768)[:765] + [255, 255, 255]
    q.putpalette(pal)
    white = ImageChops.multiply(
        ImageChops.multiply(r.point(lambda v: 255 * (v == 255)),
                            g.point(lambda v: 255 * (v == 255))),
        b.point(lambda v: 255 * (v == 255)))
    q.paste(255, (0, 0) + q.size, white)
    return q


# ------------------------------------------------------------ the art

def side_panel():
    w, h = px(185), px(336)
    W, H = w * SS, h * SS
    bg = gradient((W, H), [(0.0, (20, 44, 92)), (0.55, (30, 86, 150)),
                           (1.0, (34, 128, 150))]).convert("RGBA")

    # Faint rings give the flat gradient some depth.
    rings = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    rd = ImageDraw.Draw(rings)
    for cx, cy, r, a in ((170, 60, 120, 14), (-20, 270, 110, 12),
                         (150, 330, 70, 10)):
        rd.ellipse([(cx - r) * K, (cy - r) * K, (cx + r) * K,
                    (cy + r) * K], fill=(255, 255, 255, a))
    bg = Image.alpha_composite(bg, rings)

    doc = document(108, 134)
    doc = doc.rotate(6, resample=Image.BICUBIC, expand=True)
    dx, dy = int(28 * K), int(114 * K)
    sh = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    sh.paste(doc, (dx, dy), doc)
    bg = Image.alpha_composite(bg, offset(shadow(sh.getchannel("A"),
                                                 5 * K, 0.45),
                                          3 * K, 5 * K))
    bg = Image.alpha_composite(bg, sh)

    # Handwriting the pen has just left on the page.
    ink = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    idr = ImageDraw.Draw(ink)
    pts = []
    for i in range(90):
        t = i / 89.0
        x = 58 + 52 * t
        y = 232 - 10 * t + 4.2 * math.sin(t * 9.5) - 3 * t * t
        pts.append((x * K, y * K))
    idr.line(pts, fill=(30, 70, 150, 255), width=int(1.6 * K), joint="curve")
    bg = Image.alpha_composite(bg, ink)

    pen = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw_pen(ImageDraw.Draw(pen), (110 * K, 218 * K),
             (168 * K, 132 * K), 11 * K)
    bg = Image.alpha_composite(bg, offset(shadow(pen.getchannel("A"),
                                                 3 * K, 0.5),
                                          4 * K, 5 * K))
    bg = Image.alpha_composite(bg, pen)

    img = shrink(bg.convert("RGB"), (w, h))

    # Slogan, one word a line, with the full stops in the accent colour.
    f = font(SANS_BOLD, px(21))
    d = ImageDraw.Draw(img)
    base = px(40)
    for word in ("Write", "Shape", "Share"):
        d.text((px(18), base), word, font=f, fill=WHITE, anchor="ls")
        d.text((px(18) + f.getlength(word) - px(1), base), ".", font=f,
               fill=ORANGE, anchor="ls")
        base += px(27)
    d.rectangle([px(19), base - px(12), px(44), base - px(10)], fill=ORANGE)

    # Company signature at the foot.
    logo = mark(px(26))
    img.paste(logo, (px(16), px(290)), logo)
    fb = font(SANS_BOLD, px(12))
    put_text(img, (px(48), px(296)), "Brellic Software", fb, WHITE)
    d.line([(px(16), px(282)), (px(169), px(282))], fill=(92, 146, 190),
           width=px(1))
    return img


def header():
    w, h = px(508), px(66)
    W, H = w * SS, h * SS
    bg = gradient((W, H), [(0.0, (255, 255, 255)), (0.45, (255, 255, 255)),
                           (1.0, (222, 234, 248))], vertical=False)
    bg = bg.convert("RGBA")
    deco = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    dd = ImageDraw.Draw(deco)
    for cx, cy, r, a in ((470, 10, 60, 40), (410, 70, 44, 30),
                         (520, 66, 34, 36)):
        dd.ellipse([(cx - r) * K, (cy - r) * K, (cx + r) * K,
                    (cy + r) * K], fill=(150, 186, 226, a))
    # A faint stack of pages on the right echoes the product's subject.
    for i, (x, y, a) in enumerate(((402, 14, 60), (414, 10, 90),
                                   (426, 6, 140))):
        pw, ph, f = 38, 50, 9
        poly = [(x, y), (x + pw - f, y), (x + pw, y + f), (x + pw, y + ph),
                (x, y + ph)]
        dd.polygon([(qx * K, qy * K) for qx, qy in poly],
                   fill=(255, 255, 255, 220),
                   outline=(120, 156, 200, a))
        dd.polygon([((x + pw - f) * K, y * K), ((x + pw - f) * K,
                     (y + f) * K), ((x + pw) * K, (y + f) * K)],
                   fill=(206, 219, 236, a + 60))
    for j in range(5):
        dd.rectangle([432 * K, (22 + j * 7) * K, (432 + (22 if j else 14))
                      * K, (24 + j * 7) * K], fill=(150, 176, 210, 200))
    bg = Image.alpha_composite(bg, deco)

    # Accent rule along the foot of the banner.
    rule = gradient((W, px(3) * SS), [(0.0, BLUE), (0.6, TEAL),
                                      (1.0, ORANGE)], vertical=False)
    bg.paste(rule, (0, H - px(3) * SS))
    img = shrink(bg.convert("RGB"), (w, h))

    logo = mark(px(44))
    img.paste(logo, (px(14), px(9)), logo)
    f1 = font(SANS, px(24))
    f2 = font(SANS_BOLD, px(24))
    x, y = px(68), px(10)
    mw = text_mask("Brellic", f1)
    img.paste(NAVY, (x, y, x + mw.width, y + mw.height), mw)
    x += mw.width + px(7)
    mb = text_mask("Pagewright", f2)
    # Both words open with a capital, so matching the ink tops puts them
    # on one baseline.
    y2 = y + (f1.getbbox("Brellic")[1] - f2.getbbox("Pagewright")[1])
    img.paste(BLUE, (x, y2, x + mb.width, y2 + mb.height), mb)
    put_text(img, (px(69), px(42)), "Setup", font(SANS, px(12)),
             (96, 110, 130))
    return fade_to_white(img, px(72))


def fade_to_white(img, width):
    """Blends the last `width` columns into white, ending in pure white: the
    inner pages' header control is wider than the banner, and the rest of it
    is the page's own white, so a hard edge would show where the art stops."""
    w, h = img.size
    ramp = Image.new("L", (w, 1), 0)
    for x in range(w - width, w):
        t = (x - (w - width) + 1) / width
        ramp.putpixel((x, 0), int(round(255 * t * t * (3 - 2 * t))))
    return Image.composite(Image.new("RGB", img.size, WHITE), img,
                           ramp.resize((w, h), Image.NEAREST))


TITLES = {
    "title_welcome.bmp": ((198, 36), "Welcome to Setup"),
    "title_completed.bmp": ((199, 32), "Setup Completed!"),
    "title_aborted.bmp": ((167, 31), "Setup Aborted!"),
}


def titles():
    # One size for all three so that the pages look alike: the largest at
    # which each title fits its own bitmap with a small margin.
    for size in range(px(30), 8, -1):
        fnt = font(SANS_BOLD_ITALIC, size)
        if all(text_mask(t, fnt).width <= px(w) - px(4) and
               text_mask(t, fnt).height <= px(h) - px(6)
               for (w, h), t in TITLES.values()):
            break
    cap = text_mask("W", fnt).height
    out = {}
    for name, ((w, h), text) in TITLES.items():
        w, h = px(w), px(h)
        img = Image.new("RGB", (w, h), WHITE)
        # Centre the capitals, so descenders do not push the line up.
        top = fnt.getbbox(text)[1] - fnt.getbbox("W")[1]
        put_text(img, (px(2), (h - cap) // 2 + top), text, fnt, BLACK)
        out[name] = img
    return out


TILE_STATES = {
    # state: fill top, fill bottom, border, pictogram colour
    ("default", "normal"): ((236, 241, 248), (212, 221, 234), (142, 160, 186),
                            (64, 88, 124)),
    ("default", "hover"): ((226, 252, 232), (170, 232, 190), (70, 162, 100),
                           (24, 128, 64)),
    ("default", "pressed"): ((150, 208, 168), (184, 230, 198),
                             (40, 116, 66), (16, 96, 46)),
    ("custom", "normal"): ((236, 241, 248), (212, 221, 234), (142, 160, 186),
                           (64, 88, 124)),
    ("custom", "hover"): ((255, 244, 222), (252, 210, 156), (214, 146, 60),
                          (186, 100, 16)),
    ("custom", "pressed"): ((228, 176, 112), (248, 206, 150),
                            (164, 98, 24), (140, 70, 8)),
}


def tile(kind, state):
    top, bottom, border, ink = TILE_STATES[(kind, state)]
    pressed = state == "pressed"
    w = h = px(64)
    W, H = w * SS, h * SS
    img = Image.new("RGBA", (W, H), WHITE + (255,))
    shape = Image.new("L", (W, H), 0)
    ImageDraw.Draw(shape).rounded_rectangle([0, 0, W - 1, H - 1],
                                            radius=8 * K, fill=255)
    inner = Image.new("L", (W, H), 0)
    edge = px(1) * SS
    ImageDraw.Draw(inner).rounded_rectangle(
        [edge, edge, W - 1 - edge, H - 1 - edge], radius=7 * K, fill=255)
    img.paste(border, (0, 0, W, H), shape)
    img.paste(gradient((W, H), [(0.0, top), (1.0, bottom)]), (0, 0), inner)

    d = ImageDraw.Draw(img)
    if pressed:
        # Inset: a dark band along the top and left inside the border.
        band = Image.new("RGBA", (W, H), (0, 0, 0, 0))
        bd = ImageDraw.Draw(band)
        bd.rectangle([0, 0, W, 3 * K], fill=(0, 0, 0, 46))
        bd.rectangle([0, 0, 3 * K, H], fill=(0, 0, 0, 46))
        band.putalpha(ImageChops.multiply(band.getchannel("A"), inner))
        img = Image.alpha_composite(img, band)
        d = ImageDraw.Draw(img)
    else:
        # A highlight just inside the top edge makes the tile look raised.
        d.line([(9 * K, 2 * K), (W - 9 * K, 2 * K)],
               fill=(255, 255, 255), width=px(1) * SS)

    s = 1 if pressed else 0
    cx, cy = 32 + s, 22 + s
    if kind == "default":
        r = 12
        d.ellipse([(cx - r) * K, (cy - r) * K, (cx + r) * K,
                   (cy + r) * K], outline=ink, width=int(2.4 * K))
        d.line([((cx - 6) * K, cy * K), ((cx - 1.5) * K, (cy + 5) * K),
                ((cx + 6.5) * K, (cy - 5) * K)], fill=ink,
               width=int(3.2 * K), joint="curve")
    else:
        for i, knob in enumerate((0.7, 0.3, 0.55)):
            y = cy - 8 + i * 8
            x0, x1 = cx - 13, cx + 13
            d.rounded_rectangle([x0 * K, (y - 1) * K, x1 * K,
                                 (y + 1) * K], radius=K, fill=ink)
            kx = x0 + (x1 - x0) * knob
            d.ellipse([(kx - 3.5) * K, (y - 3.5) * K, (kx + 3.5) * K,
                       (y + 3.5) * K], fill=WHITE, outline=ink,
                      width=int(1.8 * K))

    img = shrink(img.convert("RGB"), (w, h))
    word = "Default" if kind == "default" else "Custom"
    fnt = fitting_font(COND_BOLD_ITALIC, ["Default", "Custom"], px(54),
                       px(16), start=px(16))
    m = text_mask(word, fnt)
    shift = px(s)
    put_text(img, ((w - m.width) // 2 + shift, px(41) + shift), word, fnt,
             BLACK)
    return img


# Resource numbers of the art: the 100 % number plus this step times the
# scale's place in SCALES (the program computes the same).
ID_STEP = 1000
ART = [
    (146, "side.bmp"), (148, "header.bmp"), (149, "custom_hover.bmp"),
    (150, "custom_pressed.bmp"), (151, "custom_normal.bmp"),
    (152, "default_hover.bmp"), (153, "default_pressed.bmp"),
    (154, "default_normal.bmp"), (156, "title_aborted.bmp"),
    (157, "title_welcome.bmp"), (158, "title_completed.bmp"),
]
ICON_ID = 159


def write_scale(folder, percent):
    # The larger scales are palettized and run-length coded: as plain
    # bitmaps they would make setup.exe several times its size.
    big = percent != 100
    side = side_panel()
    write_bmp(os.path.join(folder, "side.bmp"),
              to_8bpp(side) if big else side, rle=big)
    write_bmp(os.path.join(folder, "header.bmp"), to_8bpp(header()), rle=big)
    for name, img in titles().items():
        write_bmp(os.path.join(folder, name), to_8bpp(img), rle=big)
    for kind in ("default", "custom"):
        for state in ("normal", "hover", "pressed"):
            write_bmp(os.path.join(folder, "%s_%s.bmp" % (kind, state)),
                      to_8bpp(tile(kind, state)), rle=big)
    # The window's small and large icons; the file's own icon (48) only at
    # 100 %, which the system scales for its views.
    sizes = (48, 32, 16) if not big else (32, 16)
    write_ico(os.path.join(folder, "setup.ico"),
              [mark(px(size)) for size in sizes])


def write_scaled_rc():
    lines = ["// Made by make_art.py: the art of every scale above 100 %.\n"]
    for place, percent in enumerate(SCALES):
        if percent == 100:
            continue
        for number, name in ART:
            lines.append('%d BITMAP "art/%d/%s"\n'
                         % (number + place * ID_STEP, percent, name))
        lines.append('%d ICON "art/%d/setup.ico"\n'
                     % (ICON_ID + place * ID_STEP, percent))
    with open(os.path.join(HERE, "scaled.rc"), "w") as f:
        f.writelines(lines)


def main():
    # 100 % stays in this folder, where the download's icon is taken from too;
    # every other scale has a folder of its own, named by its per cent.
    for percent in SCALES:
        set_scale(percent)
        folder = HERE if percent == 100 else os.path.join(HERE, str(percent))
        os.makedirs(folder, exist_ok=True)
        write_scale(folder, percent)
    write_scaled_rc()


if __name__ == "__main__":
    main()
