#!/usr/bin/env python3
"""Generate the module's bitmap resources and the en-US string table.

Writes into res/ (next to this scripts/ folder):
  cubemap_{L,R,U,D,F,B,none}.png  cube-face preview cells of the effect panel
  header_beta.png                 header banner of the effect panel
  Orvex360Cam.png                 built-in fulldome logo overlay (RGBA)
  orvextag.tif, orvextag_off.tif  tag state icons (on / off)
  orvextag_{fish,pano,cylindrical,skybox}.tif  create-camera command icons
  map_dome.png, map_pano.png      backgrounds of the XY pad control
  strings_en-US/strings.json      string table

Everything is drawn from code with fixed parameters, so every run produces
byte-identical files.  The outputs are committed; the build never runs this.
Needs Pillow (Debian: python3-pil), e.g. `/usr/bin/python3 scripts/make_resources.py`.
"""

import json
import math
import sys
from pathlib import Path

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:  # pragma: no cover - environment problem, not a code path
    sys.exit("make_resources.py needs Pillow (python3-pil)")

RES_DIR = Path(__file__).resolve().parent.parent / "res"
FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")
FONT_BOLD = FONT_DIR / "DejaVuSans-Bold.ttf"
FONT_REGULAR = FONT_DIR / "DejaVuSans.ttf"

# Supersampling factor: shapes are drawn large and box-filtered down,
# which gives clean anti-aliased edges without any randomness.
SS = 4

# Shared palette.
ACCENT = (64, 170, 230)          # product blue
ACCENT_DARK = (22, 70, 110)
WARM = (240, 150, 40)            # "front" and "beta" highlight
WHITE = (255, 255, 255)
PANEL = (38, 40, 44)             # dark UI grey


# --------------------------------------------------------------------------
# Helpers
# --------------------------------------------------------------------------

def font(size, bold=True):
    return ImageFont.truetype(str(FONT_BOLD if bold else FONT_REGULAR), size)


def canvas(w, h, fill=(0, 0, 0, 0)):
    """A supersampled RGBA drawing surface for a w x h result."""
    img = Image.new("RGBA", (w * SS, h * SS), fill)
    return img, ImageDraw.Draw(img)


def finish(img):
    """Box-filter a supersampled surface down to its final size."""
    w, h = img.width // SS, img.height // SS
    return img.resize((w, h), Image.BOX)


def ellipse_box(cx, cy, rx, ry):
    return (cx - rx, cy - ry, cx + rx, cy + ry)


def text_centered(draw, xy, text, fnt, fill, stroke=0, stroke_fill=None):
    """Draw text centred on xy (anchor "mm": middle of the ink box)."""
    draw.text(xy, text, font=fnt, fill=fill, anchor="mm",
              stroke_width=stroke, stroke_fill=stroke_fill)


def with_alpha(rgb, a):
    return (rgb[0], rgb[1], rgb[2], a)


def shade(rgb, f):
    """Scale a colour towards black (f < 1) or white (f > 1)."""
    if f <= 1.0:
        return tuple(int(round(c * f)) for c in rgb)
    t = f - 1.0
    return tuple(int(round(c + (255 - c) * t)) for c in rgb)


def save_png(img, name, colors=None):
    """Save optimised; opaque images may be reduced to a small palette."""
    path = RES_DIR / name
    if colors is not None:
        img = img.convert("RGB").quantize(colors=colors,
                                          method=Image.Quantize.MEDIANCUT,
                                          dither=Image.Dither.NONE)
    img.save(path, optimize=True)
    return path


def save_tif(img, name):
    """32-bit RGBA TIFF with unassociated alpha, uncompressed for any reader."""
    path = RES_DIR / name
    img.convert("RGBA").save(path, compression="raw")
    return path


# --------------------------------------------------------------------------
# Cubemap layout preview cells
# --------------------------------------------------------------------------

CELL = 48
FACE_COLOURS = {
    "L": (222, 140, 40),   # orange
    "R": (205, 65, 65),    # red
    "U": (70, 170, 80),    # green
    "D": (40, 150, 140),   # teal
    "F": (60, 120, 215),   # blue
    "B": (130, 85, 200),   # purple
}


def make_face_cell(letter, colour):
    img, d = canvas(CELL, CELL)
    s = CELL * SS
    d.rectangle((0, 0, s - 1, s - 1), fill=shade(colour, 0.55))
    # Face inside a darker rim; a lighter top half gives a little depth.
    inset, far = 2 * SS, s - 1 - 2 * SS
    d.rectangle((inset, inset, far, s // 2), fill=shade(colour, 1.12))
    d.rectangle((inset, s // 2, far, far), fill=colour)
    text_centered(d, (s / 2, s / 2 + SS), letter, font(30 * SS), WHITE,
                  stroke=SS, stroke_fill=shade(colour, 0.45))
    return finish(img)


def make_empty_cell():
    img, d = canvas(CELL, CELL, fill=with_alpha((50, 50, 52), 255))
    s = CELL * SS
    o = 1 * SS
    d.rectangle((o, o, s - 1 - o, s - 1 - o), outline=(78, 78, 82),
                width=SS)
    return finish(img)


def make_cubemap_cells():
    out = []
    for letter, colour in FACE_COLOURS.items():
        out.append(save_png(make_face_cell(letter, colour),
                            f"cubemap_{letter}.png", colors=32))
    out.append(save_png(make_empty_cell(), "cubemap_none.png", colors=8))
    return out


# --------------------------------------------------------------------------
# Globe motif (shared by the header, the logo and the tag icon)
# --------------------------------------------------------------------------

def draw_globe(d, cx, cy, r, line, width, meridians=(0.45, 0.85),
               parallels=(0.5,)):
    """Outline circle, equator, a few parallels and meridian ellipses."""
    d.ellipse(ellipse_box(cx, cy, r, r), outline=line, width=width)
    d.line((cx - r, cy, cx + r, cy), fill=line, width=width)
    d.line((cx, cy - r, cx, cy + r), fill=line, width=width)
    for f in meridians:
        d.ellipse(ellipse_box(cx, cy, r * f, r), outline=line, width=width)
    for f in parallels:
        half = r * math.sqrt(1.0 - f * f)
        for y in (cy - r * f, cy + r * f):
            d.line((cx - half, y, cx + half, y), fill=line, width=width)


def draw_orbit(d, cx, cy, rx, ry, colour, width):
    d.ellipse(ellipse_box(cx, cy, rx, ry), outline=colour, width=width)


# --------------------------------------------------------------------------
# Panel header banner
# --------------------------------------------------------------------------

HEADER_W, HEADER_H = 300, 40


def make_header():
    img, d = canvas(HEADER_W, HEADER_H, fill=with_alpha(PANEL, 255))
    w, h = HEADER_W * SS, HEADER_H * SS
    # Soft vertical gradient plus an accent rule along the bottom.
    for y in range(h):
        t = y / (h - 1)
        d.line((0, y, w, y), fill=shade((52, 56, 62), 1.0 - 0.3 * t))
    d.rectangle((0, h - 2 * SS, w, h), fill=ACCENT)
    # Globe mark.
    cx, cy, r = 22 * SS, 19 * SS, 13 * SS
    d.ellipse(ellipse_box(cx, cy, r, r), fill=ACCENT_DARK)
    draw_globe(d, cx, cy, r, ACCENT, SS + SS // 2, meridians=(0.5,),
               parallels=())
    draw_orbit(d, cx, cy, r + 3 * SS, 5 * SS, WHITE, SS + SS // 2)
    # Product name: "Orvex" and "Cam" white, "360" in the accent colour.
    fnt = font(21 * SS)
    x, base = 44 * SS, 27 * SS
    for part, colour in (("Orvex", WHITE), ("360", ACCENT), ("Cam", WHITE)):
        d.text((x, base), part, font=fnt, fill=colour, anchor="ls")
        x += d.textlength(part, font=fnt)
    # "beta" badge.
    bf = font(10 * SS)
    bw = d.textlength("beta", font=bf) + 10 * SS
    bx, by = x + 8 * SS, 10 * SS
    d.rounded_rectangle((bx, by, bx + bw, by + 14 * SS), radius=4 * SS,
                        fill=WARM)
    text_centered(d, (bx + bw / 2, by + 7 * SS), "beta", bf, (40, 30, 20))
    return finish(img)


# --------------------------------------------------------------------------
# Fulldome logo overlay
# --------------------------------------------------------------------------

LOGO = 256


def make_logo():
    """Globe with an orbit ring, on a transparent background.

    The overlay draws it over the bottom-right corner square outside the dome
    and writes the product title under it, so the motif stays in the upper
    part of the square and carries no lettering of its own.
    """
    img, d = canvas(LOGO, LOGO)
    cx, cy, r = 128 * SS, 112 * SS, 78 * SS
    d.ellipse(ellipse_box(cx, cy, r, r), fill=with_alpha(ACCENT_DARK, 150))
    draw_globe(d, cx, cy, r, with_alpha(ACCENT, 235), 4 * SS,
               meridians=(0.35, 0.72), parallels=(0.5, 0.85))
    d.ellipse(ellipse_box(cx, cy, r, r), outline=with_alpha(WHITE, 245),
              width=7 * SS)
    # Tilted orbit: draw a flat ellipse and rotate it about the centre.
    orbit, od = canvas(LOGO, LOGO)
    draw_orbit(od, cx, cy, 112 * SS, 30 * SS, with_alpha(WARM, 240), 7 * SS)
    orbit = orbit.rotate(-18, resample=Image.BICUBIC, center=(cx, cy))
    img = Image.alpha_composite(img, orbit)
    return finish(img)


# --------------------------------------------------------------------------
# 32 x 32 icons
# --------------------------------------------------------------------------

ICON = 32
ICON_FILL = ACCENT
ICON_LINE = (18, 60, 96)
ICON_LIGHT = (170, 220, 248)


def icon_canvas():
    return canvas(ICON, ICON)


def px(v):
    """Icon units (1/32 of the icon) to supersampled pixels."""
    return v * SS


def make_tag_icon():
    """Globe with an orbit ring passing behind it at the top."""
    img, d = icon_canvas()
    cx, cy, r = px(16), px(16), px(11)
    orbit = ellipse_box(cx, cy, px(15), px(5))
    d.arc(orbit, 180, 360, fill=WARM, width=px(2))
    d.ellipse(ellipse_box(cx, cy, r, r), fill=ICON_FILL, outline=ICON_LINE,
              width=px(2))
    draw_globe(d, cx, cy, r - px(1), ICON_LIGHT, px(1), meridians=(0.5,),
               parallels=())
    d.arc(orbit, 0, 180, fill=WARM, width=px(2))
    return finish(img)


def grey_out(img):
    """Off-state variant: desaturated, lighter and half transparent."""
    r, g, b, a = img.split()
    grey = Image.merge("RGB", (r, g, b)).convert("L")
    grey = grey.point(lambda v: 110 + v * 90 // 255)
    a = a.point(lambda v: v * 150 // 255)
    return Image.merge("RGBA", (grey, grey, grey, a))


def make_fish_icon():
    """Dome: a hemisphere on a base line with meridian arcs."""
    img, d = icon_canvas()
    cx, base, r = px(16), px(24), px(13)
    box = ellipse_box(cx, base, r, r)
    d.pieslice(box, 180, 360, fill=ICON_FILL, outline=ICON_LINE, width=px(2))
    for f in (0.35, 0.72):
        d.arc(ellipse_box(cx, base, r * f, r - px(1)), 180, 360,
              fill=ICON_LIGHT, width=px(1))
    for f in (0.45, 0.8):
        half = r * math.sqrt(1.0 - f * f) - px(1)
        y = base - r * f
        d.line((cx - half, y, cx + half, y), fill=ICON_LIGHT, width=px(1))
    d.rounded_rectangle((px(1), base, px(31), base + px(4)), radius=px(1),
                        fill=ICON_LINE)
    return finish(img)


def make_pano_icon():
    """Wide 2:1 frame with a horizon, hills and a sun."""
    img, d = icon_canvas()
    x0, y0, x1, y1 = px(1), px(8), px(31), px(24)
    d.rounded_rectangle((x0, y0, x1, y1), radius=px(2), fill=ICON_LIGHT,
                        outline=ICON_LINE, width=px(2))
    d.ellipse(ellipse_box(px(23), px(13), px(2.5), px(2.5)), fill=WARM)
    hills = [(x0 + px(2), y1 - px(2)), (px(9), px(14)), (px(14), px(19)),
             (px(19), px(15)), (x1 - px(2), y1 - px(2))]
    d.polygon(hills, fill=ICON_FILL)
    d.line((x0 + px(2), y1 - px(2), x1 - px(2), y1 - px(2)), fill=ICON_FILL,
           width=px(1))
    return finish(img)


def make_cylinder_icon():
    """Upright cylinder with a band around its middle."""
    img, d = icon_canvas()
    cx, rx, ry = px(16), px(11), px(4)
    top, bot = px(7), px(25)
    lw = px(2)
    d.ellipse(ellipse_box(cx, bot, rx, ry), fill=ICON_FILL, outline=ICON_LINE,
              width=lw)
    d.rectangle((cx - rx, top, cx + rx, bot), fill=ICON_FILL)
    d.line((cx - rx + lw / 2, top, cx - rx + lw / 2, bot), fill=ICON_LINE,
           width=lw)
    d.line((cx + rx - lw / 2, top, cx + rx - lw / 2, bot), fill=ICON_LINE,
           width=lw)
    d.arc(ellipse_box(cx, px(16), rx - px(1), ry), 0, 180, fill=ICON_LIGHT,
          width=px(1))
    d.ellipse(ellipse_box(cx, top, rx, ry), fill=ICON_LIGHT,
              outline=ICON_LINE, width=lw)
    return finish(img)


def make_cube_icon():
    """Cube seen from above-front: three shaded faces."""
    img, d = icon_canvas()
    c = (px(16), px(16))
    top = (px(16), px(3))
    left, right = (px(4), px(10)), (px(28), px(10))
    bl, br, bottom = (px(4), px(23)), (px(28), px(23)), (px(16), px(29))
    d.polygon([top, right, c, left], fill=ICON_LIGHT)
    d.polygon([left, c, bottom, bl], fill=ICON_FILL)
    d.polygon([c, right, br, bottom], fill=shade(ICON_FILL, 0.7))
    outline = [top, right, br, bottom, bl, left, top]
    d.line(outline, fill=ICON_LINE, width=px(2), joint="curve")
    d.line([left, c, right], fill=ICON_LINE, width=px(1))
    d.line([c, bottom], fill=ICON_LINE, width=px(1))
    return finish(img)


def make_icons():
    tag = make_tag_icon()
    return [
        save_tif(tag, "orvextag.tif"),
        save_tif(grey_out(tag), "orvextag_off.tif"),
        save_tif(make_fish_icon(), "orvextag_fish.tif"),
        save_tif(make_pano_icon(), "orvextag_pano.tif"),
        save_tif(make_cylinder_icon(), "orvextag_cylindrical.tif"),
        save_tif(make_cube_icon(), "orvextag_skybox.tif"),
    ]


# --------------------------------------------------------------------------
# XY pad maps
# --------------------------------------------------------------------------
# Directions follow the pad's own conversion to latitude and longitude:
#   dome map:  centre = zenith, rim = horizon (180 degree dome), front at the
#              bottom edge (v = 1), back at the top, right at u = 1.
#   panorama:  v = 0 up, v = 1 down; u = 0.5 front, 0.75 right, 0.25 left,
#              0 and 1 back.

MAP_BG = (34, 36, 40)
MAP_SKY = (40, 66, 96)
MAP_GROUND = (58, 50, 40)
GRID = (120, 150, 180)
GRID_MAIN = (190, 210, 230)
LABEL_BG = (20, 22, 26)


def draw_label(d, xy, text, fnt, colour, pad):
    """Label on a small dark disc so it stays readable over grid lines."""
    x, y = xy
    d.ellipse(ellipse_box(x, y, pad, pad), fill=LABEL_BG)
    text_centered(d, (x, y), text, fnt, colour)


def make_dome_map():
    size = 256
    img, d = canvas(size, size, fill=with_alpha(MAP_BG, 255))
    c, r = size * SS / 2, (size / 2 - 2) * SS
    d.ellipse(ellipse_box(c, c, r, r), fill=MAP_SKY)
    # Elevation rings every 30 degrees (radius falls linearly to the zenith).
    for elev in (30, 60):
        rr = r * (90 - elev) / 90
        d.ellipse(ellipse_box(c, c, rr, rr), outline=GRID, width=SS)
    # Azimuth lines every 30 degrees; the four cardinal ones brighter.
    for az in range(0, 360, 30):
        a = math.radians(az)
        main = az % 90 == 0
        d.line((c, c, c + r * math.sin(a), c + r * math.cos(a)),
               fill=GRID_MAIN if main else GRID, width=SS * (2 if main else 1))
    d.ellipse(ellipse_box(c, c, r, r), outline=GRID_MAIN, width=2 * SS)
    d.ellipse(ellipse_box(c, c, 3 * SS, 3 * SS), fill=GRID_MAIN)
    # Labels just inside the rim.
    fnt, off, pad = font(26 * SS), r - 20 * SS, 16 * SS
    draw_label(d, (c, c + off), "F", fnt, WARM, pad)
    draw_label(d, (c, c - off), "B", fnt, WHITE, pad)
    draw_label(d, (c - off, c), "L", fnt, WHITE, pad)
    draw_label(d, (c + off, c), "R", fnt, WHITE, pad)
    return finish(img)


def make_pano_map():
    w, h = 512, 256
    img, d = canvas(w, h)
    W, H = w * SS, h * SS
    d.rectangle((0, 0, W, H // 2), fill=MAP_SKY)
    d.rectangle((0, H // 2, W, H), fill=MAP_GROUND)
    # Longitude lines every 30 degrees (12 columns), latitude every 30 (6 rows).
    for i in range(1, 12):
        x = W * i / 12
        main = i % 3 == 0
        d.line((x, 0, x, H), fill=GRID_MAIN if main else GRID,
               width=SS * (2 if main else 1))
    for j in range(1, 6):
        y = H * j / 6
        main = j == 3
        d.line((0, y, W, y), fill=GRID_MAIN if main else GRID,
               width=SS * (2 if main else 1))
    d.rectangle((0, 0, W - 1, H - 1), outline=GRID_MAIN, width=2 * SS)
    # Direction labels on the horizon; the back label is split over both edges.
    fnt, pad, y = font(26 * SS), 16 * SS, H / 2
    for u, text in ((0.25, "L"), (0.5, "F"), (0.75, "R")):
        draw_label(d, (W * u, y), text, fnt, WARM if text == "F" else WHITE,
                   pad)
    for x in (pad + 4 * SS, W - pad - 4 * SS):
        draw_label(d, (x, y), "B", fnt, WHITE, pad)
    # Up and down markers at the top and bottom of the front column.
    small = font(16 * SS)
    text_centered(d, (W * 0.5 + 22 * SS, 14 * SS), "up", small, GRID_MAIN)
    text_centered(d, (W * 0.5 + 30 * SS, H - 14 * SS), "down", small,
                  GRID_MAIN)
    return finish(img)


def make_maps():
    return [
        save_png(make_dome_map(), "map_dome.png", colors=48),
        save_png(make_pano_map(), "map_pano.png", colors=48),
    ]


# --------------------------------------------------------------------------
# String table
# --------------------------------------------------------------------------

STRINGS = {
    "10000": "Orvex360Cam",
    "10001": "Orvex360Cam Tag",
    "10002": "Create Fulldome Camera",
    "10003": "Create Fisheye Camera",
    "10004": "Create Little Planet Camera",
    "10005": "Create Panorama Camera",
    "10006": "Create Cubemap Camera",
    "10007": "Create Cylindrical Camera",
    # printf arguments: width, height (int), current aspect (double),
    # new width, new height (int), target aspect (double).
    "10012": ("The render resolution %d x %d has the aspect ratio %.3f.\n"
              "Change it to %d x %d to match the aspect ratio %.3f?"),
    "10013": "The render resolution already matches the output aspect ratio.",
}


def write_strings():
    path = RES_DIR / "strings_en-US" / "strings.json"
    path.parent.mkdir(parents=True, exist_ok=True)
    text = json.dumps({"strings": STRINGS}, indent=2, ensure_ascii=False)
    path.write_text(text + "\n", encoding="utf-8")
    return path


# --------------------------------------------------------------------------

def main():
    RES_DIR.mkdir(parents=True, exist_ok=True)
    written = []
    written += make_cubemap_cells()
    written.append(save_png(make_header(), "header_beta.png", colors=96))
    written.append(save_png(make_logo(), "Orvex360Cam.png"))
    written += make_icons()
    written += make_maps()
    written.append(write_strings())
    for path in written:
        print(f"{path.stat().st_size:7d}  {path.relative_to(RES_DIR.parent)}")


if __name__ == "__main__":
    main()
