#!/usr/bin/python3
"""Draws every picture the client and the uninstaller embed.

Run from anywhere with Debian's Python, python3-pil (fonts-noto-cjk for the Chinese labels) and
zopfli (zopflipng recompresses every picture losslessly):
    /usr/bin/python3 tools/make_art.py               draw everything anew
    /usr/bin/python3 tools/make_art.py --recompress  only recompress the committed pictures
Writes resources/png/<id>.png, resources/png/pixels.txt (a checksum of each picture's pixels, which
the resources test compares with what the client decodes), resources/Harrowmere.ico,
resources/uninstall.ico and resources/contact-sheet.png. The output is deterministic (fixed random
seeds), and committed, so building the programs never needs Python.
"""
import io
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
RES = os.path.join(ROOT, "resources")
PNG_DIR = os.path.join(RES, "png")

NOTO = "/usr/share/fonts/opentype/noto/"
SANS = NOTO + "NotoSansCJK-Regular.ttc"
SANS_BOLD = NOTO + "NotoSansCJK-Bold.ttc"
SERIF_BOLD = NOTO + "NotoSerifCJK-Bold.ttc"
WQY = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

# Every picture with its pixel size; the resource script and the tests list the same set.
SIZES = {
    130: (28, 28), 131: (84, 24), 132: (84, 24), 133: (84, 24), 134: (84, 24), 135: (23, 23),
    137: (16, 16), 138: (82, 22), 139: (82, 22), 140: (82, 22), 141: (82, 22), 142: (295, 190),
    144: (68, 35), 145: (1154, 704), 146: (68, 35), 147: (68, 35), 148: (68, 35),
    151: (84, 24), 152: (84, 24), 153: (28, 28), 154: (23, 23), 155: (84, 24), 156: (84, 24),
    157: (25, 25), 158: (25, 25), 196: (25, 25),
    **{i: (25, 25) for i in range(208, 218)},
    229: (25, 25), 230: (25, 25), 231: (25, 25), 232: (25, 25), 234: (25, 25),
    235: (400, 240), 236: (96, 34), 237: (96, 34),
}

# Palette: everything is built around the game view's background 0x23373C.
TEAL = (35, 55, 60)
TEAL_DEEP = (16, 28, 32)
TEAL_DARK = (24, 40, 44)
TEAL_MID = (52, 84, 90)
TEAL_LIGHT = (86, 138, 142)
MIST = (170, 210, 206)
GLYPH = (198, 220, 216)
BRASS = (190, 156, 96)
BRASS_LIGHT = (238, 210, 150)
BRASS_DARK = (112, 86, 48)
GOLD_TEXT = (240, 222, 178)
EMBER = (255, 196, 120)
RED = (192, 60, 54)


def font(path, size, index=2):
    for candidate, idx in ((path, index), (WQY, 0)):
        try:
            return ImageFont.truetype(candidate, size, index=idx)
        except OSError:
            continue
    sys.exit("make_art: no CJK font found; install fonts-noto-cjk or fonts-wqy-microhei")


# ---------------------------------------------------------------------------------------------
# Small drawing helpers
# ---------------------------------------------------------------------------------------------

def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vgrad(w, h, stops):
    """Vertical gradient; stops are (position 0..1, colour) with colour RGB or RGBA."""
    col = Image.new("RGBA", (1, h))
    px = col.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for i in range(len(stops) - 1):
            p0, c0 = stops[i]
            p1, c1 = stops[i + 1]
            if p0 <= t <= p1:
                c0 = c0 if len(c0) == 4 else c0 + (255,)
                c1 = c1 if len(c1) == 4 else c1 + (255,)
                px[0, y] = lerp(c0, c1, (t - p0) / max(1e-6, p1 - p0))
                break
    return col.resize((w, h), Image.NEAREST)


def solid(w, h, colour, alpha=255):
    return Image.new("RGBA", (w, h), colour[:3] + (alpha,))


def shape_mask(size, draw_fn, ss=4):
    """Anti-aliased L mask: draw_fn(draw, s) draws in 1x coordinates scaled by s."""
    w, h = size
    big = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(big), ss)
    return big.resize((w, h), Image.LANCZOS)


def rr_mask(size, box, r, ss=4):
    return shape_mask(size, lambda d, s: d.rounded_rectangle(
        [box[0] * s, box[1] * s, box[2] * s - 1, box[3] * s - 1], radius=r * s, fill=255), ss)


def ellipse_mask(size, box, ss=4):
    return shape_mask(size, lambda d, s: d.ellipse(
        [box[0] * s, box[1] * s, box[2] * s - 1, box[3] * s - 1], fill=255), ss)


def scale_mask(mask, factor):
    return mask.point(lambda v: int(v * factor))


def paint(dst, fill, mask, offset=(0, 0)):
    """Composites fill (RGBA image or colour) through mask onto dst at offset."""
    if not isinstance(fill, Image.Image):
        fill = solid(mask.size[0], mask.size[1], fill, 255 if len(fill) == 3 else fill[3])
    layer = fill.copy()
    a = ImageChops.multiply(layer.getchannel("A"), mask)
    layer.putalpha(a)
    canvas = Image.new("RGBA", dst.size, (0, 0, 0, 0))
    canvas.paste(layer, offset)
    dst.alpha_composite(canvas)


def ring(mask, width):
    """The band just inside a mask's edge."""
    inner = mask.filter(ImageFilter.MinFilter(width * 2 + 1)) if width > 0 else mask
    return ImageChops.subtract(mask, inner)


def outline_outside(mask, width):
    grown = mask.filter(ImageFilter.MaxFilter(width * 2 + 1))
    return ImageChops.subtract(grown, mask)


def glow(dst, mask, colour, radius, strength=1.0):
    blurred = mask.filter(ImageFilter.GaussianBlur(radius))
    paint(dst, colour, scale_mask(blurred, strength))


def text_mask(size, xy, text, fnt, anchor="mm", spacing=0):
    """Text as an L mask; spacing > 0 spreads the characters apart."""
    m = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    if spacing == 0:
        d.text(xy, text, font=fnt, fill=255, anchor=anchor)
        return m
    widths = [d.textlength(ch, font=fnt) for ch in text]
    total = sum(widths) + spacing * (len(text) - 1)
    x = xy[0] - total / 2
    for ch, wdt in zip(text, widths):
        d.text((x, xy[1]), ch, font=fnt, fill=255, anchor="lm")
        x += wdt + spacing
    return m


def draw_text(dst, xy, text, fnt, colour, shadow=(0, 0, 0, 150), spacing=0, glow_colour=None,
              gradient=None):
    size = dst.size
    m = text_mask(size, xy, text, fnt, spacing=spacing)
    if glow_colour:
        glow(dst, m, glow_colour[:3], 3, glow_colour[3] / 255)
    if shadow:
        sh = ImageChops.offset(m, 0, 1)
        paint(dst, shadow[:3], scale_mask(sh, shadow[3] / 255))
    if gradient:
        paint(dst, vgrad(size[0], size[1], gradient), m)
    else:
        paint(dst, colour, m)


def value_noise(size, cell, seed, octaves=4):
    """Smooth fractal noise as an L image, built by enlarging small random images."""
    w, h = size
    rnd = random.Random(seed)
    acc = Image.new("L", size, 128)
    weight = 0.5
    for o in range(octaves):
        cw = max(2, int(w / cell) + 2)
        ch = max(2, int(h / cell) + 2)
        small = Image.new("L", (cw, ch))
        small.putdata([rnd.randint(0, 255) for _ in range(cw * ch)])
        layer = small.resize((w, h), Image.BICUBIC)
        acc = Image.blend(acc, layer, weight)
        cell = max(2, cell / 2)
        weight *= 0.6
    return acc


def fine_noise(size, amount, seed):
    rnd = random.Random(seed)
    n = Image.new("L", size)
    n.putdata([max(0, min(255, int(128 + rnd.gauss(0, amount)))) for _ in range(size[0] * size[1])])
    return n


def texture(dst, amount, seed, box=None):
    """Faint film grain: lightens and darkens pixels around mid grey."""
    w, h = dst.size
    n = fine_noise((w, h), amount, seed)
    light = n.point(lambda v: max(0, v - 128) * 2)
    dark = n.point(lambda v: max(0, 128 - v) * 2)
    paint(dst, (255, 255, 255), scale_mask(light, 0.12))
    paint(dst, (0, 0, 0), scale_mask(dark, 0.16))


# ---------------------------------------------------------------------------------------------
# Glyphs for the title-bar and round buttons (drawn in a 25-unit box, scaled)
# ---------------------------------------------------------------------------------------------

def glyph_mask(kind, size, box=25.0, ss=8, weight=1.0):
    w, h = size
    k = w / box

    def draw(d, s):
        f = k * s
        lw = max(1, int(round(1.7 * weight * f)))

        def L(points):
            d.line([(x * f, y * f) for x, y in points], fill=255, width=lw, joint="curve")
            for x, y in (points[0], points[-1]):
                r = lw / 2
                d.ellipse([x * f - r, y * f - r, x * f + r, y * f + r], fill=255)

        if kind == "close":
            L([(8, 8), (17, 17)])
            L([(17, 8), (8, 17)])
        elif kind == "min":
            L([(7.5, 16.5), (17.5, 16.5)])
        elif kind == "dash":
            L([(7.5, 12.5), (17.5, 12.5)])
        elif kind == "max":
            d.rectangle([7 * f, 7 * f, 18 * f, 18 * f], outline=255, width=lw)
            d.rectangle([7 * f, 7 * f, 18 * f, 9.2 * f], fill=255)
        elif kind == "restore":
            d.rectangle([10 * f, 6.5 * f, 18.5 * f, 15 * f], outline=255, width=lw)
            d.rectangle([6.5 * f, 10 * f, 15 * f, 18.5 * f], fill=0)
            d.rectangle([6.5 * f, 10 * f, 15 * f, 18.5 * f], outline=255, width=lw)
            d.rectangle([6.5 * f, 10 * f, 15 * f, 12 * f], fill=255)
        elif kind == "full":
            a = 4.2
            for (cx, cy, dx, dy) in ((7, 7, 1, 1), (18, 7, -1, 1), (7, 18, 1, -1), (18, 18, -1, -1)):
                L([(cx + dx * a, cy), (cx, cy), (cx, cy + dy * a)])
        elif kind == "tools":
            cx, cy = 12.5, 12.5
            pts = []
            teeth = 8
            for i in range(teeth * 4):
                ang = 2 * math.pi * i / (teeth * 4) + math.pi / (teeth * 4)
                r = 7.4 if (i % 4) in (0, 1) else 5.4
                pts.append(((cx + r * math.cos(ang)) * f, (cy + r * math.sin(ang)) * f))
            d.polygon(pts, fill=255)
            r = 2.4 * f
            d.ellipse([cx * f - r, cy * f - r, cx * f + r, cy * f + r], fill=0)
    return shape_mask(size, draw, ss)


def shift(mask, dx, dy):
    out = Image.new("L", mask.size, 0)
    out.paste(mask, (dx, dy))
    return out


# ---------------------------------------------------------------------------------------------
# Title bar (25 x 25 pictures)
# ---------------------------------------------------------------------------------------------

def title_background():
    img = vgrad(25, 25, [(0, (50, 78, 84)), (0.5, (40, 63, 69)), (1, (31, 49, 54))])
    d = ImageDraw.Draw(img)
    d.line([(0, 0), (24, 0)], fill=(84, 122, 126, 255))
    d.line([(0, 24), (24, 24)], fill=(17, 29, 33, 255))
    return img


def title_button(kind, state, danger=False):
    size = (25, 25)
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    plate = rr_mask(size, (2, 2, 23, 23), 4)
    g = glyph_mask(kind, size)
    if state == "normal":
        paint(img, (0, 0, 0), scale_mask(shift(g, 0, 1), 0.45))
        paint(img, GLYPH, g)
    elif state == "hover":
        if danger:
            fill = vgrad(25, 25, [(0, (226, 96, 86)), (1, (170, 44, 40))])
            edge = (246, 150, 136)
        else:
            fill = vgrad(25, 25, [(0, (96, 148, 152)), (1, (58, 98, 104))])
            edge = (140, 196, 196)
        paint(img, fill, plate)
        paint(img, edge, scale_mask(ring(plate, 1), 0.55))
        paint(img, (0, 0, 0), scale_mask(shift(g, 0, 1), 0.4))
        paint(img, (255, 255, 255), g)
    else:  # pressed: sunk plate, glyph one pixel lower and right
        if danger:
            fill = vgrad(25, 25, [(0, (120, 30, 28)), (1, (150, 44, 40))])
        else:
            fill = vgrad(25, 25, [(0, (12, 22, 26)), (1, (26, 44, 48))])
        paint(img, fill, plate)
        top = ImageChops.subtract(plate, shift(plate, 0, 2))
        paint(img, (0, 0, 0), scale_mask(top, 0.55))
        paint(img, (96, 150, 150), scale_mask(ring(plate, 1), 0.35))
        paint(img, (160, 206, 204), shift(g, 1, 1))
    return img


# ---------------------------------------------------------------------------------------------
# Round backdrop buttons (close 28 x 28, minimise 23 x 23)
# ---------------------------------------------------------------------------------------------

def round_button(size, kind, hover, danger):
    w, h = size
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    outer = ellipse_mask(size, (0.5, 0.5, w - 0.5, h - 0.5))
    inner = ellipse_mask(size, (2.2, 2.2, w - 2.2, h - 2.2))
    rim = vgrad(w, h, [(0, BRASS_LIGHT if hover else BRASS), (1, BRASS_DARK)])
    paint(img, rim, outer)
    if hover:
        top, bottom = ((232, 92, 80), (150, 34, 32)) if danger else ((104, 160, 162), (46, 86, 92))
    else:
        top, bottom = (58, 92, 98), (20, 36, 40)
    paint(img, vgrad(w, h, [(0, top), (1, bottom)]), inner)
    shine = ellipse_mask(size, (4, 3, w - 4, h * 0.55))
    paint(img, (255, 255, 255), scale_mask(shine, 0.10 if not hover else 0.16))
    g = glyph_mask(kind, size, weight=1.25)
    paint(img, (0, 0, 0), scale_mask(shift(g, 0, 1), 0.5))
    paint(img, (255, 255, 255) if hover else GOLD_TEXT, g)
    return img


# ---------------------------------------------------------------------------------------------
# Labelled buttons
# ---------------------------------------------------------------------------------------------

def plaque_button(size, label, hover, fsize=13, radius=5):
    """84 x 24 backdrop buttons: brass-edged teal plates with a label."""
    w, h = size
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    outer = rr_mask(size, (0, 0, w, h), radius)
    inner = rr_mask(size, (1, 1, w - 1, h - 1), radius - 1)
    edge_top, edge_bottom = (BRASS_LIGHT, BRASS) if hover else (BRASS, BRASS_DARK)
    paint(img, vgrad(w, h, [(0, edge_top), (1, edge_bottom)]), outer)
    if hover:
        fill = vgrad(w, h, [(0, (104, 164, 166)), (0.5, (66, 118, 124)), (1, (40, 80, 86))])
    else:
        fill = vgrad(w, h, [(0, (56, 90, 96)), (0.5, (38, 64, 70)), (1, (24, 42, 46))])
    paint(img, fill, inner)
    sheen = rr_mask(size, (2, 2, w - 2, h // 2), radius - 2)
    paint(img, (255, 255, 255), scale_mask(sheen, 0.16 if hover else 0.08))
    f = font(SANS_BOLD, fsize)
    colour = (255, 255, 255) if hover else GOLD_TEXT
    # little diamonds either side of the label
    tw = ImageDraw.Draw(img).textlength(label, font=f) + 1.5 * (len(label) - 1)
    for cx in (w / 2 - tw / 2 - 6.5, w / 2 + tw / 2 + 6.5):
        dm = shape_mask(size, lambda d, s, cx=cx: d.polygon(
            [((cx) * s, (h / 2 - 3) * s), ((cx + 3) * s, (h / 2) * s),
             (cx * s, (h / 2 + 3) * s), ((cx - 3) * s, (h / 2) * s)], fill=255))
        paint(img, BRASS_LIGHT if hover else BRASS, dm)
    draw_text(img, (w / 2, h / 2 - 0.5), label, f, colour, spacing=1.5,
              shadow=(0, 0, 0, 170))
    return img


def link_frame(label, hover):
    """One 41 x 22 frame of a title-bar quick link."""
    size = (41, 22)
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    plate = rr_mask(size, (1, 2, 40, 20), 4)
    if hover:
        paint(img, vgrad(41, 22, [(0, (94, 146, 150)), (1, (52, 92, 98))]), plate)
        paint(img, BRASS_LIGHT, scale_mask(ring(plate, 1), 0.85))
        colour = (255, 240, 200)
    else:
        paint(img, (18, 30, 34), scale_mask(plate, 0.35))
        paint(img, (110, 156, 158), scale_mask(ring(plate, 1), 0.55))
        colour = (214, 230, 226)
    f = font(SANS_BOLD if hover else SANS, 12)
    draw_text(img, (20.5, 10.5), label, f, colour, shadow=(0, 0, 0, 140), spacing=1)
    return img


def link_strip(label):
    strip = Image.new("RGBA", (82, 22), (0, 0, 0, 0))
    strip.paste(link_frame(label, False), (0, 0))
    strip.paste(link_frame(label, True), (41, 0))
    return strip


def dialog_button(label, primary, hover, size=(68, 35)):
    w, h = size
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    outer = rr_mask(size, (0, 0, w, h), 6)
    inner = rr_mask(size, (1, 1, w - 1, h - 1), 5)
    if primary:
        edge = [(0, BRASS_LIGHT), (1, BRASS_DARK)]
        fill = ([(0, (248, 220, 150)), (0.5, (214, 170, 92)), (1, (160, 116, 56))] if hover else
                [(0, (214, 184, 122)), (0.5, (176, 136, 74)), (1, (122, 88, 44))])
        colour = (48, 30, 10)
        shadow = (255, 240, 200, 120)
    else:
        edge = [(0, (150, 200, 200) if hover else (104, 150, 152)), (1, (40, 70, 74))]
        fill = ([(0, (100, 156, 160)), (0.5, (66, 116, 122)), (1, (40, 78, 84))] if hover else
                [(0, (62, 98, 104)), (0.5, (42, 70, 76)), (1, (26, 46, 50))])
        colour = (255, 255, 255) if hover else (220, 234, 230)
        shadow = (0, 0, 0, 160)
    paint(img, vgrad(w, h, edge), outer)
    paint(img, vgrad(w, h, fill), inner)
    sheen = rr_mask(size, (2, 2, w - 2, h // 2), 4)
    paint(img, (255, 255, 255), scale_mask(sheen, 0.22 if hover else 0.10))
    f = font(SANS_BOLD, 15)
    m = text_mask(size, (w / 2, h / 2 - 1), label, f, spacing=4)
    paint(img, shadow[:3], scale_mask(shift(m, 0, 1), shadow[3] / 255))
    paint(img, colour, m)
    return img


# ---------------------------------------------------------------------------------------------
# Close question, 295 x 190
# ---------------------------------------------------------------------------------------------

def dialog_panel(size, radius, header_stop, light_box, light_radius, seed, title, grain=True):
    """Brass-rimmed teal panel with a header band, a soft light and the moon before the title;
    without grain its fills stay smooth (a picture a fraction of the size)."""
    w, h = size
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    outer = rr_mask(size, (0, 0, w, h), radius)
    body = rr_mask(size, (2, 2, w - 2, h - 2), radius - 2)
    paint(img, vgrad(w, h, [(0, BRASS_LIGHT), (0.5, BRASS), (1, BRASS_DARK)]), outer)
    paint(img, vgrad(w, h, [(0, (44, 70, 76)), (0.25, TEAL), (1, (20, 34, 38))]), body)
    # header band
    header = ImageChops.multiply(body, rr_mask(size, (0, 0, w, 32), 0))
    paint(img, vgrad(w, h, [(0, (66, 104, 110)), (header_stop, (34, 58, 64)), (1, (34, 58, 64))]),
          header)
    d = ImageDraw.Draw(img)
    d.line([(3, 32), (w - 4, 32)], fill=(16, 28, 32, 255))
    d.line([(3, 33), (w - 4, 33)], fill=BRASS_DARK + (200,))
    # soft light behind the message
    glow(img, ellipse_mask(size, light_box), (120, 190, 190), light_radius, 0.22)
    if grain:
        texture(img, 10, seed)
    img.putalpha(ImageChops.multiply(img.getchannel("A"), outer))
    # title with a small moon emblem
    moon = shape_mask(size, lambda dr, s: (dr.ellipse([12 * s, 8 * s, 28 * s, 24 * s], fill=255),
                                           dr.ellipse([17 * s, 6 * s, 31 * s, 21 * s], fill=0)))
    paint(img, BRASS_LIGHT, moon)
    m = text_mask(size, (34, 16.5), title, font(SANS_BOLD, 13), anchor="lm")
    paint(img, (0, 0, 0), scale_mask(shift(m, 0, 1), 0.6))
    paint(img, GOLD_TEXT, m)
    return img


def button_well(img, box):
    l, t, r, b = box
    well = rr_mask(img.size, (l - 3, t - 3, r + 3, b + 3), 8)
    paint(img, (8, 16, 18), scale_mask(well, 0.75))
    paint(img, (110, 160, 160), scale_mask(outline_outside(well, 1), 0.30))


def fading_rule(img, x0, x1, y, alpha):
    """A brass line that fades out towards both ends."""
    d = ImageDraw.Draw(img)
    for x in range(x0, x1):
        t = abs((x - (x0 + x1) / 2) / ((x1 - x0) / 2))
        d.point((x, y), fill=BRASS + (int(alpha * (1 - t)),))


def footer_ornament(img, y, spans):
    for x0, x1 in spans:
        fading_rule(img, x0, x1, y, 150)
    cx = img.size[0] / 2
    dm = shape_mask(img.size, lambda dr, s: dr.polygon(
        [(cx * s, (y - 5) * s), ((cx + 5) * s, y * s), (cx * s, (y + 5) * s), ((cx - 5) * s, y * s)],
        fill=255))
    paint(img, BRASS_LIGHT, dm)


def close_question():
    w, h = 295, 190
    size = (w, h)
    img = dialog_panel(size, 9, 0.17, (30, 38, w - 30, 98), 18, 142, "退出提示")
    # the question
    fq = font(SANS_BOLD, 17)
    draw_text(img, (w / 2, 64), "确定要退出游戏吗？", fq, (255, 255, 255), shadow=(0, 0, 0, 200),
              spacing=1, glow_colour=(120, 200, 200, 60))
    fs = font(SANS, 11)
    draw_text(img, (w / 2, 84), "退出后将断开与游戏服务器的连接", fs, (150, 190, 188),
              shadow=None)
    # wells where the confirm and cancel buttons sit: (50,100)-(118,135) and (178,100)-(246,135)
    for box in ((50, 100, 118, 135), (178, 100, 246, 135)):
        button_well(img, box)
    footer_ornament(img, 160, ((40, 132), (163, 255)))
    return img


# ---------------------------------------------------------------------------------------------
# Offline notice, 400 x 240, over the page area when the game server cannot be reached
# ---------------------------------------------------------------------------------------------

# Where the client draws into the notice: the count-down line and the retry button's well.
OFFLINE_COUNTDOWN_Y = 158
OFFLINE_RETRY_BOX = (152, 180, 248, 214)


def offline_notice():
    w, h = SIZES[235]
    size = (w, h)
    # Smooth fills: the notice is stored at a fraction of the grained panel's size.
    img = dialog_panel(size, 10, 0.14, (60, 40, w - 60, 140), 22, 235, "网络提示", grain=False)
    # the emblem with the red bar: the castle out of reach
    tile = emblem((52, 52), badge=True)
    shade = Image.new("RGBA", size, (0, 0, 0, 0))
    shade.alpha_composite(tile, (w // 2 - 26, 42))
    glow(img, shade.getchannel("A"), (0, 0, 0), 6, 0.5)
    img.alpha_composite(tile, (w // 2 - 26, 42))
    draw_text(img, (w / 2, 114), "无法连接到游戏服务器", font(SANS_BOLD, 18), (255, 255, 255),
              shadow=(0, 0, 0, 200), spacing=1, glow_colour=(120, 200, 200, 60))
    draw_text(img, (w / 2, 136), "请检查网络连接，或稍后再试", font(SANS, 11), (150, 190, 188),
              shadow=None)
    # a faint rule on each side of the count-down line
    for x0, x1 in ((70, 130), (270, 330)):
        fading_rule(img, x0, x1, OFFLINE_COUNTDOWN_Y, 110)
    button_well(img, OFFLINE_RETRY_BOX)
    footer_ornament(img, h - 12, ((90, 182), (218, 310)))
    return img


# ---------------------------------------------------------------------------------------------
# Emblem and icons
# ---------------------------------------------------------------------------------------------

def emblem(size, badge=False):
    """Crescent moon over a castle tower and still water, on a brass-rimmed teal tile."""
    s = size[0]
    S = 1024
    big = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    full = (S, S)
    u = S / 64.0
    tile = rr_mask(full, (1 * u, 1 * u, 63 * u, 63 * u), 13 * u, ss=1)
    inner = rr_mask(full, (4 * u, 4 * u, 60 * u, 60 * u), 10.5 * u, ss=1)
    paint(big, vgrad(S, S, [(0, BRASS_LIGHT), (0.5, BRASS), (1, BRASS_DARK)]), tile)
    paint(big, vgrad(S, S, [(0, (18, 34, 40)), (0.55, (46, 82, 88)), (1, (20, 36, 40))]), inner)
    # moon glow and crescent
    halo = ellipse_mask(full, (28 * u, 6 * u, 54 * u, 32 * u), ss=1)
    glow(big, halo, (200, 240, 230), 60, 0.45)
    moon = shape_mask(full, lambda d, k: (d.ellipse([33 * u, 9 * u, 51 * u, 27 * u], fill=255),
                                          d.ellipse([38.5 * u, 6.5 * u, 55 * u, 23 * u], fill=0)),
                      ss=1)
    paint(big, (246, 236, 200), moon)
    # castle tower with a pointed roof and a battlement wing
    def castle(d, k):
        d.rectangle([16 * u, 24 * u, 27 * u, 46 * u], fill=255)
        d.polygon([(14.5 * u, 25 * u), (21.5 * u, 11 * u), (28.5 * u, 25 * u)], fill=255)
        d.rectangle([27 * u, 33 * u, 44 * u, 46 * u], fill=255)
        for i in range(4):
            x = 28 * u + i * 4.4 * u
            d.rectangle([x, 30.5 * u, x + 2.4 * u, 33.5 * u], fill=255)
        d.rectangle([40 * u, 27 * u, 46 * u, 46 * u], fill=255)
        d.polygon([(39 * u, 28 * u), (43 * u, 20 * u), (47 * u, 28 * u)], fill=255)
    cm = shape_mask(full, castle, ss=1)
    paint(big, (10, 20, 24), cm)
    win = shape_mask(full, lambda d, k: (d.rectangle([20.3 * u, 29 * u, 22.7 * u, 33 * u], fill=255),
                                         d.rectangle([33 * u, 37 * u, 35 * u, 40 * u], fill=255)),
                     ss=1)
    glow(big, win, EMBER, 18, 0.8)
    paint(big, EMBER, win)
    # water with a reflection line
    water = ImageChops.multiply(inner, rr_mask(full, (0, 46 * u, S, S), 0, ss=1))
    paint(big, vgrad(S, S, [(0, (40, 72, 78)), (0.72, (40, 72, 78)), (1, (14, 26, 30))]), water)
    ripple = shape_mask(full, lambda d, k: [d.rounded_rectangle(
        [x0 * u, y * u, x1 * u, (y + 1.3) * u], radius=0.6 * u, fill=255)
        for x0, x1, y in ((30, 50, 49.5), (34, 46, 53), (37.5, 43, 56.2), (12, 22, 51.5))], ss=1)
    paint(big, (200, 232, 222), scale_mask(ripple, 0.7))
    if badge:
        disc = ellipse_mask(full, (36 * u, 36 * u, 63 * u, 63 * u), ss=1)
        paint(big, (0, 0, 0), scale_mask(disc.filter(ImageFilter.GaussianBlur(14)), 0.6))
        paint(big, vgrad(S, S, [(0, (236, 106, 92)), (1, (150, 36, 34))]), disc)
        paint(big, (255, 210, 200), scale_mask(ring(disc, 14), 0.6))
        bar = shape_mask(full, lambda d, k: d.rounded_rectangle(
            [42 * u, 47.5 * u, 57 * u, 51.5 * u], radius=1.5 * u, fill=255), ss=1)
        paint(big, (255, 255, 255), bar)
    return big.resize((s, s), Image.LANCZOS)


def small_emblem(size, badge=False):
    """The emblem reduced to what reads at 16 and 24 pixels: rim, crescent, one tower, water."""
    S = 512
    full = (S, S)
    u = S / 16.0
    big = Image.new("RGBA", full, (0, 0, 0, 0))
    tile = rr_mask(full, (0, 0, 16 * u, 16 * u), 3.5 * u, ss=1)
    inner = rr_mask(full, (1 * u, 1 * u, 15 * u, 15 * u), 2.6 * u, ss=1)
    paint(big, vgrad(S, S, [(0, BRASS_LIGHT), (1, BRASS_DARK)]), tile)
    paint(big, vgrad(S, S, [(0, (40, 72, 80)), (0.6, (78, 128, 132)), (1, (36, 64, 70))]), inner)
    moon = shape_mask(full, lambda d, k: (d.ellipse([8 * u, 2 * u, 14 * u, 8 * u], fill=255),
                                          d.ellipse([10 * u, 1.2 * u, 15.5 * u, 6.6 * u], fill=0)),
                      ss=1)
    paint(big, (255, 246, 210), moon)

    def tower(d, k):
        d.rectangle([3.5 * u, 6.5 * u, 7.5 * u, 12.5 * u], fill=255)
        d.polygon([(3 * u, 7 * u), (5.5 * u, 2.2 * u), (8 * u, 7 * u)], fill=255)
        d.rectangle([7.5 * u, 9 * u, 12 * u, 12.5 * u], fill=255)
        d.rectangle([7.5 * u, 8.2 * u, 8.7 * u, 9.2 * u], fill=255)
        d.rectangle([9.6 * u, 8.2 * u, 10.8 * u, 9.2 * u], fill=255)
    paint(big, (8, 16, 20), shape_mask(full, tower, ss=1))
    win = shape_mask(full, lambda d, k: d.rectangle([5 * u, 8 * u, 6 * u, 9.6 * u], fill=255), ss=1)
    paint(big, EMBER, win)
    water = ImageChops.multiply(inner, rr_mask(full, (0, 12.5 * u, S, S), 0, ss=1))
    paint(big, (22, 40, 46), water)
    if badge:
        disc = ellipse_mask(full, (8 * u, 8 * u, 16 * u, 16 * u), ss=1)
        paint(big, (200, 50, 44), disc)
        paint(big, (255, 220, 210), scale_mask(ring(disc, 16), 0.7))
        paint(big, (255, 255, 255), shape_mask(full, lambda d, k: d.rectangle(
            [9.8 * u, 11.2 * u, 14.2 * u, 12.8 * u], fill=255), ss=1))
    return big.resize(size, Image.LANCZOS)


def small_icon(size, badge=False):
    if size[0] <= 24:
        return small_emblem(size, badge)
    return emblem(size, badge)


def write_ico(path, images):
    """ICO with 32-bit BMP entries up to 48 pixels and a PNG entry for 256."""
    entries = []
    for img in images:
        w, h = img.size
        if w >= 256:
            buf = io.BytesIO()
            img.save(buf, "PNG", optimize=True)
            data = buf.getvalue()
        else:
            header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
            rows = []
            px = img.load()
            for y in range(h - 1, -1, -1):
                row = bytearray()
                for x in range(w):
                    r, g, b, a = px[x, y]
                    row += bytes((b, g, r, a))
                rows.append(bytes(row))
            mask_stride = ((w + 31) // 32) * 4
            mask_rows = []
            for y in range(h - 1, -1, -1):
                bits = bytearray(mask_stride)
                for x in range(w):
                    if px[x, y][3] == 0:
                        bits[x // 8] |= 0x80 >> (x % 8)
                mask_rows.append(bytes(bits))
            data = header + b"".join(rows) + b"".join(mask_rows)
        entries.append((w, h, data))
    out = io.BytesIO()
    out.write(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset))
        offset += len(data)
    for _, _, data in entries:
        out.write(data)
    with open(path, "wb") as f:
        f.write(out.getvalue())


# ---------------------------------------------------------------------------------------------
# The backdrop, 1154 x 704: a moonlit mere with a castle, and the frame the page sits in
# ---------------------------------------------------------------------------------------------

W, H = 1154, 704
PAGE = (377, 208, 977, 594)          # where the 600 x 386 page window lies
HORIZON = 468
MOON = (238, 104, 40)


def hill_profile(x, base, parts):
    return base + sum(a * math.sin(x * f + p) for a, f, p in parts)


def poly_mask(points):
    return shape_mask((W, H), lambda d, s: d.polygon([(x * s, y * s) for x, y in points], fill=255),
                      ss=2)


def sky(img):
    paint(img, vgrad(W, H, [(0, (6, 14, 20)), (0.35, (16, 34, 42)), (HORIZON / H, (46, 82, 88)),
                            (1, (46, 82, 88))]), Image.new("L", (W, H), 255))
    # moonlight wash
    mx, my, mr = MOON
    halo = ellipse_mask((W, H), (mx - 230, my - 200, mx + 230, my + 200), ss=1)
    glow(img, halo, (120, 190, 190), 90, 0.45)
    # stars
    rnd = random.Random(7)
    star = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(star)
    for _ in range(420):
        x, y = rnd.uniform(0, W), rnd.uniform(0, HORIZON - 60) ** 1.0
        if (x - mx) ** 2 + (y - my) ** 2 < 110 ** 2:
            continue
        b = int(rnd.uniform(60, 255) * (1 - y / HORIZON) ** 0.6)
        if rnd.random() < 0.06:
            d.ellipse([x - 1, y - 1, x + 1, y + 1], fill=b)
        else:
            d.point((x, y), fill=b)
    glow(img, star, (200, 230, 255), 1.5, 0.8)
    paint(img, (230, 240, 255), star)
    # wispy clouds
    n = value_noise((W, H), 160, 11, 5)
    band = vgrad(W, H, [(0, (0, 0, 0, 0)), (0.08, (0, 0, 0, 255)), (0.38, (0, 0, 0, 255)),
                        (0.55, (0, 0, 0, 0)), (1, (0, 0, 0, 0))]).getchannel("A")
    clouds = ImageChops.multiply(n.point(lambda v: max(0, v - 132) * 4), band)
    clouds = clouds.resize((W, H // 3)).resize((W, H), Image.BICUBIC)  # stretch into streaks
    paint(img, (150, 190, 196), scale_mask(clouds, 0.28))
    # the moon
    moon = ellipse_mask((W, H), (mx - mr, my - mr, mx + mr, my + mr))
    glow(img, moon, (210, 240, 230), 28, 0.9)
    glow(img, moon, (240, 250, 240), 8, 0.8)
    paint(img, vgrad(W, H, [(0, (250, 248, 232)), ((my + mr) / H, (214, 224, 212)),
                            (1, (214, 224, 212))]), moon)
    craters = Image.new("L", (W, H), 0)
    cd = ImageDraw.Draw(craters)
    for cx, cy, r in ((-12, -10, 11), (14, 8, 8), (-4, 18, 6), (18, -16, 5), (-20, 12, 4)):
        cd.ellipse([mx + cx - r, my + cy - r, mx + cx + r, my + cy + r], fill=255)
    craters = ImageChops.multiply(craters.filter(ImageFilter.GaussianBlur(3)), moon)
    paint(img, (150, 170, 160), scale_mask(craters, 0.35))
    # a thin cloud across the moon
    streak = ellipse_mask((W, H), (mx - 150, my + 12, mx + 120, my + 30), ss=1)
    paint(img, (90, 130, 138), scale_mask(streak.filter(ImageFilter.GaussianBlur(7)), 0.55))


def far_hills(img, sil):
    pts = [(0, HORIZON)]
    for x in range(0, W + 1, 4):
        y = hill_profile(x, 392, [(18, 0.006, 0.4), (9, 0.017, 2.0), (4, 0.043, 1.0)])
        pts.append((x, y))
    pts.append((W, HORIZON))
    m = poly_mask(pts)
    paint(img, vgrad(W, H, [(0, (40, 70, 78)), (HORIZON / H, (54, 90, 96)), (1, (54, 90, 96))]), m)
    sil.paste(255, mask=m)
    # mist lying in the valleys
    mist = Image.new("L", (W, H), 0)
    md = ImageDraw.Draw(mist)
    rnd = random.Random(3)
    for _ in range(26):
        x = rnd.uniform(-100, W)
        y = rnd.uniform(HORIZON - 70, HORIZON + 6)
        md.ellipse([x, y - 9, x + rnd.uniform(160, 380), y + 11], fill=rnd.randint(90, 200))
    mist = mist.filter(ImageFilter.GaussianBlur(14))
    paint(img, MIST, scale_mask(mist, 0.42))


def near_hills(img, sil):
    # the castle's crag on the left: a rocky shoulder under the walls, breaking off in steps
    # into the mere
    pts = [(0, HORIZON + 6), (0, 418)]
    for x in range(0, 304, 4):
        rise = min(1.0, x / 40.0)
        y = 418 - 20 * rise + 4 * math.sin(x * 0.07) + 2 * math.sin(x * 0.23 + 1)
        pts.append((x, y))
    pts += [(304, 398), (313, 412), (320, 414), (327, 431), (337, 435), (345, 450), (356, 454),
            (366, HORIZON + 6)]
    crag = poly_mask(pts)
    paint(img, vgrad(W, H, [(0, (22, 40, 46)), (400 / H, (22, 40, 46)), (HORIZON / H, (12, 22, 26)),
                            (1, (12, 22, 26))]), crag)
    rock = ImageChops.multiply(value_noise((W, H), 18, 29, 3).point(lambda v: max(0, v - 118) * 3),
                               crag)
    paint(img, (70, 104, 108), scale_mask(rock, 0.28))
    paint(img, (130, 180, 178), scale_mask(ImageChops.subtract(crag, shift(crag, 0, 2)), 0.35))
    sil.paste(255, mask=crag)
    # wooded ridge on the right
    pts = [(W, HORIZON + 4), (760, HORIZON + 4)]
    for x in range(760, W + 1, 4):
        y = hill_profile(x, 408, [(14, 0.012, 0.7), (4, 0.06, 1.2)]) - (x - 760) * 0.09
        pts.append((x, y))
    pts.append((W, HORIZON + 4))
    ridge = poly_mask(pts)
    paint(img, (18, 33, 38), ridge)
    sil.paste(255, mask=ridge)
    # pines along the ridge
    rnd = random.Random(21)
    trees = Image.new("L", (W, H), 0)
    td = ImageDraw.Draw(trees)
    x = 780
    while x < W + 10:
        base = hill_profile(x, 408, [(14, 0.012, 0.7), (4, 0.06, 1.2)]) - (x - 760) * 0.09 + 6
        hgt = rnd.uniform(26, 62)
        wdt = hgt * rnd.uniform(0.28, 0.36)
        layers = 4
        for i in range(layers):
            top = base - hgt + i * hgt * 0.18
            bot = base - hgt * (0.55 - i * 0.16)
            td.polygon([(x, top), (x + wdt * (0.55 + i * 0.15), bot), (x - wdt * (0.55 + i * 0.15), bot)],
                       fill=255)
        td.rectangle([x - 1, base - hgt * 0.2, x + 1, base], fill=255)
        x += rnd.uniform(9, 22)
    paint(img, (14, 27, 31), trees)
    sil.paste(255, mask=trees)


def castle(img, sil):
    layer = Image.new("L", (W * 2, H * 2), 0)
    d = ImageDraw.Draw(layer)

    def R(l, t, r, b):
        d.rectangle([l * 2, t * 2, r * 2, b * 2], fill=255)

    def roof(l, r, base, peak):
        d.polygon([(l * 2, base * 2), ((l + r) * 1.0, peak * 2), (r * 2, base * 2)], fill=255)

    def merlons(l, r, top, step=7):
        x = l
        while x + 4 <= r:
            R(x, top - 5, x + 4, top)
            x += step

    ground = 380
    R(60, 338, 300, ground + 26)            # curtain wall
    merlons(60, 300, 338)
    R(132, 270, 212, ground)                # keep
    merlons(132, 212, 270, 8)
    R(160, 214, 186, 272)                   # spire tower
    roof(155, 191, 216, 150)
    R(92, 292, 120, ground)                 # left tower
    roof(87, 125, 294, 246)
    R(232, 286, 262, ground)                # right tower
    roof(227, 267, 288, 236)
    R(40, 318, 62, ground + 30)             # outer left turret
    roof(37, 65, 320, 290)
    R(282, 322, 304, ground + 22)           # gatehouse
    merlons(282, 304, 322, 6)
    d.line([(173 * 2, 150 * 2), (173 * 2, 132 * 2)], fill=255, width=3)   # flag pole
    d.polygon([(174 * 2, 132 * 2), (190 * 2, 136 * 2), (174 * 2, 141 * 2)], fill=255)
    mask = layer.resize((W, H), Image.LANCZOS)
    # moon-side rim light, then the silhouette itself
    rim = ImageChops.subtract(mask, shift(mask, -1, 1))
    paint(img, (12, 22, 26), mask)
    paint(img, (120, 170, 170), scale_mask(rim, 0.55))
    sil.paste(255, mask=mask)
    # lit windows
    win = Image.new("L", (W, H), 0)
    wd = ImageDraw.Draw(win)
    for l, t in ((170, 228), (170, 246), (144, 290), (196, 290), (102, 312), (242, 304),
                 (158, 320), (184, 320), (246, 330), (106, 346), (48, 338), (290, 342)):
        wd.rectangle([l, t, l + 3, t + 5], fill=255)
    glow(img, win, EMBER, 6, 0.9)
    paint(img, (255, 214, 150), win)


def water(img, sil):
    wm = Image.new("L", (W, H), 0)
    ImageDraw.Draw(wm).rectangle([0, HORIZON, W, H], fill=255)
    paint(img, vgrad(W, H, [(0, (0, 0, 0)), (HORIZON / H, (36, 66, 72)), (0.82, (20, 38, 44)),
                            (1, (10, 20, 24))]), wm)
    # reflection of everything standing on the shore, rippled and dimmed
    src = img.crop((0, HORIZON - 260, W, HORIZON)).transpose(Image.FLIP_TOP_BOTTOM)
    rows = Image.new("RGBA", src.size, (0, 0, 0, 0))
    for y in range(src.size[1]):
        dx = int(round(3 * math.sin(y * 0.55) * (0.4 + y / 260)))
        rows.paste(src.crop((0, y, W, y + 1)), (dx, y))
    rows = rows.filter(ImageFilter.GaussianBlur(1.2))
    fade = vgrad(W, rows.size[1], [(0, (0, 0, 0, 150)), (1, (0, 0, 0, 0))]).getchannel("A")
    refl = Image.new("L", (W, H), 0)
    refl.paste(fade, (0, HORIZON))
    full = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    full.paste(rows, (0, HORIZON))
    paint(img, full, refl)
    # moon path
    mx = MOON[0]
    rnd = random.Random(5)
    path = Image.new("L", (W, H), 0)
    pd = ImageDraw.Draw(path)
    for y in range(HORIZON + 4, H, 3):
        t = (y - HORIZON) / (H - HORIZON)
        spread = 24 + 90 * t
        for _ in range(3):
            cx = mx + rnd.gauss(0, spread * 0.45)
            ln = rnd.uniform(6, 24 + 50 * t)
            b = int(255 * (1 - t * 0.7) * math.exp(-((cx - mx) / spread) ** 2))
            pd.line([(cx - ln / 2, y), (cx + ln / 2, y)], fill=b, width=1)
    glow(img, path, (180, 230, 220), 3, 0.6)
    paint(img, (236, 244, 230), scale_mask(path, 0.8))
    # ripples across the mere
    rip = Image.new("L", (W, H), 0)
    rd = ImageDraw.Draw(rip)
    for _ in range(360):
        y = rnd.uniform(HORIZON + 8, H)
        x = rnd.uniform(0, W)
        ln = rnd.uniform(10, 60) * (0.5 + (y - HORIZON) / (H - HORIZON))
        rd.line([(x, y), (x + ln, y)], fill=rnd.randint(40, 120), width=1)
    paint(img, (150, 200, 200), scale_mask(rip, 0.35))
    # shoreline mist
    mist = Image.new("L", (W, H), 0)
    md = ImageDraw.Draw(mist)
    for _ in range(30):
        x = rnd.uniform(-150, W)
        y = rnd.uniform(HORIZON - 16, HORIZON + 22)
        md.ellipse([x, y - 7, x + rnd.uniform(200, 420), y + 8], fill=rnd.randint(80, 180))
    paint(img, MIST, scale_mask(mist.filter(ImageFilter.GaussianBlur(10)), 0.35))


def reeds(img):
    rnd = random.Random(17)
    m = Image.new("L", (W * 2, H * 2), 0)
    d = ImageDraw.Draw(m)

    def clump(x0, x1, count, height):
        for _ in range(count):
            x = rnd.uniform(x0, x1)
            hgt = rnd.uniform(0.4, 1.0) * height
            lean = rnd.uniform(-0.35, 0.35)
            pts = []
            for i in range(9):
                t = i / 8
                pts.append(((x + lean * hgt * t * t) * 2, (H - hgt * t) * 2))
            d.line(pts, fill=255, width=rnd.choice((2, 3, 3, 4)))
            if rnd.random() < 0.25:            # bulrush heads
                hx, hy = pts[-2]
                d.ellipse([hx - 4, hy - 14, hx + 4, hy + 6], fill=255)

    clump(-20, 170, 70, 120)
    clump(1000, 1170, 60, 110)
    clump(300, 360, 10, 50)
    mask = m.resize((W, H), Image.LANCZOS)
    paint(img, (7, 14, 16), mask)


def panel_shapes():
    """Masks of the frame around the page, its header, the title plaque and the button tab."""
    size = (W, H)
    frame = rr_mask(size, (359, 190, 995, 612), 12)
    header = rr_mask(size, (388, 148, 1014, 212), 10)
    tab = rr_mask(size, (1014, 146, 1086, 218), 14)
    bridge = rr_mask(size, (990, 156, 1030, 206), 4)
    plaque = shape_mask(size, lambda d, s: (
        d.rounded_rectangle([588 * s, 112 * s, 798 * s, 210 * s], radius=12 * s, fill=255),
        d.polygon([(660 * s, 114 * s), (693 * s, 96 * s), (726 * s, 114 * s)], fill=255)))
    union = ImageChops.lighter(ImageChops.lighter(frame, header), ImageChops.lighter(tab, bridge))
    return union, plaque


def frame_panel(img):
    size = (W, H)
    union, plaque = panel_shapes()
    both = ImageChops.lighter(union, plaque)
    # drop shadow and a cool glow around the whole panel
    paint(img, (0, 0, 0), scale_mask(both.filter(ImageFilter.GaussianBlur(14)), 0.75))
    glow(img, outline_outside(both, 3), (110, 190, 190), 10, 0.35)
    # brass rim then the dark metal body
    body = union.filter(ImageFilter.MinFilter(7))
    paint(img, vgrad(W, H, [(0, BRASS_LIGHT), (0.3, BRASS), (0.9, BRASS_DARK), (1, BRASS_DARK)]), union)
    metal = vgrad(W, H, [(0, (40, 64, 70)), (0.3, (28, 46, 52)), (0.9, (16, 28, 32)), (1, (16, 28, 32))])
    paint(img, metal, body)
    # hairline inside the rim
    paint(img, (120, 168, 168), scale_mask(ring(body, 1), 0.35))
    # slots of the start-page buttons and the round buttons
    for l, t, r, b in ((408, 171, 492, 195), (500, 171, 584, 195), (801, 171, 885, 195),
                       (897, 171, 981, 195)):
        slot = rr_mask(size, (l - 3, t - 3, r + 3, b + 3), 7)
        paint(img, (6, 12, 14), scale_mask(slot, 0.7))
        paint(img, (120, 170, 170), scale_mask(outline_outside(slot, 1), 0.22))
    for l, t, r, b in ((1031, 157, 1059, 185), (1047, 185, 1070, 208)):
        well = ellipse_mask(size, (l - 2.5, t - 2.5, r + 2.5, b + 2.5))
        paint(img, (6, 12, 14), scale_mask(well, 0.75))
    # the name plaque
    pb = plaque.filter(ImageFilter.MinFilter(5))
    paint(img, (0, 0, 0), scale_mask(plaque.filter(ImageFilter.GaussianBlur(6)), 0.6))
    paint(img, vgrad(W, H, [(0, BRASS_LIGHT), (0.3, BRASS), (1, BRASS_DARK)]), plaque)
    paint(img, vgrad(W, H, [(0, (62, 100, 106)), (0.22, (30, 54, 60)), (1, (16, 30, 34))]), pb)
    paint(img, (140, 190, 190), scale_mask(ring(pb, 1), 0.3))
    moon = shape_mask(size, lambda d, s: (d.ellipse([685 * s, 100 * s, 701 * s, 116 * s], fill=255),
                                          d.ellipse([690 * s, 97 * s, 705 * s, 112 * s], fill=0)))
    glow(img, moon, (200, 240, 230), 4, 0.6)
    paint(img, (248, 238, 204), moon)
    title = font(SERIF_BOLD, 22)
    draw_text(img, (693, 149), "HARROWMERE", title, None, spacing=1, shadow=(0, 0, 0, 220),
              glow_colour=(255, 210, 140, 70),
              gradient=[(0, (255, 246, 214)), (148 / H, (255, 240, 200)), (160 / H, (214, 172, 96)),
                        (1, (214, 172, 96))])
    sub = font(SANS_BOLD, 12)
    d = ImageDraw.Draw(img)
    for x0, x1 in ((626, 666), (720, 760)):
        d.line([(x0, 182), (x1, 182)], fill=BRASS + (200,))
    draw_text(img, (693, 182), "网页版", sub, (170, 214, 210), spacing=6, shadow=(0, 0, 0, 200))
    # the opening: bevelled brass lip, then the game-view teal where the page goes
    l, t, r, b = PAGE
    lip = rr_mask(size, (l - 8, t - 8, r + 8, b + 8), 6)
    paint(img, vgrad(W, H, [(0, BRASS_DARK), (t / H, BRASS_DARK), (b / H, BRASS_LIGHT),
                            (1, BRASS_LIGHT)]), lip)
    groove = rr_mask(size, (l - 5, t - 5, r + 5, b + 5), 4)
    paint(img, (8, 14, 16), groove)
    inner = rr_mask(size, (l - 2, t - 2, r + 2, b + 2), 2)
    paint(img, (96, 140, 140), inner)
    opening = Image.new("L", size, 0)
    ImageDraw.Draw(opening).rectangle([l, t, r - 1, b - 1], fill=255)
    paint(img, vgrad(W, H, [(0, TEAL), (t / H, (40, 62, 68)), (b / H, (28, 46, 50)), (1, TEAL)]), opening)
    # watermark emblem in the opening (seen before the page has painted)
    em = emblem((120, 120))
    a = em.getchannel("A").point(lambda v: v * 0.12)
    em.putalpha(a)
    img.alpha_composite(em, ((l + r) // 2 - 60, (t + b) // 2 - 80))
    f = font(SANS, 14)
    draw_text(img, ((l + r) / 2, (t + b) / 2 + 48), "正在连接服务器…", f, (110, 150, 150),
              shadow=None, spacing=2)
    # corner studs of the frame
    for cx, cy in ((368, 199), (986, 199), (368, 603), (986, 603)):
        stud = shape_mask(size, lambda d, s, cx=cx, cy=cy: d.polygon(
            [(cx * s, (cy - 6) * s), ((cx + 6) * s, cy * s), (cx * s, (cy + 6) * s),
             ((cx - 6) * s, cy * s)], fill=255))
        paint(img, BRASS_LIGHT, stud)
        paint(img, BRASS_DARK, scale_mask(ring(stud, 1), 0.8))


def backdrop():
    img = Image.new("RGBA", (W, H), (0, 0, 0, 255))
    sil = Image.new("L", (W, H), 0)
    sky(img)
    far_hills(img, sil)
    near_hills(img, sil)
    castle(img, sil)
    water(img, sil)
    reeds(img)
    # vignette
    v = ellipse_mask((W, H), (-160, -200, W + 160, H + 160), ss=1).filter(ImageFilter.GaussianBlur(120))
    paint(img, (0, 0, 0), scale_mask(ImageChops.invert(v), 0.7))
    texture(img, 9, 145)
    frame_panel(img)
    # rounded outer corners and a thin brass border
    outer = rr_mask((W, H), (0, 0, W, H), 14)
    paint(img, vgrad(W, H, [(0, BRASS), (1, BRASS_DARK)]), scale_mask(ring(outer, 2), 0.9))
    paint(img, (0, 0, 0), scale_mask(ring(rr_mask((W, H), (2, 2, W - 2, H - 2), 12), 1), 0.6))
    img.putalpha(ImageChops.multiply(img.getchannel("A"), outer))
    return img


# ---------------------------------------------------------------------------------------------

def build_all():
    pics = {}
    pics[145] = backdrop()
    # backdrop buttons: close 130 / 153, minimise 135 / 154
    pics[130] = round_button((28, 28), "close", False, True)
    pics[153] = round_button((28, 28), "close", True, True)
    pics[135] = round_button((23, 23), "dash", False, False)
    pics[154] = round_button((23, 23), "dash", True, False)
    # start-page buttons: normal / hover pairs
    for normal, hover, label in ((134, 156, "账号充值"), (131, 155, "官方网站"),
                                 (133, 152, "联系客服"), (132, 151, "游戏官网")):
        pics[normal] = plaque_button((84, 24), label, False)
        pics[hover] = plaque_button((84, 24), label, True)
    # close question and its buttons
    pics[142] = close_question()
    pics[144] = dialog_button("确定", True, False)
    pics[146] = dialog_button("确定", True, True)
    pics[147] = dialog_button("取消", False, False)
    pics[148] = dialog_button("取消", False, True)
    # title bar
    pics[217] = title_background()
    pics[137] = small_icon((16, 16))
    for normal, hover, pressed, kind, danger in ((209, 210, None, "close", True),
                                                 (211, 212, 229, "max", False),
                                                 (215, 216, 158, "restore", False),
                                                 (213, 214, 157, "min", False),
                                                 (231, 232, 230, "full", False),
                                                 (196, 208, 234, "tools", False)):
        pics[normal] = title_button(kind, "normal", danger)
        pics[hover] = title_button(kind, "hover", danger)
        if pressed:
            pics[pressed] = title_button(kind, "pressed", danger)
    for pid, label in ((138, "客服"), (139, "官网"), (140, "官网"), (141, "充值")):
        pics[pid] = link_strip(label)
    # offline notice and its retry button (normal / hover and pressed)
    pics[235] = offline_notice()
    pics[236] = dialog_button("重试", True, False, SIZES[236])
    pics[237] = dialog_button("重试", True, True, SIZES[237])
    return pics


def contact_sheet(pics, icons):
    pad = 20
    label_font = ImageFont.truetype(LATIN, 12)
    # grouped by where they are drawn: backdrop buttons, title bar, quick links, close question
    order = [130, 153, 135, 154, 134, 156, 131, 155, 133, 152, 132, 151,
             217, 137, 209, 210, 211, 212, 229, 215, 216, 158, 213, 214, 157, 231, 232, 230,
             196, 208, 234, 138, 139, 140, 141, 142, 144, 146, 147, 148, 235, 236, 237]
    small = order + sorted(k for k in pics if k != 145 and k not in order)
    cells = []
    x, y, row_h = pad, H + 2 * pad + 24, 0
    sheet_w = W + 2 * pad
    for k in small:
        w, h = pics[k].size
        cw = max(w, 64)
        if x + cw > sheet_w - pad:
            x, y = pad, y + row_h + 30
            row_h = 0
        cells.append((k, x, y))
        x += cw + 24
        row_h = max(row_h, h)
    icon_y = y + row_h + 44
    sheet_h = icon_y + 256 + 44
    sheet = vgrad(sheet_w, sheet_h, [(0, (26, 40, 44)), (1, (18, 28, 32))])
    d = ImageDraw.Draw(sheet)
    # checks under every picture so transparency shows
    def checks(x0, y0, w, h):
        for yy in range(y0, y0 + h, 8):
            for xx in range(x0, x0 + w, 8):
                c = (44, 66, 72) if ((xx - x0) // 8 + (yy - y0) // 8) % 2 else (36, 56, 62)
                d.rectangle([xx, yy, min(xx + 7, x0 + w - 1), min(yy + 7, y0 + h - 1)], fill=c)
    d.text((pad, 6), "145  (1154 x 704)  backdrop; the page window covers the opening at (377, 208)",
           font=label_font, fill=(220, 230, 228))
    checks(pad, pad + 8, W, H)
    sheet.alpha_composite(pics[145], (pad, pad + 8))
    for k, cx, cy in cells:
        w, h = pics[k].size
        checks(cx, cy, w, h)
        sheet.alpha_composite(pics[k], (cx, cy))
        d.text((cx, cy + h + 4), f"{k}  {w}x{h}", font=label_font, fill=(220, 230, 228))
    x = pad
    d.text((pad, icon_y - 20), "icon group 128 (Harrowmere.ico) and 107 (uninstall.ico), "
           "16 / 24 / 32 / 48 / 256", font=label_font, fill=(220, 230, 228))
    for group in icons:
        for im in group:
            checks(x, icon_y, im.size[0], im.size[1])
            sheet.alpha_composite(im, (x, icon_y))
            x += im.size[0] + 16
        x += 24
    return sheet


def pixel_checksum(im):
    """FNV-1a, 64 bits, over the RGBA bytes of the rows top to bottom."""
    h = 0xCBF29CE484222325
    for byte in im.convert("RGBA").tobytes():
        h = ((h ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def recompress(path):
    """Recompresses one PNG with zopflipng; keeps the smaller file, never other pixels, and
    keeps the colour type (a picture with an alpha channel keeps it, opaque or not)."""
    if not shutil.which("zopflipng"):
        sys.exit("make_art: zopflipng not found; install Debian's zopfli")
    with Image.open(path) as im:
        before = pixel_checksum(im)
        mode = im.mode
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.png")
        subprocess.run(["zopflipng", "-y", "--iterations=1", path, out], check=True,
                       stdout=subprocess.DEVNULL)
        if not os.path.exists(out):  # zopflipng writes nothing when it cannot do better
            return before
        with Image.open(out) as im:
            if pixel_checksum(im) != before:
                sys.exit(f"make_art: zopflipng changed the pixels of {path}")
            # An opaque picture would lose its alpha channel; it stays as it was.
            same_type = im.mode == mode
        if same_type and os.path.getsize(out) < os.path.getsize(path):
            shutil.copyfile(out, path)
    return before


def recompress_all():
    sums = {}
    for name in sorted(os.listdir(PNG_DIR)):
        if name.endswith(".png"):
            sums[int(name[:-4])] = recompress(os.path.join(PNG_DIR, name))
    with open(os.path.join(PNG_DIR, "pixels.txt"), "w") as f:
        f.write("# id, FNV-1a 64 of the picture's RGBA bytes (tools/make_art.py)\n")
        for k in sorted(sums):
            f.write(f"{k} {sums[k]:016x}\n")


def main():
    if sys.argv[1:] == ["--recompress"]:
        recompress_all()
        print(f"make_art: pictures in {PNG_DIR} recompressed")
        return
    os.makedirs(PNG_DIR, exist_ok=True)
    pics = build_all()
    missing = set(SIZES) - set(pics)
    if missing:
        sys.exit(f"make_art: not drawn: {sorted(missing)}")
    for k, im in pics.items():
        if im.size != SIZES[k]:
            sys.exit(f"make_art: {k} is {im.size}, expected {SIZES[k]}")
        im.save(os.path.join(PNG_DIR, f"{k}.png"), optimize=True)
    recompress_all()
    sizes = (16, 24, 32, 48, 256)
    client_icons = [small_icon((s, s)) for s in sizes]
    uninstall_icons = [small_icon((s, s), badge=True) for s in sizes]
    write_ico(os.path.join(RES, "Harrowmere.ico"), client_icons)
    write_ico(os.path.join(RES, "uninstall.ico"), uninstall_icons)
    contact_sheet(pics, (client_icons, uninstall_icons)).save(
        os.path.join(RES, "contact-sheet.png"), optimize=True)
    print(f"make_art: {len(pics)} pictures, 2 icons and the contact sheet in {RES}")


if __name__ == "__main__":
    main()
