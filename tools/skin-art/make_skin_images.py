#!/usr/bin/python3
"""Draws every image of the skin (skin/img and skin/images) from the palette
and the tables below, with Debian's Pillow (python3-pil).

    /usr/bin/python3 tools/skin-art/make_skin_images.py [skin folder]
    /usr/bin/python3 tools/skin-art/make_skin_images.py --check [skin folder]

The second form writes nothing: it draws into a scratch folder and fails when
the committed images differ from what the script draws, or when the skin holds
an image the script does not draw.

Running it again gives byte-identical files, so the generated images are
committed and the build needs no Pillow. Shapes are drawn at four times their
size and scaled down, which smooths their edges; text is drawn at its final
size with the CJK font the test session also uses.

Conventions the skin files rely on (see skin/README.md):
  - state strips lie side by side in the order normal, hot, pushed, disabled
    (fewer frames where a control has fewer states);
  - nine-grid images keep their corner radius inside the corner given in the
    skin ("corner='5,5,5,5'" for the 32 x 32 button frames, and so on).
"""
import filecmp
import math
import os
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFilter, ImageFont

# --- Palette: the one place the skin's colours are chosen -------------------
PALETTE = {
    "brand": "#5B7AF2",          # accent: primary buttons, selection, links
    "brand_hover": "#7891F5",
    "brand_pressed": "#4763D6",
    "brand_tint": "#EEF1FE",     # selected or hovered backgrounds
    "brand_tint2": "#DDE4FD",    # pressed light backgrounds
    "brand_disabled": "#C8D2FA",
    "text": "#333333",
    "text2": "#666666",
    "text3": "#999999",
    "text_disabled": "#C0C4CC",
    "page": "#F5F6FA",           # window background behind panels
    "panel": "#FFFFFF",
    "border": "#E4E7ED",
    "border_strong": "#DCDFE6",
    "field_disabled": "#F5F7FA",
    "hover_grey": "#F0F2F5",
    "pressed_grey": "#E4E7ED",
    "success": "#3DBE7A",
    "danger": "#F2564B",
    "danger_pressed": "#D9443A",
    "warning": "#F5A623",
}

SS = 4  # supersampling factor for shapes
RADIUS_BUTTON = 4  # buttons, fields, menus
RADIUS_CARD = 8  # cards, panels, text areas
FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Avatars of the voice catalogue: file, background colour, figure.
# Figures: "m" man, "f" woman, "b" boy, "g" girl, "n" no one (placeholder).
AVATARS = [
    ("default_avatar.png", "#C0C4CC", "n"),
    ("anchor_jingxing.png", "#5B7AF2", "m"),
    ("anchor_shuyao.png", "#F08CA8", "f"),
    ("anchor_ava.png", "#F5A65B", "f"),
    ("anchor_leo.png", "#4FB3A9", "m"),
    ("anchor_mia.png", "#9B7CF0", "f"),
    ("anchor_nuannuan.png", "#F27A7A", "f"),
    ("anchor_xinghe.png", "#4A8FE0", "m"),
    ("anchor_doudou.png", "#6CC46F", "b"),
    ("anchor_xiaoman.png", "#F7B84B", "g"),
    ("anchor_yunzhou.png", "#5C6BC0", "m"),
    ("anchor_xiaolan.png", "#7A9CF5", "f"),
    ("anchor_ruoxi.png", "#55B8D9", "f"),
]
AVATAR_SIZE = 64

# Emotion icons (img/<key>.png, 26 x 26): face colour and expression.
EMOTIONS = [
    ("neutral", "#DDE4FD", "neutral"),
    ("happy", "#FFD666", "smile"),
    ("sad", "#A9C8F7", "frown"),
    ("angry", "#FF9F8F", "angry"),
    ("fear", "#CDBEF6", "fear"),
]


def rgb(name_or_hex, alpha=255):
    value = PALETTE.get(name_or_hex, name_or_hex).lstrip("#")
    return (int(value[0:2], 16), int(value[2:4], 16), int(value[4:6], 16), alpha)


def font(size):
    return ImageFont.truetype(FONT_FILE, size)


# --- Drawing helpers --------------------------------------------------------

class Art:
    """One image drawn at SS times its size; `done` scales it down."""

    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * SS, h * SS), rgb(background) if background else (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.img)

    @staticmethod
    def s(v):
        return int(round(v * SS))

    def box(self, x0, y0, x1, y1):
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def rrect(self, x0, y0, x1, y1, r, fill=None, outline=None, width=1.0):
        self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(r), fill=rgb(fill) if fill else None,
                                    outline=rgb(outline) if outline else None, width=self.s(width) if outline else 0)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0):
        self.draw.ellipse(self.box(x0, y0, x1, y1), fill=rgb(fill) if fill else None,
                          outline=rgb(outline) if outline else None, width=self.s(width) if outline else 0)

    def line(self, points, color, width=1.5, round_caps=True):
        pts = [(self.s(x), self.s(y)) for x, y in points]
        self.draw.line(pts, fill=rgb(color), width=self.s(width), joint="curve")
        if round_caps:
            r = self.s(width) / 2
            for x, y in (pts[0], pts[-1]):
                self.draw.ellipse([x - r, y - r, x + r, y + r], fill=rgb(color))

    def arc(self, x0, y0, x1, y1, start, end, color, width=1.5):
        self.draw.arc(self.box(x0, y0, x1, y1), start, end, fill=rgb(color), width=self.s(width))

    def polygon(self, points, fill):
        self.draw.polygon([(self.s(x), self.s(y)) for x, y in points], fill=rgb(fill))

    def done(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def strip(frames, vertical=False):
    w = frames[0].width
    h = frames[0].height
    out = Image.new("RGBA", (w, h * len(frames)) if vertical else (w * len(frames), h), (0, 0, 0, 0))
    for i, f in enumerate(frames):
        out.paste(f, (0, i * h) if vertical else (i * w, 0))
    return out


def text_center(img, text, size, color, dx=0, bold=False):
    """Draws text centred in the image (plus a horizontal shift dx)."""
    d = ImageDraw.Draw(img)
    f = font(size)
    l, t, r, b = d.textbbox((0, 0), text, font=f)
    x = (img.width - (r - l)) / 2 - l + dx
    y = (img.height - (b - t)) / 2 - t
    d.text((x, y), text, font=f, fill=rgb(color))
    if bold:  # the font has no bold face: a second pass a little to the right
        d.text((x + 0.6, y), text, font=f, fill=rgb(color))
    return img


def text_width(text, size):
    d = ImageDraw.Draw(Image.new("RGBA", (1, 1)))
    l, t, r, b = d.textbbox((0, 0), text, font=font(size))
    return r - l


# --- Images -----------------------------------------------------------------

def window_shadow():
    """Nine-grid shadow around a window: 14 pixels on each side, centre empty."""
    size, edge = 48, 14
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).rectangle([edge - 1, edge + 1, size - edge, size - edge + 2], fill=255)
    mask = mask.filter(ImageFilter.GaussianBlur(5))
    mask = mask.point(lambda v: int(v * 0.30))
    ImageDraw.Draw(mask).rectangle([edge, edge, size - edge - 1, size - edge - 1], fill=0)
    shadow = Image.new("RGBA", (size, size), (24, 32, 64, 0))
    shadow.putalpha(mask)
    return shadow


def logo(size=28):
    a = Art(size, size)
    a.rrect(0, 0, size, size, 7, fill="brand")
    bars = [(0.28, 0.42), (0.4, 0.7), (0.52, 0.5), (0.64, 0.78), (0.76, 0.36)]
    for x, h in bars:
        cx, half = x * size, h * size / 2
        a.line([(cx, size / 2 - half / 1.4), (cx, size / 2 + half / 1.4)], "#FFFFFF", width=size / 14)
    return a.done()


def title_button(glyph, danger=False):
    """32 x 32 title-band buttons: normal, hot, pushed."""
    frames = []
    for state in ("normal", "hot", "pushed"):
        a = Art(32, 32)
        colour = "text2"
        if state != "normal":
            bg = ("danger" if state == "hot" else "danger_pressed") if danger else (
                "hover_grey" if state == "hot" else "pressed_grey")
            a.rrect(2, 2, 30, 30, RADIUS_BUTTON, fill=bg)
            colour = "#FFFFFF" if danger else "text"
        glyph(a, colour)
        frames.append(a.done())
    return strip(frames)


def glyph_close(a, c):
    a.line([(11, 11), (21, 21)], c, 1.5)
    a.line([(21, 11), (11, 21)], c, 1.5)


def glyph_min(a, c):
    a.line([(10, 16.5), (22, 16.5)], c, 1.5)


def glyph_menu(a, c):
    for y in (11, 16, 21):
        a.line([(10, y), (22, y)], c, 1.5)


def glyph_kefu(a, c):
    # A headset: band, two ear cups and a microphone arm.
    a.arc(9, 8, 23, 22, 180, 360, c, 1.5)
    a.rrect(8, 15, 12, 21, 1.5, fill=c)
    a.rrect(20, 15, 24, 21, 1.5, fill=c)
    a.arc(12, 14, 22, 25, 20, 100, c, 1.3)
    a.ellipse(15, 23.2, 17.6, 25.8, fill=c)


def button_frames(styles, size=32, radius=RADIUS_BUTTON):
    """Button frames from (fill, border) pairs, one per state."""
    frames = []
    for fill, border in styles:
        a = Art(size, size)
        if border:
            a.rrect(0, 0, size, size, radius, fill=border)
            a.rrect(1, 1, size - 1, size - 1, radius - 1, fill=fill)
        elif fill:
            a.rrect(0, 0, size, size, radius, fill=fill)
        frames.append(a.done())
    return strip(frames)


def card():
    return button_frames([("panel", "border"), ("panel", "#A9B9F8"), ("brand_tint", "brand")], 48, 10)


def drop_area():
    return button_frames([("#FAFBFD", "#CDD2DB"), ("brand_tint", "brand_hover"), ("brand_tint2", "brand")], 48, 10)


def home_icon(kind):
    a = Art(72, 72)
    a.ellipse(0, 0, 72, 72, fill="brand_tint2")
    a.ellipse(6, 6, 66, 66, fill="brand_tint")
    if kind == "t2v":
        for i, w in enumerate((18, 14, 18)):
            y = 27 + i * 9
            a.line([(17, y), (17 + w, y)], "brand", 3)
        a.polygon([(40, 31), (45, 31), (52, 25), (52, 47), (45, 41), (40, 41)], "brand")
        a.arc(48, 27, 58, 45, -60, 60, "brand", 2.5)
        a.arc(50, 21, 64, 51, -60, 60, "brand", 2.5)
    else:
        for i, h in enumerate((8, 18, 26, 14, 20)):
            x = 15 + i * 5.5
            a.line([(x, 36 - h / 2), (x, 36 + h / 2)], "brand", 3)
        a.line([(44, 27), (58, 27)], "brand", 3)
        a.line([(44, 36), (56, 36)], "brand", 3)
        a.line([(44, 45), (58, 45)], "brand", 3)
    return a.done()


def icon16(draw_fn, colour):
    a = Art(16, 16)
    draw_fn(a, colour)
    return a.done()


def g_back(a, c):
    a.line([(10, 3.5), (5.5, 8), (10, 12.5)], c, 1.6)


def g_add(a, c):
    a.line([(8, 3), (8, 13)], c, 1.8)
    a.line([(3, 8), (13, 8)], c, 1.8)


def g_folder(a, c):
    a.rrect(1.5, 3, 7.5, 6, 1, fill=c)
    a.rrect(1.5, 4.5, 14.5, 13.5, 1.5, outline=c, width=1.4)


def g_import(a, c):
    a.line([(8, 2), (8, 9.5)], c, 1.5)
    a.line([(5, 7), (8, 10), (11, 7)], c, 1.5)
    a.line([(2.5, 10), (2.5, 13.5), (13.5, 13.5), (13.5, 10)], c, 1.5)


def g_polyphone(a, c):
    a.line([(5, 3), (3, 3), (3, 13), (5, 13)], c, 1.4)
    a.line([(11, 3), (13, 3), (13, 13), (11, 13)], c, 1.4)
    a.line([(6, 6.5), (10, 6.5)], c, 1.4)
    a.line([(6, 9.5), (10, 9.5)], c, 1.4)


def g_interval(a, c):
    a.ellipse(2, 2.5, 14, 14.5, outline=c, width=1.4)
    a.line([(8, 5.5), (8, 8.5), (10.5, 10)], c, 1.4)


def g_clear(a, c):
    a.line([(2.5, 4.5), (13.5, 4.5)], c, 1.4)
    a.line([(6, 4.5), (6.5, 2.5), (9.5, 2.5), (10, 4.5)], c, 1.3)
    a.line([(4, 5), (4.8, 13.5), (11.2, 13.5), (12, 5)], c, 1.4)
    a.line([(6.8, 7.5), (6.8, 11)], c, 1.2)
    a.line([(9.2, 7.5), (9.2, 11)], c, 1.2)


def g_warn(a, c):
    a.ellipse(1, 1, 15, 15, fill=c)
    a.line([(8, 4.5), (8, 9)], "#FFFFFF", 1.8)
    a.ellipse(7, 10.8, 9, 12.8, fill="#FFFFFF")


def icon_states(size, draw_fn, states):
    """Frames of one glyph in several (background, colour) states."""
    frames = []
    for bg, colour in states:
        a = Art(size, size)
        if bg:
            a.ellipse(0, 0, size, size, fill=bg)
        draw_fn(a, colour, size)
        frames.append(a.done())
    return strip(frames)


def g_delete(a, c, size):
    m = size * 0.32
    a.line([(m, m), (size - m, size - m)], c, 1.5)
    a.line([(size - m, m), (m, size - m)], c, 1.5)


def g_reset(a, c, size):
    a.arc(4, 4, size - 4, size - 4, 300, 220, c, 1.6)
    # arrow head at the arc's open end (upper left)
    a.polygon([(3.2, 5.5), (8.5, 5.5), (5.2, 10)], c)


def stepper(sign):
    frames = []
    for fill, border, colour in (("panel", "border_strong", "text2"), ("panel", "brand", "brand"),
                                 ("brand_tint", "brand", "brand_pressed"), ("field_disabled", "border", "text_disabled")):
        a = Art(22, 22)
        a.ellipse(0, 0, 22, 22, fill=border)
        a.ellipse(1, 1, 21, 21, fill=fill)
        a.line([(7, 11), (15, 11)], colour, 1.5)
        if sign == "+":
            a.line([(11, 7), (11, 15)], colour, 1.5)
        frames.append(a.done())
    return strip(frames)


def chevron(direction):
    frames = []
    for bg, colour in ((None, "text3"), ("brand_tint", "brand"), ("brand_tint2", "brand_pressed"), (None, "text_disabled")):
        a = Art(18, 26)
        if bg:
            a.rrect(0, 0, 18, 26, RADIUS_BUTTON, fill=bg)
        if direction == "left":
            a.line([(11, 8), (6.5, 13), (11, 18)], colour, 1.6)
        else:
            a.line([(7, 8), (11.5, 13), (7, 18)], colour, 1.6)
        frames.append(a.done())
    return strip(frames)


def radio():
    frames = []
    for fill, border, dot in (("panel", "border_strong", None), ("panel", "brand", None), ("panel", "brand", "brand"),
                              ("field_disabled", "border", None)):
        a = Art(16, 16)
        a.ellipse(0.5, 0.5, 15.5, 15.5, fill=border)
        a.ellipse(1.6, 1.6, 14.4, 14.4, fill=fill)
        if dot:
            a.ellipse(4.5, 4.5, 11.5, 11.5, fill=dot)
        frames.append(a.done())
    return strip(frames)


def pill(w, h, radius, fill, border=None):
    a = Art(w, h)
    if border:
        a.rrect(0, 0, w, h, radius, fill=border)
        a.rrect(1, 1, w - 1, h - 1, radius - 1, fill=fill)
    else:
        a.rrect(0, 0, w, h, radius, fill=fill)
    return a.done()


def track(colour):
    """16 x 16 slider track: a 4-pixel bar across the middle."""
    a = Art(16, 16)
    a.rrect(0, 6, 16, 10, 2, fill=colour)
    return a.done()


def slider_thumb():
    frames = []
    for fill, border, dot in (("panel", "brand", None), ("brand_tint", "brand", None), ("brand", "brand_pressed", "#FFFFFF")):
        a = Art(14, 14)
        a.ellipse(0, 0, 14, 14, fill=border)
        a.ellipse(2, 2, 12, 12, fill=fill)
        if dot:
            a.ellipse(5, 5, 9, 9, fill=dot)
        frames.append(a.done())
    return strip(frames)


def scrollbar():
    frames = []
    for alpha, colour in ((170, "#B9BEC8"), (220, "#A0A6B1"), (255, "#8A91A0")):
        a = Art(8, 24)
        c = rgb(colour, alpha)
        a.draw.rounded_rectangle(a.box(1, 0, 7, 24), radius=a.s(3), fill=c)
        frames.append(a.done())
    return strip(frames)


def tip_icon(colour, mark):
    a = Art(36, 36)
    a.ellipse(0, 0, 36, 36, fill=colour)
    if mark == "!":
        a.line([(18, 9), (18, 21)], "#FFFFFF", 3.2)
        a.ellipse(16.2, 24.5, 19.8, 28.1, fill="#FFFFFF")
    else:
        a.line([(10.5, 18.5), (16, 24), (26, 12.5)], "#FFFFFF", 3.2)
    return a.done()


def upload_icon():
    a = Art(64, 64)
    # A cloud with an arrow up.
    a.ellipse(10, 24, 34, 48, fill="brand_tint2")
    a.ellipse(20, 12, 48, 40, fill="brand_tint2")
    a.ellipse(34, 24, 56, 46, fill="brand_tint2")
    a.rrect(18, 34, 48, 48, 7, fill="brand_tint2")
    a.line([(32, 50), (32, 28)], "brand", 3.5)
    a.line([(24, 35), (32, 27), (40, 35)], "brand", 3.5)
    return a.done()


def play_buttons(kind):
    frames = []
    for fill, colour, border in ((None, "brand", "brand"), ("brand", "#FFFFFF", "brand"),
                                 ("brand_pressed", "#FFFFFF", "brand_pressed")):
        a = Art(28, 28)
        a.ellipse(0, 0, 28, 28, fill=border)
        a.ellipse(1.4, 1.4, 26.6, 26.6, fill=fill or "panel")
        if kind == "play":
            a.polygon([(11, 8.5), (20, 14), (11, 19.5)], colour)
        else:
            a.rrect(9.5, 8.5, 12.5, 19.5, 1, fill=colour)
            a.rrect(15.5, 8.5, 18.5, 19.5, 1, fill=colour)
        frames.append(a.done())
    return strip(frames)


def use_button(text, using):
    frames = []
    for state in ("normal", "hot"):
        if using:
            img = pill(48, 24, RADIUS_BUTTON, "brand_tint" if state == "normal" else "brand_tint2")
            colour = "brand"
        elif state == "normal":
            img = pill(48, 24, RADIUS_BUTTON, "panel", "brand")
            colour = "brand"
        else:
            img = pill(48, 24, RADIUS_BUTTON, "brand")
            colour = "#FFFFFF"
        frames.append(text_center(img, text, 12, colour))
    return strip(frames)


def big_button(fill, border, text, text_colour, icon, icon_colour, size=(152, 50), font_size=16):
    """An action button with an icon left of its text."""
    w, h = size
    a = Art(w, h)
    if border:
        a.rrect(0, 0, w, h, RADIUS_BUTTON, fill=border)
        a.rrect(1, 1, w - 1, h - 1, RADIUS_BUTTON - 1, fill=fill)
    else:
        a.rrect(0, 0, w, h, RADIUS_BUTTON, fill=fill)
    tw = text_width(text, font_size)
    icon_size, gap = 18, 8
    x0 = (w - (icon_size + gap + tw)) / 2
    icon(a, x0, (h - icon_size) / 2, icon_size, icon_colour)
    img = a.done()
    return text_center(img, text, font_size, text_colour, dx=(icon_size + gap) / 2, bold=True)


def i_headphones(a, x, y, s, c):
    a.arc(x + 1, y + 1, x + s - 1, y + s + 2, 180, 360, c, 1.8)
    a.rrect(x, y + s * 0.5, x + s * 0.28, y + s, 2, fill=c)
    a.rrect(x + s * 0.72, y + s * 0.5, x + s, y + s, 2, fill=c)


def i_pause(a, x, y, s, c):
    a.rrect(x + s * 0.2, y + s * 0.1, x + s * 0.4, y + s * 0.9, 1.2, fill=c)
    a.rrect(x + s * 0.6, y + s * 0.1, x + s * 0.8, y + s * 0.9, 1.2, fill=c)


def listen_strip():
    states = (("panel", "brand", "brand"), ("brand_tint", "brand", "brand"), ("brand_tint2", "brand_pressed", "brand_pressed"))
    frames = [big_button(fill, border, "试听", colour, i_headphones, colour) for fill, border, colour in states]
    return strip(frames, vertical=True)


def pause_button():
    return big_button("brand_tint", "brand", "暂停", "brand", i_pause, "brand")


def busy_gif(size, fill, border, text, colour, background="page", frames=8):
    """A button-shaped busy animation: a ring of dots turning beside a text."""
    w, h = size
    out = []
    font_size = 16 if h >= 44 else 14
    tw = text_width(text, font_size)
    ring, gap = 18, 8
    x0 = (w - (ring + gap + tw)) / 2
    for step in range(frames):
        a = Art(w, h, background)
        if border:
            a.rrect(0, 0, w, h, RADIUS_BUTTON, fill=border)
            a.rrect(1, 1, w - 1, h - 1, RADIUS_BUTTON - 1, fill=fill)
        else:
            a.rrect(0, 0, w, h, RADIUS_BUTTON, fill=fill)
        cx, cy, r = x0 + ring / 2, h / 2, ring / 2 - 2
        base = rgb(colour)
        back = rgb(fill)
        for i in range(8):
            t = ((i - step) % 8) / 8.0  # 0 = the leading dot
            k = 1.0 - t * 0.8
            dot = tuple(int(back[j] + (base[j] - back[j]) * k) for j in range(3)) + (255,)
            ang = 2 * math.pi * i / 8 - math.pi / 2
            x, y = cx + r * math.cos(ang), cy + r * math.sin(ang)
            d = 1.3 + 0.9 * k
            a.draw.ellipse([a.s(x - d), a.s(y - d), a.s(x + d), a.s(y + d)], fill=dot)
        img = text_center(a.done(), text, font_size, colour, dx=(ring + gap) / 2, bold=True)
        out.append(img.convert("RGB").quantize(colors=64, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE))
    return out


def emotion_icon(colour, face):
    a = Art(26, 26)
    ink = "#5A4A3A" if face in ("smile",) else "#4A4F66"
    a.ellipse(1, 1, 25, 25, fill=colour)
    # eyes
    if face == "angry":
        a.line([(7, 8.5), (11, 10.5)], ink, 1.4)
        a.line([(19, 8.5), (15, 10.5)], ink, 1.4)
    if face == "fear":
        a.line([(7, 8), (10.5, 7)], ink, 1.2)
        a.line([(19, 8), (15.5, 7)], ink, 1.2)
    a.ellipse(8, 10.5, 10.6, 13.1, fill=ink)
    a.ellipse(15.4, 10.5, 18, 13.1, fill=ink)
    # mouth
    if face == "smile":
        a.arc(8.5, 11, 17.5, 20, 20, 160, ink, 1.5)
    elif face == "frown":
        a.arc(9, 16.5, 17, 23, 200, 340, ink, 1.5)
        a.ellipse(5.8, 14, 7.8, 17, fill="#5B8FE6")
    elif face == "angry":
        a.arc(9, 16.5, 17, 22.5, 200, 340, ink, 1.6)
    elif face == "fear":
        a.ellipse(11, 15.5, 15, 20.5, fill=ink)
    else:
        a.line([(9.5, 18), (16.5, 18)], ink, 1.5)
    return a.done()


def avatar(colour, figure):
    s = AVATAR_SIZE
    a = Art(s, s)
    a.ellipse(0, 0, s, s, fill=colour)
    light = rgb(colour)
    figure_colour = "#FFFFFF"
    hair = "#%02X%02X%02X" % tuple(int(v * 0.72) for v in light[:3])
    scale = 0.86 if figure in ("b", "g") else 1.0
    cx = s / 2
    head_r = 11 * scale
    head_cy = 27 + (1 - scale) * 14
    if figure in ("f", "g"):
        a.ellipse(cx - head_r - 4, head_cy - head_r - 3, cx + head_r + 4, head_cy + head_r + 9, fill=hair)
    # shoulders, cut by the round frame
    body = Image.new("L", a.img.size, 0)
    bd = ImageDraw.Draw(body)
    bw = 22 * scale
    bd.ellipse([a.s(cx - bw), a.s(head_cy + head_r + 2), a.s(cx + bw), a.s(head_cy + head_r + 2 + 2 * bw)], fill=255)
    frame = Image.new("L", a.img.size, 0)
    ImageDraw.Draw(frame).ellipse([0, 0, a.img.width - 1, a.img.height - 1], fill=255)
    body = Image.composite(body, Image.new("L", a.img.size, 0), frame)
    a.img.paste(Image.new("RGBA", a.img.size, rgb(figure_colour, 235)), (0, 0), body)
    if figure in ("m", "b"):
        # short hair: a slightly larger, higher circle showing above the face
        a.ellipse(cx - head_r - 1, head_cy - head_r - 2.5, cx + head_r + 1, head_cy + head_r - 1, fill=hair)
        a.ellipse(cx - head_r + 0.5, head_cy - head_r + 2.5, cx + head_r - 0.5, head_cy + head_r + 0.5, fill=figure_colour)
    else:
        a.ellipse(cx - head_r, head_cy - head_r, cx + head_r, head_cy + head_r, fill=figure_colour)
    return a.done()


# --- The list of files ------------------------------------------------------

def build():
    images = {}
    images["images/bk_shadow.png"] = window_shadow()
    for name, colour, figure in AVATARS:
        images["images/" + name] = avatar(colour, figure)

    images["img/logo.png"] = logo()
    images["img/btn_close.png"] = title_button(glyph_close, danger=True)
    images["img/btn_min.png"] = title_button(glyph_min)
    images["img/btn_menu.png"] = title_button(glyph_menu)
    images["img/btn_kefu.png"] = title_button(glyph_kefu)

    images["img/btn_primary.png"] = button_frames(
        [("brand", None), ("brand_hover", None), ("brand_pressed", None), ("brand_disabled", None)])
    images["img/btn_default.png"] = button_frames(
        [("panel", "border_strong"), ("panel", "brand"), ("brand_tint", "brand_pressed"), ("field_disabled", "border")])
    images["img/btn_outline.png"] = button_frames(
        [("panel", "brand"), ("brand", None), ("brand_pressed", None), ("panel", "brand_disabled")])
    images["img/btn_ghost.png"] = button_frames([("brand_tint", None), ("brand_tint2", None)], 16, RADIUS_BUTTON)
    images["img/edit.png"] = button_frames(
        [("panel", "border_strong"), ("panel", "#C0C4CC"), ("panel", "brand"), ("field_disabled", "border")])
    images["img/card.png"] = card()
    images["img/drop_area.png"] = drop_area()
    images["img/seg_bg.png"] = pill(24, 24, RADIUS_CARD, "#EAEDF4")
    images["img/seg_selected.png"] = pill(20, 20, 6, "brand")
    images["img/emotion_bg.png"] = pill(30, 26, 12, "panel", "border")
    images["img/example_bg.png"] = pill(24, 24, RADIUS_CARD, "#F7F8FA", "border")
    images["img/badge.png"] = pill(22, 20, 9, "brand_tint")
    images["img/tip_bg.png"] = pill(24, 24, 6, "#FFF7E6", "#FFE0A6")
    images["img/tab_underline.png"] = pill(30, 3, 1.5, "brand")

    images["img/home_t2v.png"] = home_icon("t2v")
    images["img/home_v2t.png"] = home_icon("v2t")
    images["img/upload.png"] = upload_icon()
    images["img/icon_back.png"] = icon16(g_back, "text2")
    images["img/icon_add.png"] = icon16(g_add, "#FFFFFF")
    images["img/icon_folder.png"] = icon16(g_folder, "text2")
    images["img/icon_import.png"] = icon16(g_import, "text2")
    images["img/icon_polyphone.png"] = icon16(g_polyphone, "text2")
    images["img/icon_interval.png"] = icon16(g_interval, "text2")
    images["img/icon_clear.png"] = icon16(g_clear, "text2")
    images["img/icon_warn.png"] = icon16(g_warn, "danger")
    images["img/icon_delete.png"] = icon_states(16, g_delete, [(None, "text3"), ("#FDE7E5", "danger"), ("#FBD3CF", "danger_pressed")])
    images["img/icon_reset.png"] = icon_states(20, g_reset, [(None, "text3"), ("brand_tint", "brand"), ("brand_tint2", "brand_pressed")])
    images["img/icon_minus.png"] = stepper("-")
    images["img/icon_plus.png"] = stepper("+")
    images["img/arrow_left.png"] = chevron("left")
    images["img/arrow_right.png"] = chevron("right")
    images["img/radio.png"] = radio()

    images["img/slider_bg.png"] = track("border")
    images["img/slider_fg.png"] = track("brand")
    images["img/slider_thumb.png"] = slider_thumb()
    images["img/progress_bg.png"] = pill(8, 6, 3, "#EBEEF5")
    images["img/progress_fg.png"] = pill(8, 6, 3, "brand")
    images["img/scrollbar.png"] = scrollbar()

    images["img/tip_info.png"] = tip_icon("brand", "!")
    images["img/tip_ok.png"] = tip_icon("success", "ok")
    images["img/btn_play.png"] = play_buttons("play")
    images["img/btn_pause.png"] = play_buttons("pause")
    images["img/useBtn.png"] = use_button("使用", using=False)
    images["img/usingBtn.png"] = use_button("使用中", using=True)
    images["img/ListenTestBtn.png"] = listen_strip()
    images["img/pauseVoice.png"] = pause_button()
    for key, colour, face in EMOTIONS:
        images["img/%s.png" % key] = emotion_icon(colour, face)

    gifs = {
        "img/loading_listen.gif": busy_gif((152, 50), "brand_tint", "brand", "生成中", "brand"),
        "img/loading_convert.gif": busy_gif((152, 50), "brand", None, "转换中", "#FFFFFF"),
        "img/loading_v2t.gif": busy_gif((120, 36), "brand", None, "转换中", "#FFFFFF"),
    }
    return images, gifs


def write_all(root):
    images, gifs = build()
    for name, img in sorted(images.items()):
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        img.save(path, "PNG", optimize=True)
    for name, frames in sorted(gifs.items()):
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        frames[0].save(path, "GIF", save_all=True, append_images=frames[1:], duration=80, loop=0, optimize=False)
    return sorted(list(images) + list(gifs))


def image_files(root):
    found = []
    for folder in ("img", "images"):
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for f in files:
                found.append(os.path.relpath(os.path.join(dirpath, f), root).replace(os.sep, "/"))
    return sorted(found)


def check(root):
    with tempfile.TemporaryDirectory() as scratch:
        drawn = write_all(scratch)
        problems = []
        for name in drawn:
            committed = os.path.join(root, name)
            if not os.path.exists(committed):
                problems.append("missing: " + name)
            elif not filecmp.cmp(committed, os.path.join(scratch, name), shallow=False):
                problems.append("differs from the script: " + name)
        problems += ["not drawn by the script: " + name for name in image_files(root) if name not in drawn]
    for p in problems:
        print("make_skin_images: " + p)
    if problems:
        print("make_skin_images: run tools/skin-art/make_skin_images.py and commit the images")
        return 1
    print("make_skin_images: %d images match the script" % len(drawn))
    return 0


def main():
    args = sys.argv[1:]
    checking = bool(args) and args[0] == "--check"
    if checking:
        args = args[1:]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "skin")
    if checking:
        return check(root)
    written = write_all(root)
    print("make_skin_images: %d images written under %s" % (len(written), os.path.normpath(root)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
