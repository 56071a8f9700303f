#!/usr/bin/python3
"""Usage: /usr/bin/python3 art/draw.py [--check]

Redraws every raster image in art/ (background.jpg, banner.gif, the four unit GIFs, each
also at twice the size as NAME@2x.EXT for screens at 200 %, and logo.ico) from logo.svg and
the system fonts. Needs Debian's python3-pil, librsvg2-bin (rsvg-convert), fonts-liberation
and fonts-dejavu-core. Deterministic: a second run writes the same bytes.

--check draws into a scratch folder instead and fails if a committed image differs from
its fresh drawing (exit 1), or skips (exit 77) when a tool or font it needs is missing.
"""

import io
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

CHECK = sys.argv[1:] == ["--check"]
if sys.argv[1:] not in ([], ["--check"]):
    sys.exit("usage: draw.py [--check]")

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    print("draw.py: Pillow is missing (Debian package python3-pil)", file=sys.stderr)
    sys.exit(77 if CHECK else 1)

ART = Path(__file__).resolve().parent
LOGO_SVG = ART / "logo.svg"
OUT = ART  # where the images are written; a scratch folder under --check

# The images are drawn once per scale: 1 for the window at 100 %, 2 for screens at 200 %
# (and the window picks those between). Each scale is drawn from the vectors and the fonts,
# never by enlarging the 1x pixels. The icon has its own large sizes.
SCALES = (1, 2)

# Debian packages: fonts-liberation and fonts-dejavu-core.
TITLE_FONT = Path("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf")
UNIT_FONT = Path("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf")

BACKGROUND_RGB = (255, 194, 13)
BACKGROUND_EDGE_RGB = (255, 224, 128)
BANNER_RGB = (255, 191, 0)
TITLE_RGB = (128, 0, 0)
PANEL_RGB = (255, 255, 128)
TEXT_RGB = (0, 0, 0)

# Banner layout. The window shows the top-left 430 x 73 pixels, and the version label is
# drawn over x 93..217, y 60..74, so the title keeps to the box above that strip.
BANNER_SIZE = (432, 79)
BANNER_LOGO_PLACE = (6, 5)
BANNER_LOGO_SIZE = 64  # a quarter of the master: the 16-unit frame stays a whole 4 px
TITLE = "Velmora-Tarquen"
TITLE_BOX = (85, 6, 425, 56)  # left, top, right, bottom (exclusive)

# Unit images. DejaVu Sans Condensed at 12 px, rendered bi-level, is sharp and still keeps
# the superscript two and the middle dot distinct (at 11 px the two looks like a three;
# wider faces overflow). The font leaves 1 px before the middle dot and 2 px after it at
# this size; one blank column after the dot is dropped so the dot sits evenly, which also
# keeps "kWh/m²·év" inside the 58 px the window shows of it.
UNIT_FONT_PX = 12
UNIT_LEFT = 0  # the glyphs' own side bearing gives the 1 px left margin
UNIT_BASELINE = 12  # ink from row 2 (accent of é) to row 13 (foot of J): centred in 16 rows
UNIT_DOT = "·"
# Pillow's font mode per scale. At 2x the anti-aliased outline is sharp enough and matches
# the texts Qt draws around it.
UNIT_FONT_MODE = {1: "1", 2: "L"}
# file, image size, the top-left part the window shows (the text must fit inside it), text
UNITS = [
    ("unit_kwh_m2_ev.gif", (60, 19), (58, 16), "kWh/m²·év"),
    ("unit_gj_m2_ev.gif", (53, 19), (52, 16), "GJ/m²·év"),
    ("unit_m2.gif", (26, 23), (25, 16), "m²"),
    ("unit_gj_ev.gif", (60, 19), (55, 16), "GJ/év"),
]

# Icon images in file order: (size, bits per pixel); bpp 0 means a PNG-compressed image.
ICON_IMAGES = [(16, 4), (32, 4), (16, 8), (32, 8), (48, 8), (16, 32), (32, 32), (48, 32), (256, 0)]


def fail(message):
    sys.exit(f"draw.py: {message}")


def missing(what):
    """A tool or font that is not installed: under --check the check is skipped."""
    print(f"draw.py: {what}", file=sys.stderr)
    sys.exit(77 if CHECK else 1)


def scaled_name(name, scale):
    """banner.gif at scale 2 is banner@2x.gif."""
    if scale == 1:
        return name
    stem, dot, ext = name.rpartition(".")
    return f"{stem}@{scale}x{dot}{ext}"


def times(box, scale):
    return tuple(v * scale for v in box)


def font(path, size):
    if not path.is_file():
        missing(f"font {path} is missing (Debian packages fonts-liberation, fonts-dejavu-core)")
    # The basic layout keeps the result independent of whether libraqm is present.
    return ImageFont.truetype(str(path), size, layout_engine=ImageFont.Layout.BASIC)


def render_logo(size):
    """Renders logo.svg to an opaque RGB image of size x size pixels."""
    exe = shutil.which("rsvg-convert")
    if exe is None:
        missing("rsvg-convert is missing (Debian package librsvg2-bin)")
    png = subprocess.run(
        [exe, "--format=png", f"--width={size}", f"--height={size}", str(LOGO_SVG)],
        check=True,
        stdout=subprocess.PIPE,
    ).stdout
    image = Image.open(io.BytesIO(png)).convert("RGBA")
    if image.size != (size, size):
        fail(f"rsvg-convert gave {image.size} for {size} px")
    if image.getextrema()[3][0] != 255:
        fail("the logo must be opaque: its frame covers the whole square")
    return image.convert("RGB")


def jpeg_roundtrip(ycbcr):
    """The RGB colour a uniform block of this YCbCr value decodes to."""
    buffer = io.BytesIO()
    Image.new("YCbCr", (8, 8), ycbcr).save(buffer, "JPEG", quality=100, subsampling=0)
    return Image.open(io.BytesIO(buffer.getvalue())).convert("RGB").getpixel((4, 4))


def exact_ycbcr(rgb):
    """A YCbCr value that decodes to exactly rgb. The plain conversion is often one step
    off after rounding at both ends, so try its neighbours."""
    r, g, b = rgb
    y0 = round(0.299 * r + 0.587 * g + 0.114 * b)
    cb0 = round(-0.168736 * r - 0.331264 * g + 0.5 * b + 128)
    cr0 = round(0.5 * r - 0.418688 * g - 0.081312 * b + 128)
    for radius in range(4):
        for dy in range(-radius, radius + 1):
            for dcb in range(-radius, radius + 1):
                for dcr in range(-radius, radius + 1):
                    if max(abs(dy), abs(dcb), abs(dcr)) != radius:
                        continue
                    candidate = (y0 + dy, cb0 + dcb, cr0 + dcr)
                    if jpeg_roundtrip(candidate) == rgb:
                        return candidate
    fail(f"no YCbCr value decodes to {rgb}")


def draw_background(scale):
    name = scaled_name("background.jpg", scale)
    size = times((1081, 736), scale)
    ground = exact_ycbcr(BACKGROUND_RGB)
    edge = exact_ycbcr(BACKGROUND_EDGE_RGB)
    # Drawn in YCbCr and saved without conversion, so the decoder gives back the exact colour.
    image = Image.new("YCbCr", size, ground)
    draw = ImageDraw.Draw(image)
    # The lighter line is one window pixel: `scale` image pixels.
    draw.rectangle([(0, 0), (size[0] - 1, scale - 1)], fill=edge)
    draw.rectangle([(0, 0), (scale - 1, size[1] - 1)], fill=edge)
    # Quality 100 and 4:4:4 keep the line sharp; flat blocks still cost almost nothing.
    image.save(OUT / name, "JPEG", quality=100, subsampling=0, optimize=True)

    check = Image.open(OUT / name).convert("RGB")
    if check.size != size or check.getpixel((size[0] // 2, size[1] // 2)) != BACKGROUND_RGB:
        fail(f"{name} does not decode to its ground colour")
    if check.getpixel((size[0] // 2, scale - 1)) != BACKGROUND_EDGE_RGB:
        fail(f"{name} does not decode to its edge colour")
    if check.getpixel((size[0] // 2, scale)) != BACKGROUND_RGB:
        fail(f"{name}: the edge line is too wide")


def to_palette(image, exact_colours):
    """Maps an RGB image to at most 256 colours, each pixel to its nearest palette entry.
    The colours in exact_colours are kept exactly; the rest of the palette is a median cut
    of the image. (Pillow's own palette mapping works on a coarse colour cache and may
    pick a neighbour even for a colour that is in the palette.)"""
    reduced = image.quantize(
        256 - len(exact_colours), method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE
    )
    found = reduced.getpalette()[: 3 * len(reduced.getcolors())]
    palette = list(exact_colours) + [tuple(found[i : i + 3]) for i in range(0, len(found), 3)]

    nearest = {}
    for _, rgb in image.getcolors(1 << 24):
        nearest[rgb] = min(
            range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(rgb, palette[i]))
        )
    indexed = Image.new("P", image.size)
    indexed.putpalette([c for rgb in palette for c in rgb])
    indexed.putdata([nearest[rgb] for rgb in image.getdata()])
    return indexed


def save_gif(image, name, exact_colours):
    to_palette(image, exact_colours).save(OUT / name, "GIF")
    check = Image.open(OUT / name).convert("RGB")
    if check.size != image.size:
        fail(f"{name} has the wrong size")
    present = {rgb for _, rgb in image.getcolors(1 << 24)}
    kept = {rgb for _, rgb in check.getcolors(1 << 24)}
    for rgb in exact_colours:
        if rgb in present and rgb not in kept:
            fail(f"{name} lost the colour {rgb}")


def title_size():
    """The largest font size whose ink fits the 1x title box."""
    left, top, right, bottom = TITLE_BOX
    for size in range(60, 10, -1):
        x0, y0, x1, y1 = font(TITLE_FONT, size).getbbox(TITLE)
        if x1 - x0 <= right - left and y1 - y0 <= bottom - top:
            return size
    fail("the title fits no size")


def draw_banner(scale):
    image = Image.new("RGB", times(BANNER_SIZE, scale), BANNER_RGB)
    image.paste(render_logo(BANNER_LOGO_SIZE * scale), times(BANNER_LOGO_PLACE, scale))

    # The 1x size times the scale, so the title keeps its proportions at every scale.
    left, top, right, bottom = times(TITLE_BOX, scale)
    face = font(TITLE_FONT, title_size() * scale)
    x0, y0, x1, y1 = face.getbbox(TITLE)
    if x1 - x0 > right - left or y1 - y0 > bottom - top:
        fail(f"the title does not fit its box at scale {scale}")
    x = left + (right - left - (x1 - x0)) // 2 - x0
    y = top + (bottom - top - (y1 - y0)) // 2 - y0
    ImageDraw.Draw(image).text((x, y), TITLE, font=face, fill=TITLE_RGB)

    save_gif(image, scaled_name("banner.gif", scale), [BANNER_RGB, TITLE_RGB])


def ink_box(image):
    """The bounding box of the pixels that are not the panel colour, or None."""
    mask = Image.new("1", image.size, 0)
    mask.putdata([0 if rgb == PANEL_RGB else 1 for rgb in image.getdata()])
    return mask.getbbox()


def draw_unit_text(size, text, face, baseline, scale):
    """Draws text on the panel colour with its baseline on the given row: bi-level at 1x.

    Pillow 9 places a string by the top of its outline box, but hinting can make tall
    glyphs a pixel shorter, so the string may land a pixel high. A probe "m" (as tall
    hinted as unhinted, and never the tallest glyph) is drawn after the text first: where
    its foot lands shows the real baseline."""
    mode = UNIT_FONT_MODE[scale]
    gap_x = UNIT_LEFT + round(face.getlength(text + " ")) + 1  # between the text and the probe
    trial = Image.new("RGB", (gap_x + 24 * scale, baseline + 16 * scale), PANEL_RGB)
    draw = ImageDraw.Draw(trial)
    draw.fontmode = mode
    draw.text((UNIT_LEFT, baseline), text + "  m", font=face, fill=TEXT_RGB, anchor="ls")
    probe = ink_box(trial.crop((gap_x, 0) + trial.size))
    lift = baseline - probe[3]

    image = Image.new("RGB", size, PANEL_RGB)
    draw = ImageDraw.Draw(image)
    draw.fontmode = mode
    draw.text((UNIT_LEFT, baseline + lift), text, font=face, fill=TEXT_RGB, anchor="ls")
    return image


def close_up_after_dot(image, text, face, scale):
    """Removes one blank window column (`scale` image columns) after each middle dot, moving
    the rest of the line left."""
    removed = 0
    for i, char in enumerate(text):
        if char != UNIT_DOT:
            continue
        for _ in range(scale):
            cut = UNIT_LEFT + round(face.getlength(text[: i + 1])) - 1 - removed
            if ink_box(image.crop((cut, 0, cut + 1, image.height))) is not None:
                fail(f"no blank column after the middle dot in {text!r}")
            image.paste(image.crop((cut + 1, 0, image.width, image.height)), (cut, 0))
            image.paste(PANEL_RGB, (image.width - 1, 0, image.width, image.height))
            removed += 1
    return image


def draw_units(scale):
    face = font(UNIT_FONT, UNIT_FONT_PX * scale)
    for name, size, visible, text in UNITS:
        name = scaled_name(name, scale)
        width, height = times(visible, scale)
        image = draw_unit_text(times(size, scale), text, face, UNIT_BASELINE * scale, scale)
        image = close_up_after_dot(image, text, face, scale)
        ink = ink_box(image)
        if ink is None or ink[2] > width or ink[3] > height:
            fail(f"{name}: the text {ink} does not fit the visible {width} x {height}")
        save_gif(image, name, [PANEL_RGB, TEXT_RGB])


def dib(image, bpp):
    """An icon image as a DIB: header, palette, XOR bitmap and an all-opaque AND mask."""
    width, height = image.size
    xor_stride = (width * bpp + 31) // 32 * 4
    and_stride = (width + 31) // 32 * 4
    palette = b""
    if bpp in (4, 8):
        colours = 1 << bpp
        indexed = image.quantize(colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        entries = indexed.getpalette()[: 3 * colours]
        entries += [0] * (3 * colours - len(entries))
        palette = b"".join(
            bytes((entries[i + 2], entries[i + 1], entries[i], 0)) for i in range(0, 3 * colours, 3)
        )
        pixels = indexed.load()
    else:
        pixels = image.load()
    rows = []
    for y in reversed(range(height)):  # DIBs are stored bottom-up
        if bpp == 4:
            row = bytes(
                (pixels[x, y] << 4) | (pixels[x + 1, y] if x + 1 < width else 0)
                for x in range(0, width, 2)
            )
        elif bpp == 8:
            row = bytes(pixels[x, y] for x in range(width))
        else:
            row = b"".join(bytes((*reversed(pixels[x, y]), 255)) for x in range(width))  # BGRA
        rows.append(row + b"\0" * (xor_stride - len(row)))
    xor = b"".join(rows)
    mask = b"\0" * (and_stride * height)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # header size
        width,
        2 * height,  # XOR and AND bitmaps together
        1,  # planes
        bpp,
        0,  # uncompressed
        len(xor) + len(mask),
        0,
        0,
        len(palette) // 4,
        0,
    )
    return header + palette + xor + mask


def draw_icon():
    renders = {}
    blobs = []
    for size, bpp in ICON_IMAGES:
        if size not in renders:
            renders[size] = render_logo(size)
        if bpp == 0:
            buffer = io.BytesIO()
            renders[size].convert("RGBA").save(buffer, "PNG", optimize=True)
            blobs.append(buffer.getvalue())
        else:
            blobs.append(dib(renders[size], bpp))

    directory = struct.pack("<HHH", 0, 1, len(ICON_IMAGES))
    offset = len(directory) + 16 * len(ICON_IMAGES)
    entries = b""
    for (size, bpp), blob in zip(ICON_IMAGES, blobs):
        entries += struct.pack(
            "<BBBBHHII",
            size % 256,  # 0 stands for 256
            size % 256,
            16 if bpp == 4 else 0,  # palette size, 0 when 256 or more
            0,
            1,
            bpp or 32,
            len(blob),
            offset,
        )
        offset += len(blob)
    (OUT / "logo.ico").write_bytes(directory + entries + b"".join(blobs))


def draw_all():
    for scale in SCALES:
        draw_background(scale)
        draw_banner(scale)
        draw_units(scale)
    draw_icon()


def main():
    global OUT
    if not LOGO_SVG.is_file():
        fail(f"{LOGO_SVG} is missing")
    if not CHECK:
        draw_all()
        return
    with tempfile.TemporaryDirectory() as scratch:
        OUT = Path(scratch)
        draw_all()
        stale = [
            f.name for f in sorted(OUT.iterdir()) if (ART / f.name).read_bytes() != f.read_bytes()
        ]
    for name in stale:
        print(f"art/{name} differs from what draw.py draws: run art/draw.py")
    sys.exit(1 if stale else 0)


if __name__ == "__main__":
    main()
